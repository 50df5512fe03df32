#!/usr/bin/env bash
# capture.sh STATEFILE DOCKER_CLIENT OUTDIR: the raw output of the docker commands the application
# reads, from the fixture engine, to seed the parsers' fuzz targets and show docker's output shapes (fuzz/seeds/captures/). NAME.out is standard
# output byte for byte; commands expected to fail also get NAME.err and NAME.status. The fixture
# is rebuilt afterwards (one capture removes a volume).
set -euo pipefail

engine_sh=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tests/engine" && pwd)/engine.sh
state=${1:?usage: capture.sh STATEFILE DOCKER_CLIENT OUTDIR}
client=${2:?usage}
out=${3:?usage}

engine_dir=$(sed -n 's/^STOWAGE_ENGINE_DIR=//p' "$state")
[[ $engine_dir =~ ^/tmp/stowage-engine\.[A-Za-z0-9]+$ ]] || { echo "bad state file" >&2; exit 1; }
export DOCKER_HOST="unix://$engine_dir/docker.sock"
unset DOCKER_CONTEXT DOCKER_TLS_VERIFY DOCKER_CERT_PATH
export DOCKER_CONFIG="$engine_dir/client-config"
mkdir -p "$out" "$DOCKER_CONFIG"

capture() {  # NAME ARGS...: must succeed
    local name=$1; shift
    "$client" "$@" >"$out/$name.out" 2>"$out/$name.err" || { echo "capture: $name failed: $(cat "$out/$name.err")" >&2; exit 1; }
    [[ -s $out/$name.err ]] || rm -f "$out/$name.err"
}

capture_failure() {  # NAME ARGS...: keeps the exit status too
    local name=$1; shift
    local status=0
    "$client" "$@" >"$out/$name.out" 2>"$out/$name.err" || status=$?
    echo "$status" >"$out/$name.status"
}

template='{{.Id}}@@{{.Image}}@@{{json .Mounts}}@@{{.State.StartedAt}}@@{{.State.FinishedAt}}'
# The listing templates of DockerClient: the usual object and the compose labels' exact values.
label() { printf '"%s":{{json (.Label "%s")}}' "$1" "$1"; }
project=com.docker.compose.project
containers="{\"Listing\":{{json .}},\"LabelValues\":{$(label $project),$(label $project.working_dir),$(label $project.config_files)}}"
volumes="{\"Listing\":{{json .}},\"LabelValues\":{$(label $project)}}"

capture ps-a ps -a --format "$containers"
capture images-a images -a --no-trunc --format '{{json .}}'
capture volume-ls volume ls --format "$volumes"
capture system-df system df --format '{{json .}}'
capture system-df-v system df -v --format '{{json .}}'
capture info-root info --format '{{.DockerRootDir}}'
capture volume-ls-dangling volume ls -q --filter dangling=true

# Every image's layers, exact size and build parent, as the image inspect template of DockerClient asks.
mapfile -t image_ids < <("$client" images -aq --no-trunc | sort -u)
capture image-inspect image inspect "${image_ids[@]}" --format '{{.Id}}@@{{.Parent}}@@{{.Size}}@@{{json .RootFS.Layers}}'

mapfile -t ids < <("$client" ps -aq)
capture inspect inspect "${ids[@]}" --format "$template"
printf '%s\n' "${ids[@]}" >"$out/inspect.ids"

unknown=0123456789ab0123456789ab0123456789ab0123456789ab0123456789abcdef
capture_failure inspect-unknown inspect "${ids[0]}" "$unknown" "${ids[1]}" --format "$template"
printf '%s\n' "${ids[0]}" "$unknown" "${ids[1]}" >"$out/inspect-unknown.ids"

capture_failure volume-rm-in-use volume rm sgfx-solo-data
capture_failure volume-rm-mixed volume rm sgfx-solo-data sgfx-loose

# An engine that is not there: a socket path nobody listens on, and a stale socket file.
gone="$engine_dir/gone"
mkdir -p "$gone"
DOCKER_HOST="unix://$gone/missing.sock" capture_failure daemon-down-missing ps -a --format '{{json .}}'
/usr/bin/python3 -c 'import socket, sys; s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.close()' \
    "$gone/stale.sock"
DOCKER_HOST="unix://$gone/stale.sock" capture_failure daemon-down-stale ps -a --format '{{json .}}'
rm -rf "$gone"

"$engine_sh" rebuild-fixture "$state"
