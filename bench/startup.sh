#!/usr/bin/env bash
# Start-up figures of the player under a private X server (Xvfb), each as a ratio to a bare Qt
# window (corvella-bare-window) launched in the same run:
#   - first start: fresh HOME and XDG folders, no settings yet;
#   - later start: the same folders again, settings and desktop files in place;
# each timed from launch until its windows are mapped, then its resident (VmRSS) and
# proportional (Pss) memory a few seconds later. Medians of the runs are printed.
#
#   bench/startup.sh [build-folder] [runs]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-5}
program="$build_dir/corvella"
baseline="$build_dir/corvella-bare-window"
settle_seconds=5
source "$(dirname "$0")/../scripts/xvfb-player.sh"

require_tools Xvfb xdotool
for p in "$program" "$baseline"; do
  [[ -x "$p" ]] || { echo "startup.sh: no program at $p (make build)" >&2; exit 2; }
done
start_xvfb 1280x1024x24
work=$(mktemp -d)
session_dirs+=("$work")

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
kib_field() { awk -v f="$1:" '$1 == f { print $2 }' "$2"; }

declare -A figures # "<kind> <measure>" -> the runs' values, one a line

# measure KIND PROGRAM HOME WINDOWS: one launch; adds its figures under KIND.
measure() {
  local kind=$1 prog=$2 home=$3 count=$4 start end
  start=$(now_ms)
  start_player "$prog" "$home"
  if ! wait_for_windows "$count"; then
    echo "$kind: only ${#windows[@]} windows mapped" >&2
    cat "$home/log" >&2
    exit 1
  fi
  end=$(now_ms)
  sleep "$settle_seconds"
  local rss pss
  rss=$(kib_field VmRSS "/proc/$player_pid/status")
  pss=$(kib_field Pss "/proc/$player_pid/smaps_rollup")
  stop_player
  figures["$kind ms"]+="$(( end - start ))"$'\n'
  figures["$kind rss"]+="$rss"$'\n'
  figures["$kind pss"]+="$pss"$'\n'
  printf '%-12s mapped after %4d ms, resident %5s MiB, proportional %5s MiB\n' \
    "$kind" "$(( end - start ))" "$(mib "$rss")" "$(mib "$pss")"
}

for run in $(seq "$runs"); do
  echo "run $run"
  measure "bare window" "$baseline" "$work/bare$run" 1
  measure "first start" "$program" "$work/player$run" 3
  measure "later start" "$program" "$work/player$run" 3
done

med() { printf '%s' "${figures[$1]}" | median; }
echo
printf '%-12s %10s %14s %14s\n' "median" "mapped ms" "resident MiB" "PSS MiB"
for kind in "bare window" "first start" "later start"; do
  printf '%-12s %10d %14s %14s\n' "$kind" "$(med "$kind ms")" \
    "$(mib "$(med "$kind rss")")" "$(mib "$(med "$kind pss")")"
done
echo
base_ms=$(med "bare window ms") base_rss=$(med "bare window rss") base_pss=$(med "bare window pss")
for kind in "first start" "later start"; do
  printf '%-12s ratio to the bare window: time %s, resident %s, PSS %s\n' "$kind" \
    "$(ratio "$(med "$kind ms")" "$base_ms")" "$(ratio "$(med "$kind rss")" "$base_rss")" \
    "$(ratio "$(med "$kind pss")" "$base_pss")"
done
