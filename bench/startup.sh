#!/usr/bin/env bash
# Start-up figures of the player under a private X server (Xvfb): the time from launch until
# its three windows are mapped, and its resident memory a few seconds later. Each run has its
# own settings and runtime folders; the median of the runs is printed.
#
#   bench/startup.sh [build-folder] [runs]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-5}
program="$build_dir/corvella"
settle_seconds=3
source "$(dirname "$0")/../scripts/xvfb-player.sh"

require_tools Xvfb xdotool
[[ -x "$program" ]] || { echo "startup.sh: no program at $program" >&2; exit 2; }
start_xvfb 1280x1024x24
work=$(mktemp -d)
session_dirs+=("$work")

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

launch_times=()
memories=()
for run in $(seq "$runs"); do
  start=$(now_ms)
  start_player "$program" "$work/run$run"
  if ! wait_for_windows 3; then
    echo "run $run: only ${#windows[@]} windows mapped" >&2
    cat "$work/run$run/log" >&2
    exit 1
  fi
  end=$(now_ms)
  sleep "$settle_seconds"
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$player_pid/status")
  stop_player
  launch_times+=($(( end - start )))
  memories+=("$rss")
  echo "run $run: windows mapped after $(( end - start )) ms, resident $(( rss / 1024 )) MiB"
done

echo "median launch to three windows mapped: $(printf '%s\n' "${launch_times[@]}" | median) ms"
echo "median resident memory after ${settle_seconds} s: $(( $(printf '%s\n' "${memories[@]}" | median) / 1024 )) MiB"
