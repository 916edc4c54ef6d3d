#!/usr/bin/env bash
# Resident memory and CPU while playing, under a private X server (Xvfb), for a generated MP3
# and a generated 720p30 H.264 clip (MP4), each program launched in turn in the same run:
#   - playbin: gst-launch-1.0 playbin (audio into "fakesink sync=true", pictures into
#     ximagesink), the floor;
#   - playfile: build/corvella-playfile, the media engine in a bare 640 x 480 Qt window;
#   - player: the whole player, the clip given on the command line;
#   - bare window: build/corvella-bare-window, what a Qt interface alone holds.
# Each launch is sampled from t=FROM s to t=TO s: the median VmRSS of the samples and the CPU
# (user + system) used in between, in per cent of one core. Medians of the runs are printed,
# and each figure as a ratio to playbin of the same clip.
#
#   bench/playback-lean.sh [build-folder] [runs]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-3}
from=${LEAN_FROM:-5}
to=${LEAN_TO:-25}
clip_seconds=$((to + 10))
source "$(dirname "$0")/../scripts/xvfb-player.sh"

require_tools Xvfb xdotool gst-launch-1.0
for p in corvella corvella-playfile corvella-bare-window; do
  [[ -x "$build_dir/$p" ]] ||
    { echo "playback-lean.sh: no $build_dir/$p (make build; ninja corvella-playfile)" >&2; exit 2; }
done
# A full HD screen: the 720p picture shows at its own size in the player too, as in playbin's
# window (on a 1280-wide screen the player's window and its borders cannot hold it unscaled;
# LEAN_SCREEN=1280x1024x24 measures that case, where the player scales every picture).
start_xvfb "${LEAN_SCREEN:-1920x1080x24}"
work=$(mktemp -d)
session_dirs+=("$work")

# The clips: a sine tone as MP3, and moving test pictures with the same tone as H.264 in MP4,
# 8-bit 4:2:0 as cameras and encoders make them (left to itself the encoder would take the test
# source's first offer, 4:4:4 at 10 bits, whose frames are four times as large).
tone() { echo "audiotestsrc num-buffers=$((clip_seconds * 43)) samplesperbuffer=1024 ! \
  audio/x-raw,rate=44100,channels=2 ! audioconvert ! lamemp3enc"; }
gst-launch-1.0 -q $(tone) ! id3v2mux ! filesink location="$work/clip.mp3"
h264="x264enc speed-preset=ultrafast"
gst-inspect-1.0 x264enc >/dev/null 2>&1 || h264=openh264enc
gst-launch-1.0 -q videotestsrc pattern=ball num-buffers=$((clip_seconds * 30)) ! \
  video/x-raw,format=I420,width=1280,height=720,framerate=30/1 ! $h264 ! h264parse ! \
  mp4mux name=mux ! filesink location="$work/clip.mp4" $(tone) ! mpegaudioparse ! mux.

kib_field() { awk -v f="$1:" '$1 == f { print $2 }' "$2"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
ticks=$(getconf CLK_TCK)

declare -A figures # "<clip> <program> rss|cpu" -> the runs' values, one a line

# sample KEY: samples the running player_pid and adds its figures under KEY.
sample() {
  local key=$1 t0 c0 c1 rss samples=()
  sleep "$from"
  c0=$(cpu_ticks "$player_pid")
  t0=$(date +%s.%N)
  for _ in $(seq $(((to - from) * 2))); do
    rss=$(kib_field VmRSS "/proc/$player_pid/status" 2>/dev/null) ||
      { echo "$key: ended before t=$to s" >&2; cat "$work/home/log" >&2; exit 1; }
    samples+=("$rss")
    sleep 0.5
  done
  c1=$(cpu_ticks "$player_pid")
  rss=$(printf '%s\n' "${samples[@]}" | median)
  local cpu
  cpu=$(awk -v d=$((c1 - c0)) -v hz="$ticks" -v t0="$t0" -v t1="$(date +%s.%N)" \
    'BEGIN { printf "%.2f", d / hz * 100 / (t1 - t0) }')
  stop_player
  rm -rf "$work/home"
  figures["$key rss"]+="$rss"$'\n'
  figures["$key cpu"]+="$cpu"$'\n'
  printf '%-22s resident %6s MiB, CPU %5s %%\n' "$key" "$(mib "$rss")" "$cpu"
}

for run in $(seq "$runs"); do
  echo "run $run"
  start_player "$build_dir/corvella-bare-window" "$work/home"
  sample "bare window"
  for clip in mp3 mp4; do
    file="$work/clip.$clip"
    start_player gst-launch-1.0 "$work/home" -q playbin "uri=file://$file" \
      audio-sink="fakesink sync=true" video-sink=ximagesink
    sample "$clip playbin"
    start_player "$build_dir/corvella-playfile" "$work/home" "$file"
    sample "$clip playfile"
    start_player "$build_dir/corvella" "$work/home" "$file"
    sample "$clip player"
  done
done

med() { printf '%s' "${figures[$1]}" | median; }
echo
printf '%-22s %14s %8s %14s %12s\n' "median" "resident MiB" "CPU %" "resident ratio" "CPU ratio"
printf '%-22s %14s %8s\n' "bare window" "$(mib "$(med "bare window rss")")" \
  "$(med "bare window cpu")"
for clip in mp3 mp4; do
  base_rss=$(med "$clip playbin rss") base_cpu=$(med "$clip playbin cpu")
  for program in playbin playfile player; do
    key="$clip $program"
    printf '%-22s %14s %8s %14s %12s\n' "$key" "$(mib "$(med "$key rss")")" "$(med "$key cpu")" \
      "$(ratio "$(med "$key rss")" "$base_rss")" "$(ratio "$(med "$key cpu")" "$base_cpu")"
  done
  floor=$((base_rss + $(med "bare window rss")))
  printf '%-22s %14s MiB (playbin + bare window); player above it: %s MiB\n' \
    "$clip floor" "$(mib "$floor")" "$(mib $(($(med "$clip player rss") - floor)))"
done
