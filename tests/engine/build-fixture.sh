#!/usr/bin/env bash
# Builds the fixture inventory of FIXTURE.md on an EMPTY private engine made by engine.sh, then
# checks its counts against expected.json (with --check, only checks). DOCKER_HOST is derived
# from ENGINE_DIR here, so this script cannot reach any other engine.
set -eEuo pipefail
trap 'echo "build-fixture: failed: $BASH_COMMAND (line $LINENO)" >&2' ERR

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
engine_dir=${1:?usage: build-fixture.sh ENGINE_DIR [--check]}
mode=${2:-build}

die() { echo "build-fixture: $*" >&2; exit 1; }

[[ $engine_dir == /tmp/stowage-engine.* && -S $engine_dir/docker.sock ]] \
    || die "not a private engine directory with a socket: $engine_dir"
export DOCKER_HOST="unix://$engine_dir/docker.sock"
unset DOCKER_CONTEXT DOCKER_TLS_VERIFY DOCKER_CERT_PATH COMPOSE_PROJECT_NAME COMPOSE_FILE \
      COMPOSE_PATH_SEPARATOR COMPOSE_DOCKER_CLI_BUILD
export DOCKER_CONFIG="$engine_dir/client-config"
mkdir -p "$DOCKER_CONFIG"
# docker-compose 1.29 starts twice as fast without setuptools' distutils shim.
export SETUPTOOLS_USE_DISTUTILS=stdlib

docker=/usr/bin/docker  # the docker.io client: BuildKit built in (the newer client wants buildx)
[[ -x $docker ]] || die "$docker not found (package docker.io)"

# A broken fixture fails here at once, not in every test.
check_counts() {
    count() { "$docker" "$@" | grep -c . || true; }
    /usr/bin/python3 - "$here/fixture/expected.json" \
        containers="$(count ps -aq)" \
        imageRows="$(count images -a --format '{{.ID}}')" \
        volumes="$(count volume ls -q)" \
        danglingVolumes="$(count volume ls -q --filter dangling=true)" \
        danglingImages="$(count images -q --filter dangling=true)" \
        runningContainers="$(count ps -q)" <<'PY'
import json, sys
want = json.load(open(sys.argv[1]))["counts"]
bad = [f"{k} is {v}, expected {want[k]}"
       for k, v in (a.split("=", 1) for a in sys.argv[2:]) if str(want[k]) != v]
for line in bad:
    print("build-fixture: count " + line, file=sys.stderr)
sys.exit(1 if bad else 0)
PY
}

if [[ $mode == --check ]]; then
    check_counts || die "the fixture differs from expected.json"
    exit 0
fi
[[ $mode == build ]] || die "unknown mode $mode"

busybox=${STOWAGE_BUSYBOX:-/bin/busybox}
command -v docker-compose >/dev/null || die "docker-compose not found (package docker-compose)"
[[ -x $busybox ]] || die "$busybox not found (package busybox-static)"
if ldd "$busybox" >/dev/null 2>&1; then die "$busybox is not statically linked (need busybox-static)"; fi

rm -f "$engine_dir"/fixture*.log
log="$engine_dir/fixture.log"
run() {  # runs a command with its output in the log; shows the log on failure
    echo "+ $*" >>"$log"
    "$@" >>"$log" 2>&1 || { echo "build-fixture: failed: $*" >&2; tail -n 40 "$log" >&2; exit 1; }
}

# Build contexts: a fresh copy of the fixture sources with busybox beside every Dockerfile.
src="$engine_dir/fixture"
rm -rf "$src"
cp -r "$here/fixture" "$src"
while IFS= read -r dockerfile; do
    cp "$busybox" "$(dirname "$dockerfile")/busybox"
done < <(find "$src" -name Dockerfile)

compose() {  # compose PROJECT FILE... -- ARGS...
    local project=$1; shift
    local files=()
    while [[ $1 != -- ]]; do files+=(-f "$src/$1"); shift; done
    shift
    run docker-compose --ansi never -p "$project" "${files[@]}" "$@"
}

buildkit() {  # buildkit ROLE ARGS... : a BuildKit build of the sleeper image
    local role=$1; shift
    DOCKER_BUILDKIT=1 run "$docker" build --network none --progress plain \
        --build-arg "ROLE=$role" "$@" "$src/sleeper"
}

# Independent steps run side by side, each logging to a file of its own.
job_pids=()
job() {  # job NAME FUNCTION: runs FUNCTION in the background
    ( log="$engine_dir/fixture-$1.log"; "$2" ) &
    job_pids+=($!)
}
wait_jobs() {
    local pid failed=0
    for pid in "${job_pids[@]}"; do wait "$pid" || failed=1; done
    job_pids=()
    ((failed == 0)) || die "a fixture step failed (logs: $engine_dir/fixture*.log)"
}

# pulled ROLE NAME: the sleeper image built as ROLE, pushed to the local registry and pulled back
# by NAME through the engine's mirror: an image with a repository digest, as from Docker Hub.
pulled() {
    local port local_name
    port=$(cat "$engine_dir/registry-port") || die "no local registry (registry-port)"
    local_name="127.0.0.1:$port/library/$2"
    buildkit "$1" -t "$local_name"
    run "$docker" push "$local_name"
    run "$docker" rmi "$local_name"
    run "$docker" pull "$2"
}

# Images built outside compose (BuildKit). Two base images are pulled from the local registry
# (redis:7 and postgres:16, with repository digests); sgfx-alpha-tools is built twice under one tag, which leaves the first dangling,
# and is tagged into a second repository.
images_outside_compose() {
    buildkit solo -t sgfx-solo:latest
    run "$docker" tag sgfx-solo:latest sgfx-solo:1.0
    pulled redis-like redis:7
    pulled postgres-like postgres:16
    buildkit alpha-tools-1 -t sgfx-alpha-tools:latest
    buildkit alpha-tools-2 -t sgfx-alpha-tools:latest
    run "$docker" tag sgfx-alpha-tools:latest sgfx-toolbox:1.0   # one unused image in two repositories
}

# Compose projects; docker-compose 1.29 builds with the classic builder, which shares the
# cached COPY and CMD steps between the compose images (two untagged intermediate images).
# sgfx-alpha therefore builds first and alone: concurrent cache misses would create those
# steps twice.
project_alpha() {
    compose sgfx-alpha alpha/docker-compose.yml -- up -d
    run "$docker" stop sgfx-alpha_worker_1
}
project_beta() { compose sgfx-beta beta/docker-compose.yml -- up -d; }
project_gamma() {
    compose sgfx-gamma gamma/docker-compose.yml -- up --no-start
    compose sgfx-gamma gamma/docker-compose.yml -- down
}
project_delta() { compose sgfx-delta delta/delta-base.yml delta/delta-override.yml -- up -d; }

job images images_outside_compose
job alpha project_alpha
wait_jobs
job beta project_beta        # needs sgfx-alpha's volume and redis:7
job gamma project_gamma
job delta project_delta      # needs redis:7

# Standalone containers and loose volumes, meanwhile.
run "$docker" run -d --name sgfx-solo -v sgfx-solo-data:/data \
    --label 'org.stowage.fixture.owner=Zoë & Co <ops>' --label org.stowage.fixture.query=a=b sgfx-solo:latest
run "$docker" create --name sgfx-solo-idle \
    --mount type=bind,src=/tmp,dst=/hosttmp,readonly --mount type=tmpfs,dst=/scratch sgfx-solo:1.0
run "$docker" create --name sgfx-scratch -v /scratch sgfx-solo:latest
anonymous_orphan=$("$docker" inspect sgfx-scratch --format '{{range .Mounts}}{{.Name}}{{end}}')
run "$docker" rm sgfx-scratch            # without -v: its anonymous volume stays behind
run "$docker" volume create sgfx-loose
wait_jobs

# Volume contents, so that sizes differ and orphans sort by size. Written straight into the
# volumes' directories: the engine measures them the same way whoever wrote the files.
fill() {  # fill VOLUME KIB
    local mountpoint
    mountpoint=$("$docker" volume inspect "$1" --format '{{.Mountpoint}}')
    [[ $mountpoint == "$engine_dir"/* ]] || die "unexpected mountpoint for $1: $mountpoint"
    head -c "$(($2 * 1024))" /dev/zero >"$mountpoint/fill.bin"
}
fill sgfx-gamma_db 3072
fill "$anonymous_orphan" 2048
fill sgfx-alpha_shared-data 1536
fill sgfx-solo-data 512

check_counts || die "the fixture differs from expected.json (logs: $engine_dir/fixture*.log)"
