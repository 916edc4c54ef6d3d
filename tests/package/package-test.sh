#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack from the build tree, unpacked with
# dpkg -x into a temporary root, its desktop files validated, and the unpacked program asked
# for its version and started headless twice: once as an unpacked copy, once with its bin/ on
# the search path as an installed copy is. Usage: package-test.sh BUILD_DIR
set -uo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
player=
cleanup() {
  [[ -n "$player" ]] && kill -KILL "$player" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cpack -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$(ls "$work"/pkg/*.deb)
dpkg -x "$deb" "$work/root" || { echo "FAIL: dpkg -x $deb" >&2; exit 1; }
root=$work/root
share=$root/usr/share

# Dependencies: the shared-library scan's and the GStreamer plugin sets named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libgstreamer1.0-0 libcdio19 libasound2 qt6-qpa-plugins \
  gstreamer1.0-plugins-good; do
  [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

# What users run is in bin/, and nothing else is.
[[ "$(ls "$root/usr/bin" | tr '\n' ' ')" == "corvella corvella-playlist " ]] ||
  fail "bin/ holds: $(ls "$root/usr/bin")"
for file in corvella/Tips.txt corvella/language/English.ini "corvella/Test Skin/MainWindow.txt" \
  corvella/manual/index.html man/man1/corvella.1.gz doc/corvella/copyright \
  doc/corvella/changelog.gz applications/corvella.desktop \
  metainfo/org.corvella_player.corvella.metainfo.xml; do
  [[ -f "$share/$file" ]] || fail "missing $file"
done
for size in 16 22 24 32 48 64 128 256; do
  file "$share/icons/hicolor/${size}x$size/apps/corvella.png" | grep -q "PNG image data, $size x $size" ||
    fail "no $size x $size icon"
done
desktop-file-validate "$share/applications/corvella.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$share/metainfo/"*.xml >"$work/as.log" 2>&1 ||
  { cat "$work/as.log" >&2; fail "metainfo"; }

# Debian's package checker finds no error and no warning.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian"; }

# The version the program shows is the package's: 2.1.4089 is "v2.1 (Build:4089)".
version=$(dpkg-deb -f "$deb" Version)
shown=$(env -i "$root/usr/bin/corvella" --version) || fail "--version exit code"
[[ "$shown" == "Corvella v${version%.*} (Build:${version##*.})" ]] ||
  fail "--version says '$shown' for package $version"

# start NAME SEARCH_PATH: runs the unpacked player headless until it wrote its desktop entry,
# then ends it with SIGTERM; the entry is left in $work/NAME/data.
start() {
  local home=$work/$1
  mkdir -m 700 -p "$home"
  env -i PATH="$2" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen \
    CORVELLA_NO_STARTUP_DIALOGS=1 CORVELLA_AUDIO_SINK=fakesink CORVELLA_VIDEO_SINK=fakesink \
    "$root/usr/bin/corvella" --verbose >"$home/log" 2>&1 &
  player=$!
  local entry=$home/data/applications/corvella.desktop
  for _ in $(seq 200); do
    [[ -s "$entry" ]] && break
    sleep 0.1
  done
  kill -TERM "$player"
  wait "$player"
  local code=$?
  player=
  [[ $code -eq 0 ]] || fail "$1: exit code $code after SIGTERM"
  grep -qF "skin: $share/corvella/Test Skin/" "$home/log" || fail "$1: skin folder not found"
  if grep -q "missing file" "$home/log"; then fail "$1: $(grep "missing file" "$home/log")"; fi
  [[ -s "$entry" ]] || fail "$1: no desktop entry written"
}

start unpacked /usr/bin:/bin
entry=$work/unpacked/data/applications/corvella.desktop
grep -qxF "Exec=\"$root/usr/bin/corvella\" %F" "$entry" || fail "unpacked: $(grep Exec= "$entry")"
grep -qxF "Icon=$share/icons/hicolor/256x256/apps/corvella.png" "$entry" ||
  fail "unpacked: $(grep Icon= "$entry")"

start installed "$root/usr/bin:/usr/bin:/bin"
cmp -s "$work/installed/data/applications/corvella.desktop" "$share/applications/corvella.desktop" ||
  fail "installed: the entry written differs from the package's"

[[ $failures -eq 0 ]] && echo "package test passed: $deb"
exit $((failures > 0))
