#!/usr/bin/env bash
# The main job: builds Velmora, starts the simulator stand-in and then the dashboard, which finds and
# attaches it. Without a display both run on a virtual X server and the dashboard writes a picture of
# itself to build/screenshots/dashboard.png every few seconds. Stop with Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

bin=build/release
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

screenshot_args=()
if [ -z "${DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$display"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  mkdir -p build/screenshots
  screenshot_args=(--screenshot "$PWD/build/screenshots/dashboard.png" --screenshot-interval 3)
  echo "No display: running on the virtual display $DISPLAY;"
  echo "the dashboard writes its picture to build/screenshots/dashboard.png every 3 seconds."
fi

# The stand-in reads commands on its standard input; keep it open for as long as the job runs.
mkfifo_dir=$(mktemp -d)
mkfifo "$mkfifo_dir/sim-input"
"$bin/sim/velmora-sim" --time-scale 2 <"$mkfifo_dir/sim-input" &
pids+=($!)
exec 3>"$mkfifo_dir/sim-input"
rm -rf "$mkfifo_dir"

"$bin/src/app/velmora" "${screenshot_args[@]}" &
pids+=($!)
echo "Velmora is running (Ctrl-C to stop)."
wait "${pids[-1]}"
