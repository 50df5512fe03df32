#!/usr/bin/env bash
# A private Docker engine for the end-to-end tests, never the machine's default one.
#
#   engine.sh start STATEFILE            start a fresh engine, build the fixture, write STATEFILE
#   engine.sh stop STATEFILE             stop that engine, remove its directory and STATEFILE
#   engine.sh rebuild-fixture STATEFILE  put the fixture's snapshot back in place of whatever is there
#
# While the fixture is built, a local registry (Debian's docker-registry, on 127.0.0.1 and a free
# port) serves as the engine's registry mirror, so that images pulled by plain names (postgres:16)
# come from it with real repository digests.
#
# STATEFILE holds DOCKER_HOST=unix:///tmp/stowage-engine.XXXXXX/docker.sock and
# STOWAGE_ENGINE_DIR=/tmp/stowage-engine.XXXXXX. After building the fixture, `start` copies the
# data root (dockerd stopped); `rebuild-fixture` kills the engine, puts a fresh copy of it in
# place and starts dockerd again: the same inventory with the same ids, whatever a test did.
# Without dockerd (or root) `start` writes no STATEFILE and the tests skip; with CI=true it fails.
set -eEuo pipefail
trap 'say "failed: $BASH_COMMAND (line $LINENO)"' ERR

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
engine_dir=
docker=/usr/bin/docker          # the docker.io client
ready_timeout=60                # seconds for dockerd to answer
stop_timeout=20                 # seconds before SIGKILL when stopping
stale_after_minutes=180         # a live engine whose state file is older was abandoned

say() { echo "engine.sh: $*" >&2; }
die() { say "$*"; exit 1; }
usage() { die "usage: engine.sh start|stop|rebuild-fixture STATEFILE"; }

# Reads STATEFILE into engine_dir; refuses anything that is not one of our directories.
read_state() {
    engine_dir=$(sed -n 's/^STOWAGE_ENGINE_DIR=//p' "$1")
    [[ $engine_dir =~ ^/tmp/stowage-engine\.[A-Za-z0-9]+$ ]] || die "$1 does not name a private engine directory"
}

# Every docker call of this script goes to the private engine, whatever the environment says.
engine_docker() {
    env -u DOCKER_CONTEXT -u DOCKER_TLS_VERIFY -u DOCKER_CERT_PATH \
        DOCKER_HOST="unix://$engine_dir/docker.sock" DOCKER_CONFIG="$engine_dir/client-config" "$docker" "$@"
}

engine_answers() { engine_docker version >/dev/null 2>&1; }

# Field N (3 = state, 4 = parent pid) of /proc/PID/stat, counted after the command name's last ")".
stat_field() {
    local stat fields
    { stat=$(<"/proc/$2/stat"); } 2>/dev/null || return 1
    read -ra fields <<<"${stat##*) }"
    echo "${fields[$1 - 3]}"
}

alive() {  # a zombie counts as ended
    local state
    state=$(stat_field 3 "$1") || return 1
    [[ -n $state && $state != Z && $state != X ]]
}

# dockerd's pid from its own pidfile, or the one recorded at its start before it wrote that file.
dockerd_pid() {
    local pid file
    for file in "$engine_dir/docker.pid" "$engine_dir/dockerd.pid"; do
        pid=$(cat "$file" 2>/dev/null) || continue
        [[ $pid =~ ^[0-9]+$ ]] && alive "$pid" && { echo "$pid"; return 0; }
    done
    return 1
}

# The local registry the fixture pulls from; its port is kept in the engine directory.
start_registry() {
    local dir="$engine_dir/registry" port deadline=$((SECONDS + ready_timeout))
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    mkdir -p "$dir/data"
    printf 'version: 0.1\nstorage:\n  filesystem:\n    rootdirectory: %s\nhttp:\n  addr: 127.0.0.1:%s\n' \
        "$dir/data" "$port" >"$dir/config.yml"
    setsid docker-registry serve "$dir/config.yml" </dev/null >"$dir/registry.log" 2>&1 &
    echo $! >"$dir/registry.pid"
    until python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/v2/', timeout=1)" 2>/dev/null; do
        if ((SECONDS >= deadline)); then
            say "the registry did not answer within ${ready_timeout}s; its log:"
            cat "$dir/registry.log" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "$port" >"$engine_dir/registry-port"
}

stop_registry() {
    local pid
    pid=$(cat "$engine_dir/registry/registry.pid" 2>/dev/null) || return 0
    [[ $pid =~ ^[0-9]+$ ]] && alive "$pid" && kill -TERM "$pid" 2>/dev/null || true
}

# dockerd gets its own session and no inherited descriptors: ctest neither waits for it nor kills it.
start_dockerd() {
    rm -f "$engine_dir/docker.sock" "$engine_dir/docker.pid"
    local mirror=()
    [[ ! -e $engine_dir/registry-port ]] || mirror=(--registry-mirror "http://127.0.0.1:$(cat "$engine_dir/registry-port")")
    setsid dockerd --data-root "$engine_dir/data" --exec-root "$engine_dir/exec" \
        --pidfile "$engine_dir/docker.pid" -H "unix://$engine_dir/docker.sock" \
        --bridge=none --iptables=false --ip-masq=false --storage-driver=vfs "${mirror[@]}" \
        </dev/null >>"$engine_dir/dockerd.log" 2>&1 &
    echo $! >"$engine_dir/dockerd.pid"
    local deadline=$((SECONDS + ready_timeout))
    until engine_answers; do
        if ! dockerd_pid >/dev/null || ((SECONDS >= deadline)); then
            say "dockerd did not answer within ${ready_timeout}s; its log:"
            cat "$engine_dir/dockerd.log" >&2
            return 1
        fi
        sleep 0.05
    done
}

# The engine's processes: whatever was started from the engine directory (dockerd, containerd,
# shims) and whatever runs in the cgroups of its containers; this script and its callers are spared.
engine_pids() {
    local p id f args ancestors=" " up=$BASHPID
    while [[ $up =~ ^[0-9]+$ && $up -gt 1 ]]; do
        ancestors+="$up "
        up=$(stat_field 4 "$up") || break
    done
    for p in /proc/[0-9]*; do
        p=${p#/proc/}
        [[ $ancestors == *" $p "* ]] && continue
        mapfile -d '' args 2>/dev/null <"/proc/$p/cmdline" || continue
        [[ ${args[*]} != *"$engine_dir/"* ]] || echo "$p"
    done
    for id in $(ls "$engine_dir/data/containers" 2>/dev/null); do
        for f in /sys/fs/cgroup/{,*/}docker/"$id"/cgroup.procs /sys/fs/cgroup/{,*/}system.slice/docker-"$id".scope/cgroup.procs; do
            [[ ! -r $f ]] || cat "$f"
        done
    done
    return 0
}

kill_engine_processes() {
    local pids p deadline=$((SECONDS + stop_timeout))
    pids=$(engine_pids | sort -u)
    [[ -n $pids ]] || return 0
    kill -KILL $pids 2>/dev/null || true
    for p in $pids; do
        while alive "$p" && ((SECONDS < deadline)); do sleep 0.02; done
    done
}

# SIGTERM, so that dockerd stops its containers and unmounts what it mounted; after
# stop_timeout, SIGKILL for it and everything it left running.
stop_dockerd() {
    local pid deadline=$((SECONDS + stop_timeout))
    pid=$(dockerd_pid) || { kill_engine_processes; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    while alive "$pid" && ((SECONDS < deadline)); do sleep 0.05; done
    ! alive "$pid" || say "dockerd $pid did not stop within ${stop_timeout}s; killing it"
    kill_engine_processes
}

# Unmounts whatever is still mounted below the engine directory, deepest first.
unmount_leftovers() {
    local m
    for m in $(awk -v dir="$engine_dir/" 'index($5, dir) == 1 { print $5 }' /proc/self/mountinfo | sort -r); do
        umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || say "could not unmount $m"
    done
    ! awk -v dir="$engine_dir/" 'index($5, dir) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo
}

kill_containers() {  # so that dockerd need not wait for containers that ignore SIGTERM
    engine_answers || return 0
    local running
    running=$(engine_docker ps -q)
    [[ -z $running ]] || engine_docker kill $running >/dev/null 2>&1 || true
}

remove_engine() {
    stop_registry
    kill_containers
    stop_dockerd
    [[ -d $engine_dir ]] || return 0
    unmount_leftovers || die "mounts remain below $engine_dir; not removing it"
    flock "$engine_dir/trash.lock" true 2>/dev/null || true  # a discarded data root still being deleted
    rm -rf --one-file-system "$engine_dir"
}

snapshot_fixture() {
    mkdir "$engine_dir/snapshot"
    engine_docker ps -q --no-trunc >"$engine_dir/snapshot/running"
    stop_dockerd
    unmount_leftovers || die "mounts remain below $engine_dir after stopping dockerd"
    cp -a "$engine_dir/data" "$engine_dir/snapshot/data"
    start_dockerd || die "dockerd did not come back after the snapshot"
    start_fixture_containers
}

start_fixture_containers() {  # those that ran at the snapshot, side by side
    local id pids=() failed=0
    for id in $(cat "$engine_dir/snapshot/running"); do
        engine_docker start "$id" >/dev/null &
        pids+=($!)
    done
    for id in "${pids[@]}"; do wait "$id" || failed=1; done
    ((failed == 0)) || die "a fixture container did not start"
    [[ $(engine_docker ps -q --no-trunc | sort) == $(sort "$engine_dir/snapshot/running") ]] \
        || die "the running containers differ from the snapshot's"
}

# The old data root is thrown away, so dockerd is killed rather than stopped (after its
# containers, so that none of their processes is left behind); the old tree goes in the background.
restore_snapshot() {
    [[ -d $engine_dir/snapshot/data ]] || die "no fixture snapshot in $engine_dir"
    kill_containers
    kill_engine_processes
    unmount_leftovers || die "mounts remain below $engine_dir after stopping dockerd"
    local trash
    trash=$(mktemp -d "$engine_dir/trash.XXXXXX")
    mv "$engine_dir/data" "$trash/"
    [[ ! -e $engine_dir/exec ]] || mv "$engine_dir/exec" "$trash/"
    cp -a "$engine_dir/snapshot/data" "$engine_dir/data"
    setsid flock "$engine_dir/trash.lock" rm -rf --one-file-system "$trash" </dev/null >/dev/null 2>&1 &
    start_dockerd || die "dockerd did not come back with the fixture snapshot"
    start_fixture_containers
}


# A dead engine of an earlier run is cleaned up; a live one belongs to another run (or an
# interrupted one) and is left alone unless its state file is old.
handle_previous_state() {
    [[ -e $1 ]] || return 0
    read_state "$1"
    if dockerd_pid >/dev/null && [[ -z $(find "$1" -mmin +"$stale_after_minutes") ]]; then
        die "engine $engine_dir of $1 is still running (another test run?); stop it with: $0 stop $1"
    fi
    remove_engine
    rm -f "$1"
}

cannot_run() {
    [[ ${CI:-} != true ]] || die "FATAL: $*: the engine tests cannot run (CI=true, so this is a failure)"
    say "$*: no private engine; the engine tests will be skipped" && exit 0
}

cmd_start() {
    local file=$1
    command -v dockerd >/dev/null || cannot_run "dockerd not found (install docker.io)"
    [[ -x $docker ]] || cannot_run "$docker not found (install docker.io)"
    command -v docker-compose >/dev/null || cannot_run "docker-compose not found (install docker-compose)"
    command -v docker-registry >/dev/null || cannot_run "docker-registry not found (install docker-registry)"
    ((EUID == 0)) || cannot_run "not running as root"
    handle_previous_state "$file"

    engine_dir=$(mktemp -d /tmp/stowage-engine.XXXXXX)
    trap remove_engine EXIT  # whatever ends this script before the state file is written
    trap 'exit 1' TERM INT HUP
    start_registry || exit 1
    start_dockerd || exit 1
    "$here/build-fixture.sh" "$engine_dir" || die "building the fixture failed"
    stop_registry  # nothing pulls after the fixture is built
    snapshot_fixture
    "$here/build-fixture.sh" "$engine_dir" --check || die "the fixture changed across the snapshot"
    mkdir -p "$(dirname "$file")"
    printf 'DOCKER_HOST=unix://%s/docker.sock\nSTOWAGE_ENGINE_DIR=%s\n' "$engine_dir" "$engine_dir" >"$file.tmp"
    mv "$file.tmp" "$file"
    trap - EXIT TERM INT HUP
    say "engine and fixture ready in ${SECONDS}s; state in $file"
}

(($# == 2)) || usage
case $1 in
    start) cmd_start "$2" ;;
    stop) [[ -e $2 ]] || exit 0; read_state "$2"; remove_engine; rm -f "$2" ;;
    rebuild-fixture) [[ -e $2 ]] || die "no state file $2"; read_state "$2"; restore_snapshot ;;
    *) usage ;;
esac
