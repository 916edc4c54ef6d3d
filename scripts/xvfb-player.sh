# Sourced by the scripts that run the player on a private X server (Xvfb): starts the server,
# starts the player with fresh settings, waits for its windows, and cleans up on exit.
#   start_xvfb GEOMETRY            sets DISPLAY
#   start_player PROGRAM HOME [ARGS...]  sets player_pid; settings, runtime and log under HOME
#   wait_for_windows COUNT         fills the array windows; false when they did not appear
#   stop_player                    closes the player and waits for it

player_pid=
xvfb_pid=
session_dirs=()

require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      { echo "$(basename "$0"): $tool is missing (scripts/install-deps)" >&2; exit 2; }
  done
}

stop_player() {
  if [[ -n "$player_pid" ]]; then
    kill -TERM "$player_pid" 2>/dev/null || true
    wait "$player_pid" 2>/dev/null || true
    player_pid=
  fi
}

end_session() {
  stop_player
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  (( ${#session_dirs[@]} )) && rm -rf "${session_dirs[@]}"
  return 0
}
trap end_session EXIT

start_xvfb() {
  export DISPLAY=":$(( 90 + RANDOM % 100 ))"
  Xvfb "$DISPLAY" -screen 0 "$1" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "$(basename "$0"): the X server did not start" >&2
  exit 1
}

start_player() {
  local program=$1 home=$2
  shift 2
  mkdir -p -m 700 "$home"
  QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$home" \
    XDG_DATA_HOME="$home/data" HOME="$home" CORVELLA_NO_STARTUP_DIALOGS=1 \
    CORVELLA_AUDIO_SINK="${CORVELLA_AUDIO_SINK:-fakesink}" \
    "$program" "$@" >"$home/log" 2>&1 &
  player_pid=$!
}

wait_for_windows() {
  windows=()
  for _ in $(seq 1000); do
    mapfile -t windows < <(xdotool search --onlyvisible --pid "$player_pid" 2>/dev/null || true)
    (( ${#windows[@]} >= $1 )) && return 0
    sleep 0.01
  done
  return 1
}
