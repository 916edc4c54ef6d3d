#!/usr/bin/env bash
# Launch to first sound: the time from starting a program with an MP3 until the first non-zero
# sample leaves its pipeline, for `gst-launch-1.0 playbin` and for the player (fresh settings,
# under one private X server), runs interleaved. Both play into the same sink: samples
# converted to 16-bit and written unbuffered to a FIFO, whose reader notes when the first
# non-zero sample comes (a buffered writer would hold back the first 0.7 s of sound and add
# that to both times). Both share the user's GStreamer registry cache (HOME is kept), so neither pays for a
# plugin scan. Prints the medians and the player's ratio to playbin (goal: at most 1).
#
#   bench/first-sound.sh [build-folder] [runs]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-5}
program="$build_dir/corvella"
source "$(dirname "$0")/../scripts/xvfb-player.sh"

require_tools Xvfb xdotool gst-launch-1.0 python3
[[ -x "$program" ]] || { echo "first-sound.sh: no program at $program (make build)" >&2; exit 2; }
start_xvfb 1280x1024x24
work=$(mktemp -d)
session_dirs+=("$work")
clip="$work/song.mp3"
gst-launch-1.0 -q audiotestsrc num-buffers=200 ! audioconvert ! lamemp3enc ! \
  filesink location="$clip"
fifo="$work/samples"
mkfifo "$fifo"
sink="audioconvert ! audio/x-raw,format=S16LE ! filesink location=$fifo sync=true buffer-mode=unbuffered"

# Runs the command given as arguments; prints the milliseconds from its start to the first
# non-zero sample in the FIFO, then ends it.
first_sound() {
  python3 - "$fifo" "$@" <<'PY'
import os, signal, subprocess, sys, time
fifo, command = sys.argv[1], sys.argv[2:]
start = time.perf_counter()
child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True)
elapsed = None
with open(fifo, "rb") as samples:
    while elapsed is None:
        block = samples.read(4096)
        if not block:
            break
        if any(block[i] or block[i + 1] for i in range(0, len(block) - 1, 2)):
            elapsed = (time.perf_counter() - start) * 1000
os.killpg(child.pid, signal.SIGTERM)
child.wait()
print(f"{elapsed:.0f}" if elapsed is not None else "nan")
PY
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
playbin=() player=()
for run in $(seq "$runs"); do
  playbin+=("$(first_sound gst-launch-1.0 -q playbin "uri=file://$clip" "audio-sink=$sink")")
  home="$work/home$run"
  mkdir -p "$home"
  player+=("$(first_sound env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$home" \
    XDG_RUNTIME_DIR="$home" XDG_DATA_HOME="$home/data" \
    CORVELLA_NO_STARTUP_DIALOGS=1 CORVELLA_AUDIO_SINK="$sink" "$program" "$clip")")
done
a=$(printf '%s\n' "${playbin[@]}" | median)
b=$(printf '%s\n' "${player[@]}" | median)
echo "playbin: ${playbin[*]} ms, median $a ms"
echo "player:  ${player[*]} ms, median $b ms"
awk -v a="$a" -v b="$b" 'BEGIN { printf "player / playbin: %.2f\n", b / a }'
