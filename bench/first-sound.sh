#!/usr/bin/env bash
# Launch to first sound: the time from starting a program with an MP3 until the first non-zero
# sample leaves its pipeline, for `gst-launch-1.0 playbin` and for the player (fresh settings,
# under one private X server), runs interleaved. Both play into the same sink: samples
# converted to 16-bit and written unbuffered to a FIFO, whose reader notes when the first
# non-zero sample comes (a buffered writer would hold back the first 0.7 s of sound and add
# that to both times). Both share the user's GStreamer registry cache (HOME is kept), so
# neither pays for a plugin scan. Prints the medians and the player's ratio to playbin (goal:
# at most 1). FIRST_SOUND_SAME_DECODER=1 makes playbin decode MP3 with the decoder the player
# prefers, to compare the rest of the path alone.
#
#   bench/first-sound.sh [build-folder] [runs]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-5}
same_decoder=${FIRST_SOUND_SAME_DECODER:-}
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
import os, select, signal, subprocess, sys, threading, time
fifo, command = sys.argv[1], sys.argv[2:]
# Opened for reading and writing, the FIFO never makes the program wait in its open nor give
# this reader an end of file, whatever the program does with its sink while it ends.
samples = os.open(fifo, os.O_RDWR)
start = time.perf_counter()
child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True)
elapsed = None
deadline = start + 30  # a program that never plays ends the run as "nan"
while elapsed is None and time.perf_counter() < deadline and child.poll() is None:
    if not select.select([samples], [], [], 0.1)[0]:
        continue
    block = os.read(samples, 4096)
    if any(block[i] or block[i + 1] for i in range(0, len(block) - 1, 2)):
        elapsed = (time.perf_counter() - start) * 1000
# The FIFO is read until the program has ended, so its sink never waits on a full pipe.
def drain():
    while True:
        os.read(samples, 65536)
threading.Thread(target=drain, daemon=True).start()
os.killpg(child.pid, signal.SIGTERM)
try:
    child.wait(timeout=10)
except subprocess.TimeoutExpired:
    os.killpg(child.pid, signal.SIGKILL)
    child.wait()
print(f"{elapsed:.0f}" if elapsed is not None else "nan")
PY
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
playbin=() player=()
for run in $(seq "$runs"); do
  playbin+=("$(first_sound env ${same_decoder:+GST_PLUGIN_FEATURE_RANK=mpg123audiodec:PRIMARY} \
    gst-launch-1.0 -q playbin "uri=file://$clip" "audio-sink=$sink")")
  home="$work/home$run"
  mkdir -p -m 700 "$home"
  player+=("$(first_sound env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$home" \
    XDG_RUNTIME_DIR="$home" XDG_DATA_HOME="$home/data" \
    CORVELLA_NO_STARTUP_DIALOGS=1 CORVELLA_AUDIO_SINK="$sink" "$program" "$clip")")
done
a=$(printf '%s\n' "${playbin[@]}" | median)
b=$(printf '%s\n' "${player[@]}" | median)
echo "playbin: ${playbin[*]} ms, median $a ms"
echo "player:  ${player[*]} ms, median $b ms"
awk -v a="$a" -v b="$b" 'BEGIN { printf "player / playbin: %.2f\n", b / a }'
