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

# The manual page and the bash completion know every option the help shows,
# each command, and every kind --only takes.
manual=$(zcat "$prefix/share/man/man1/stowage.1.gz" | sed -e 's/\\f[BIR]//g' -e 's/\\&//g' -e 's/\\-/-/g')
# shellcheck source=/dev/null
source "$prefix/share/bash-completion/completions/stowage"
complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _stowage; echo " ${COMPREPLY[*]} "; }
# The installed program, with the history and log of this check kept in the temporary folder.
stowage() { XDG_DATA_HOME=$work/data "$prefix/bin/stowage" "$@"; }
kinds=$(stowage clean --help | tr -s '\n ' '  ' | sed -n 's/.*(repeatable): \([a-z, -]*\)\..*/\1/p' | tr -d ',')
[ -n "$kinds" ] || fail "clean --help lists no kinds"
for command in "" report clean; do
  offered=$(complete_words stowage $command "")
  for option in $(stowage $command --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
    grep -qF -- "$option" <<<"$manual" || fail "the manual page lacks $option"
    case $command:$option in
      report:--yes|report:--only|report:--probe|clean:--probe|clean:--since|clean:--all-contexts|*:--version) continue ;;  # general help lines
    esac
    [ "$command" = "" ] && [[ $option != --help && $option != --probe ]] && continue  # a command's own option
    [[ $offered == *" $option "* ]] || fail "completion after 'stowage $command' lacks $option: $offered"
  done
done
for kind in $kinds; do
  grep -qF -- "$kind" <<<"$manual" || fail "the manual page lacks the kind $kind"
  [[ $(complete_words stowage clean --only "") == *" $kind "* ]] || fail "completion lacks the kind $kind"
done
for status in 0 1 2 3 130; do
  grep -qx "$status" <<<"$manual" || fail "the manual page lacks exit status $status"
done
for command in report clean contexts; do
  [[ $(complete_words stowage "") == *" $command "* ]] || fail "completion lacks the command $command"
done

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
# Debian's own checks: no error and no warning (informational tags are allowed).
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports errors or warnings"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6charts6 qt6-qpa-plugins; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *docker.io* ]] || fail "Recommends lacks a docker client"
echo "install and package checks passed"
