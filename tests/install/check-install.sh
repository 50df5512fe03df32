#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux desktop
# gets: the executable, a valid desktop entry and AppStream metainfo (checked
# with the validators Debian ships), the icon in every size; then builds the
# .deb with CPack and checks its contents and dependencies.
# Usage: check-install.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 app_id=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net --strict "$metainfo" || fail "metainfo does not validate"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
  || fail "the metainfo launches another desktop entry"

[ "$("$prefix/bin/stowage" --version)" = "Stowage $version" ] || fail "stowage --version"

icons=$prefix/share/icons/hicolor
[ -s "$icons/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256 512; do
  png=$icons/${size}x${size}/apps/$app_id.png
  file "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png is not a ${size}x${size} PNG"
done

# The package: built from the same tree, holding exactly what was installed.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null || fail "cpack"
deb=$(ls "$work"/package/stowage_"$version"_*.deb)
dpkg-deb -c "$deb"
dpkg-deb -I "$deb"
expected=$( (cd "$work" && find usr -type f | sed 's|^|./|') | sort)
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$expected" = "$packaged" ] || fail "the package holds other files than the install: $(diff <(echo "$expected") <(echo "$packaged"))"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 qt6-qpa-plugins; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *docker.io* ]] || fail "Recommends lacks a docker client"
echo "install and package checks passed"
