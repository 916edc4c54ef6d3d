#!/usr/bin/env bash
# A picture of the player's three windows, docked as they start, playing a generated video,
# taken on a private X server (Xvfb) with the built-in skin and fresh settings.
#
#   scripts/screenshot.sh [build-folder] [output.png]
set -euo pipefail
build_dir=${1:-build}
output=${2:-corvella-windows.png}
program="$build_dir/corvella"
source "$(dirname "$0")/xvfb-player.sh"

require_tools Xvfb xdotool xwd xwdtopnm pnmcut pnmtopng
[[ -x "$program" ]] || { echo "screenshot.sh: no program at $program" >&2; exit 2; }
start_xvfb 1024x768x24
home=$(mktemp -d)
session_dirs+=("$home")
# A short test-pattern video made here, so no media is kept in the repository.
video="$home/pattern.avi"
gst-launch-1.0 -q videotestsrc pattern=smpte num-buffers=300 ! video/x-raw,width=320,height=240,framerate=25/1 \
  ! avenc_mpeg4 ! avimux ! filesink location="$video" >/dev/null 2>&1 || video=
start_player "$program" "$home/player" ${video:+"$video"}
wait_for_windows 3 ||
  { echo "screenshot.sh: the windows did not appear" >&2; cat "$home/player/log" >&2; exit 1; }
sleep 3 # let them paint, and the video reach its picture

# The rectangle around the three windows, with a small margin.
left=100000 top=100000 right=0 bottom=0
for w in "${windows[@]}"; do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  (( X < left )) && left=$X
  (( Y < top )) && top=$Y
  (( X + WIDTH > right )) && right=$(( X + WIDTH ))
  (( Y + HEIGHT > bottom )) && bottom=$(( Y + HEIGHT ))
done
margin=8
left=$(( left > margin ? left - margin : 0 ))
top=$(( top > margin ? top - margin : 0 ))
width=$(( right - left + margin ))
height=$(( bottom - top + margin ))
xwd -root -silent | xwdtopnm 2>/dev/null |
  pnmcut -left "$left" -top "$top" -width "$width" -height "$height" | pnmtopng >"$output"
echo "screenshot.sh: wrote $output ($width x $height)"
