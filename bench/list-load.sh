#!/usr/bin/env bash
# A long extended M3U (ENTRIES entries, 100,000 by default) given to the player on the command
# line, under a private X server (Xvfb), against `corvella-playlist show` of the same file and
# against the player given a one-entry list, all in the same run:
#   - idle: time from the launch until the interface answers a later start (a second
#     `corvella` without arguments, started once the first clip of the list has opened; its
#     hand-over is read on the interface thread, so the answer comes once the interface has
#     done what the list gave it);
#   - resident (VmRSS) and peak (VmHWM) memory at that moment;
#   - corvella-playlist: wall time and peak resident memory of `show FILE` (output discarded).
# The first entry is a real generated MP3, so the player starts playing as a user would see
# it; every other entry names a file that does not exist. Each entry carries its title and
# length (#EXTINF), so nothing is read in the background: what is measured is the list
# itself. Both programs look up each entry on disk the same way, so nonexistent entries cost
# them alike and spare the run 100,000 files. Medians of the runs are printed.
#
#   bench/list-load.sh [build-folder] [runs] [entries]
set -euo pipefail
build_dir=${1:-build}
runs=${2:-3}
entries=${3:-100000}
program="$build_dir/corvella"
lister="$build_dir/corvella-playlist"
source "$(dirname "$0")/../scripts/xvfb-player.sh"

require_tools Xvfb xdotool gst-launch-1.0
for p in "$program" "$lister"; do
  [[ -x "$p" ]] || { echo "list-load.sh: no program at $p (make build)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "list-load.sh: /usr/bin/time is missing" >&2; exit 2; }
start_xvfb 1280x1024x24
work=$(mktemp -d)
session_dirs+=("$work")

gst-launch-1.0 -q audiotestsrc num-buffers=$((60 * 43)) samplesperbuffer=1024 ! \
  audio/x-raw,rate=44100,channels=2 ! audioconvert ! lamemp3enc ! filesink \
  location="$work/first.mp3"
# write_list FILE COUNT
write_list() {
  awk -v n="$2" -v dir="$work" 'BEGIN {
    print "#EXTM3U"
    print "#EXTINF:60,Generated - First"; print dir "/first.mp3"
    for (i = 2; i <= n; ++i) {
      printf "#EXTINF:%d,Artist %d - Title %d\n", 120 + i % 300, i % 997, i
      printf "%s/missing/folder%03d/clip%06d.mp3\n", dir, i % 500, i
    }
  }' >"$1"
}
write_list "$work/long.m3u" "$entries"
write_list "$work/one.m3u" 1

now_ms() { date +%s%3N; }
kib_field() { awk -v f="$1:" '$1 == f { print $2 }' "$2"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

declare -A figures # "<kind> ms|rss|hwm" -> the runs' values, one a line

wait_for_line() { # LOG TEXT: false after 120 s
  for _ in $(seq 12000); do
    grep -qF "$2" "$1" 2>/dev/null && return 0
    kill -0 "$player_pid" 2>/dev/null || return 1
    sleep 0.01
  done
  return 1
}

# measure_player KIND LIST
measure_player() {
  local kind=$1 home="$work/home" start end
  start=$(now_ms)
  start_player "$program" "$home" --verbose "$2"
  wait_for_line "$home/log" "clip opened: " ||
    { echo "$kind: the player did not open the first clip" >&2; cat "$home/log" >&2; exit 1; }
  QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$home" \
    XDG_DATA_HOME="$home/data" HOME="$home" CORVELLA_NO_STARTUP_DIALOGS=1 \
    "$program" >"$home/probe.log" 2>&1
  wait_for_line "$home/log" "command line from another start" ||
    { echo "$kind: the player never answered" >&2; tail "$home/log" >&2; exit 1; }
  end=$(now_ms)
  local rss hwm
  rss=$(kib_field VmRSS "/proc/$player_pid/status")
  hwm=$(kib_field VmHWM "/proc/$player_pid/status")
  stop_player
  rm -rf "$home"
  figures["$kind ms"]+="$((end - start))"$'\n'
  figures["$kind rss"]+="$rss"$'\n'
  figures["$kind hwm"]+="$hwm"$'\n'
  printf '%-18s idle after %6d ms, resident %6s MiB, peak %6s MiB\n' "$kind" \
    "$((end - start))" "$(mib "$rss")" "$(mib "$hwm")"
}

measure_tool() {
  local seconds hwm
  /usr/bin/time -o "$work/time" -f '%e %M' "$lister" show "$work/long.m3u" >/dev/null 2>&1
  read -r seconds hwm <"$work/time"
  local ms
  ms=$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000 }')
  figures["tool ms"]+="$ms"$'\n'
  figures["tool hwm"]+="$hwm"$'\n'
  printf '%-18s done after  %6d ms,                       peak %6s MiB\n' "corvella-playlist" \
    "$ms" "$(mib "$hwm")"
}

for run in $(seq "$runs"); do
  echo "run $run"
  measure_tool
  measure_player "player, 1 entry" "$work/one.m3u"
  measure_player "player, $entries" "$work/long.m3u"
done

med() { printf '%s' "${figures[$1]}" | median; }
long="player, $entries"
echo
printf 'median: corvella-playlist show %d ms, peak %s MiB\n' "$(med "tool ms")" \
  "$(mib "$(med "tool hwm")")"
for kind in "player, 1 entry" "$long"; do
  printf 'median: %-22s idle after %d ms, resident %s MiB, peak %s MiB\n' "$kind" \
    "$(med "$kind ms")" "$(mib "$(med "$kind rss")")" "$(mib "$(med "$kind hwm")")"
done
extra_ms=$(($(med "$long ms") - $(med "player, 1 entry ms")))
extra_rss=$(($(med "$long rss") - $(med "player, 1 entry rss")))
printf 'the list costs the player %d ms (%s x corvella-playlist) and %s MiB resident (%s x)\n' \
  "$extra_ms" "$(ratio "$extra_ms" "$(med "tool ms")")" "$(mib "$extra_rss")" \
  "$(ratio "$extra_rss" "$(med "tool hwm")")"
