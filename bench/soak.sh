#!/usr/bin/env bash
# Soak: CLIPS short generated WAV clips (0.2 s each) played in a row by the real player
# (offscreen, fake sinks that do not keep real time, so each clip ends as fast as the
# controller moves on). The resident memory (VmRSS) is sampled along the way; the curve is
# printed every 100 clips, with its start (first clip playing) and end (last clip played).
# Goal: the end within 5 MiB of the start.
#
#   bench/soak.sh [build-folder] [clips]
set -euo pipefail
build_dir=${1:-build}
clips=${2:-1000}
program="$build_dir/corvella"
[[ -x "$program" ]] || { echo "soak.sh: no program at $program (make build)" >&2; exit 2; }

work=$(mktemp -d)
player_pid=
cleanup() {
  [[ -n "$player_pid" ]] && kill -KILL "$player_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 - "$work" "$clips" <<'PY'
import struct, sys
folder, count = sys.argv[1], int(sys.argv[2])
rate = 8000
samples = bytes(0x84 if (i // 20) % 2 else 0x7C for i in range(rate // 5))
header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + \
    struct.pack("<IHHIIHH", 16, 1, 1, rate, rate, 1, 8) + b"data" + struct.pack("<I", len(samples))
with open(f"{folder}/soak.m3u", "w") as playlist:
    for i in range(count):
        path = f"{folder}/clip{i:04d}.wav"
        open(path, "wb").write(header + samples)
        playlist.write(path + "\n")
PY

log="$work/player.log"
env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work" \
  XDG_DATA_HOME="$work/data" CORVELLA_NO_STARTUP_DIALOGS=1 \
  CORVELLA_AUDIO_SINK="fakesink sync=false" CORVELLA_VIDEO_SINK="fakesink sync=false" \
  "$program" --verbose "$work/soak.m3u" >"$log" 2>&1 &
player_pid=$!

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
rss_kib() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$player_pid/status"; }
opened() { grep -c '^.*clip opened: ' "$log" || true; }

start_rss= next_mark=100 last=0 stalled=0
while kill -0 "$player_pid" 2>/dev/null; do
  n=$(opened)
  rss=$(rss_kib)
  [[ -z "$start_rss" && $n -ge 1 ]] && { start_rss=$rss; echo "clip    1: $(mib "$rss") MiB"; }
  while [[ $n -ge $next_mark && $next_mark -le $clips ]]; do
    printf 'clip %4d: %s MiB\n' "$next_mark" "$(mib "$rss")"
    next_mark=$((next_mark + 100))
  done
  if [[ $n -ge $clips ]]; then
    # The playlist repeats at its end, so the end is taken at once, before the player loops.
    end_rss=$rss
    break
  fi
  # No new clip for 60 s: the run is stuck, and its figures would mean nothing.
  if [[ $n -eq $last ]]; then stalled=$((stalled + 1)); else stalled=0; last=$n; fi
  [[ $stalled -lt 120 ]] || { echo "soak.sh: stuck after $n clips" >&2; tail -20 "$log" >&2; exit 1; }
  sleep 0.5
done
[[ -n "${end_rss:-}" ]] || end_rss=$(rss_kib)
kill -TERM "$player_pid"
wait "$player_pid" || true
player_pid=
echo "start $(mib "$start_rss") MiB, end $(mib "$end_rss") MiB after $clips clips," \
  "growth $(mib $((end_rss - start_rss))) MiB (goal: at most 5.0 MiB)"
