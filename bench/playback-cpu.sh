#!/usr/bin/env bash
# playback-cpu.sh FILE COMMAND [ARGS...]: runs COMMAND (which must play FILE to its end) under
# a virtual X display when none is set, and prints the CPU seconds (user + system) it used,
# per minute of playback. "{}" in the arguments stands for FILE.
#   bench/playback-cpu.sh clip.avi gst-launch-1.0 -q playbin uri=file://{} \
#       audio-sink="fakesink sync=true"
#   bench/playback-cpu.sh clip.avi build/corvella-playfile {}
set -euo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: $0 FILE COMMAND [ARGS...]" >&2
  exit 2
fi
file=$(realpath "$1")
shift
args=()
for a in "$@"; do args+=("${a//\{\}/$file}"); done

if [[ -z "${DISPLAY:-}" && "${PLAYBACK_CPU_INNER:-}" != 1 ]]; then
  exec env PLAYBACK_CPU_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$file" "$@"
fi

start=$(date +%s.%N)
TIMEFORMAT='%U %S'
stats=$( { time "${args[@]}" >/dev/null 2>&1 || true; } 2>&1 )
end=$(date +%s.%N)
read -r user sys <<<"$stats"
awk -v u="$user" -v s="$sys" -v t0="$start" -v t1="$end" -v cmd="${args[0]##*/}" 'BEGIN {
  wall = t1 - t0; cpu = u + s;
  printf "%s: %.2f s CPU (user %.2f, system %.2f) over %.1f s of playback = %.2f CPU s per minute\n",
         cmd, cpu, u, s, wall, (wall > 0 ? cpu * 60 / wall : 0) }'
