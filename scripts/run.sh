#!/usr/bin/env bash
# Installs what is missing, builds Stowage and starts it. Without a display it
# runs the headless probe instead. Extra arguments are passed to stowage.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target stowage

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the headless probe (stowage --probe)."
  exec build/default/src/stowage --probe "$@"
fi
exec build/default/src/stowage "$@"
