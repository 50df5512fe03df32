#!/usr/bin/env bash
# Installs what is missing, builds Stowage and starts it. Without a display it
# runs the headless probe instead. Extra arguments are passed to stowage.
#
#   scripts/run.sh [stowage arguments]   against the engine `docker` reaches
#   scripts/run.sh --demo                against a private demo engine started for
#                                        this run in a temporary folder, filled with
#                                        a small inventory, and removed afterwards
set -euo pipefail
cd "$(dirname "$0")/.."

demo=false
if [ "${1:-}" = "--demo" ]; then
  demo=true
  shift
fi

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target stowage

stowage=build/default/src/stowage
has_display() { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }

# Says why the engine `docker` reaches does not answer and what to do about it.
explain_unreachable() {
  local reason=$1
  echo "Docker does not answer: ${reason:-no reason given}" >&2
  case $reason in
    *"permission denied"*)
      echo "  Your user may not use the engine's socket. Join the docker group and log in again:" >&2
      echo "    sudo usermod -aG docker \$USER" >&2 ;;
    *"Cannot connect"*|*"Is the docker daemon running"*)
      echo "  Start the engine (sudo systemctl start docker), or point DOCKER_HOST at one that runs," >&2
      echo "  for example a rootless engine: export DOCKER_HOST=unix://\$XDG_RUNTIME_DIR/docker.sock" >&2 ;;
    *"command not found"*|*"No such file"*)
      echo "  Install a docker client and engine: sudo apt-get install docker.io" >&2 ;;
    *)
      echo "  Check that 'docker version' works for you, or set DOCKER_HOST." >&2 ;;
  esac
  echo "To look at Stowage without touching any engine of yours: scripts/run.sh --demo" >&2
}

run_stowage() {
  if has_display; then
    "$stowage" "$@"
  else
    echo "No display found: running the headless probe (stowage --probe)."
    "$stowage" --probe "$@"
  fi
}

if ! $demo; then
  if ! reason=$(timeout 15 docker version --format '{{.Server.Version}}' 2>&1 >/dev/null); then
    explain_unreachable "$(printf '%s' "$reason" | tail -n 1)"
  fi
  has_display || exec "$stowage" --probe "$@"
  exec "$stowage" "$@"
fi

# The demo: a private engine (its own data root, socket and folder under /tmp,
# no network), the inventory the end-to-end tests use, and a private data folder
# for Stowage, so that neither the user's engine nor their cache and log are touched.
command -v dockerd >/dev/null || { echo "The demo needs dockerd to start its own engine: sudo apt-get install docker.io" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
  echo "The demo starts a private Docker engine, which needs root: run sudo scripts/run.sh --demo" >&2
  echo "(It never touches the machine's own engine, and removes everything it made when the window closes.)" >&2
  exit 1
fi
work=$(mktemp -d /tmp/stowage-demo.XXXXXX)
state=$work/engine.env
cleanup() {
  echo "Stopping and removing the demo engine…"
  tests/engine/engine.sh stop "$state" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

echo "Starting a private demo engine (about a minute)…"
CI= tests/engine/engine.sh start "$state"
[ -s "$state" ] || { echo "The demo engine could not start (see above)." >&2; exit 1; }
docker_host=$(sed -n 's/^DOCKER_HOST=//p' "$state")
mkdir -p "$work/data" "$work/docker-config"
echo "Demo engine ready at $docker_host"
status=0
(
  unset DOCKER_CONTEXT DOCKER_TLS_VERIFY DOCKER_CERT_PATH
  export DOCKER_HOST=$docker_host DOCKER_CONFIG=$work/docker-config XDG_DATA_HOME=$work/data
  run_stowage "$@"
) || status=$?
exit "$status"
