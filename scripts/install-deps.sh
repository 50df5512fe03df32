#!/usr/bin/env bash
# Installs the Debian 12 packages Stowage needs to build, test and run, skipping
# those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxkbcommon-dev libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
  libsimdjson-dev qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  docker.io docker-compose busybox-static docker-registry openssh-server
  fonts-dejavu-core xvfb xauth
  qt6-base-private-dev at-spi2-core python3-pyatspi dbus
  librsvg2-bin dpkg-dev file desktop-file-utils appstream scdoc lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
