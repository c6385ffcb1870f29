#!/usr/bin/env bash
# velmora-cli probe finds the stand-in under real window managers, each on an X server of its own: none,
# openbox (a frame around each window) and kwin_x11 (a frame and a wrapper), through the managers' client
# list and, with that list taken off the root, through the tree.
#
#   window_managers.sh CLI SIM                      the native stand-in
#   window_managers.sh CLI --wine WINE WINDOWS_SIM  the Windows stand-in under Wine, on the display in
#                                                   DISPLAY (Wine's prefix has its own), and once more with
#                                                   its class rewritten as a game launcher's layer names it
#
# A manager that is not installed is reported and skipped; with none of them at all the script exits 77.
set -uo pipefail
cli=$1
shift
wine="" sim=""
if [[ $1 == --wine ]]; then
  wine=$2 sim=$3
else
  sim=$1
fi

if [[ ! -x $cli ]]; then
  echo "no Linux velmora-cli at $cli: build the debug preset first"
  exit 77
fi

folder=$(mktemp -d)
pids=()
failures=0
checked=0
cleanup() {
  [[ -n ${SIM[1]:-} ]] && exec {SIM[1]}>&-
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null
  done
  rm -rf "$folder"
}
trap cleanup EXIT

differ() {
  echo "DIFFER: $*"
  failures=$((failures + 1))
}

own_display() {
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  for _ in $(seq 100); do
    [[ -s $folder/display ]] && break
    sleep 0.1
  done
  [[ -s $folder/display ]] || { echo "cannot start Xvfb"; exit 1; }
  export DISPLAY=":$(head -n 1 "$folder/display")"
  : >"$folder/display"
}

# Starts the manager and waits until it says on the root that it manages the screen.
start_manager() {
  case $1 in
    none) return 0 ;;
    openbox) openbox --sm-disable >"$folder/wm.log" 2>&1 & ;;
    kwin_x11) KWIN_COMPOSE=N kwin_x11 --replace >"$folder/wm.log" 2>&1 & ;;
  esac
  manager_pid=$!
  pids+=("$manager_pid")
  for _ in $(seq 150); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "$1 did not start: $(tail -n 5 "$folder/wm.log")"
  return 1
}

start_sim() {
  if [[ -n $wine ]]; then
    coproc SIM { "$wine" "$sim" --title "GTR Evolution" 2>/dev/null; }
  else
    coproc SIM { "$sim" --title "GTR Evolution" 2>/dev/null; }
  fi
  sim_pid=$SIM_PID
  pids+=("$sim_pid")
  local ready
  read -r -t 60 ready <&"${SIM[0]}" || { differ "the stand-in did not start"; return 1; }
  echo "pause" >&"${SIM[1]}"
  echo "set FEau 363.5" >&"${SIM[1]}"
  echo "set FInCokpit 1" >&"${SIM[1]}"
  local answer
  for _ in 1 2 3; do
    read -r -t 10 answer <&"${SIM[0]}"
  done
  # A manager maps the window once it has framed it; give it the moment.
  for _ in $(seq 50); do
    xwininfo -root -tree 2>/dev/null | grep -q '"GTR Evolution"' && break
    sleep 0.1
  done
}

stop_sim() {
  exec {SIM[1]}>&-
  for _ in $(seq 100); do
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
}

# How deep the stand-in's window lies below the root: 1 is a child of the root.
depth_of_sim() {
  xwininfo -root -tree | awk '/"GTR Evolution"/ { match($0, /^ */); print (RLENGTH - 5) / 3 + 1; exit }'
}

probe() {
  local what=$1 runtime=$2 json
  json=$(timeout 60 "$cli" probe --timeout 20 2>"$folder/probe.err")
  local status=$?
  checked=$((checked + 1))
  if ((status != 0)); then
    differ "$what: probe exited $status: $(cat "$folder/probe.err")"
    return
  fi
  for line in '  "title": "GTR Evolution",' "  \"runtime\": \"$runtime\"," '    "FEau": 363.5,'; do
    grep -qxF -- "$line" <<<"$json" || differ "$what: no line '$line' in: $json"
  done
  echo "$what: attached"
}

managers_run=0
for manager in none openbox kwin_x11; do
  if [[ $manager != none ]] && ! command -v "$manager" >/dev/null; then
    echo "$manager is not installed: skipped"
    continue
  fi
  [[ -z $wine ]] && own_display
  start_manager "$manager" || { differ "$manager"; continue; }
  managers_run=$((managers_run + 1))
  start_sim || continue
  runtime=native
  [[ -n $wine ]] && runtime=wine
  probe "$manager (window at depth $(depth_of_sim))" "$runtime"
  if [[ $manager != none ]]; then
    # Without the manager's list the tree is searched for the window that carries WM_STATE.
    xprop -root -remove _NET_CLIENT_LIST_STACKING
    xprop -root -remove _NET_CLIENT_LIST
    probe "$manager without its client list" "$runtime"
  fi
  if [[ -n $wine ]]; then
    # A game launcher's compatibility layer names the class after the game's number.
    xdotool search --name '^GTR Evolution$' set_window --class steam_app_8600 ||
      differ "cannot rewrite the class"
    class=$(xprop -id "$(xdotool search --name '^GTR Evolution$' | head -n 1)" WM_CLASS)
    [[ $class == *'"steam_app_8600"' ]] || differ "the class reads $class"
    probe "$manager, class steam_app_8600" wine
    json=$(timeout 60 "$cli" probe --timeout 20 2>/dev/null)
    grep -q '"class": "steam_app_8600"' <<<"$json" || differ "$manager: the probe names another class: $json"
    executable=$(sed -n 's/^  "executable": "\(.*\)",$/\1/p' <<<"$json")
    [[ ${executable,,} == *.exe && -f $executable ]] || differ "$manager: the executable \"$executable\" is no file"
  fi
  stop_sim
  if [[ $manager != none ]]; then
    kill "$manager_pid"
    wait "$manager_pid" 2>/dev/null
  fi
  if [[ -z $wine ]]; then
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
  fi
done

echo "window managers: $checked probes, $failures difference(s)"
((managers_run > 1)) || exit 77
((failures == 0))
