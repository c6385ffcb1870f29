#!/bin/sh
# How much of one core the dashboard uses while attached to the stand-in and the lap grid fills.
# Usage: scripts/dashboard_cpu.sh [build folder] [seconds] [time scale] [platform]
# The stand-in runs its race faster by the time scale (laps every ~90 s / scale); the dashboard scans it
# every 250 ms as always. Needs DISPLAY (the stand-in's window and the search run on X).
# platform: "offscreen" (default) draws into memory only; "xcb" draws on the X server in DISPLAY, which
# counts what drawing to a display costs. Without DISPLAY the script starts an Xvfb of its own.
set -eu
build=${1:-build/release}
seconds=${2:-60}
scale=${3:-10}
platform=${4:-offscreen}
case $platform in
  offscreen | xcb) ;;
  *) echo "platform must be offscreen or xcb" >&2; exit 2 ;;
esac

. "$(dirname "$0")/own_display.sh"

# Processor time of all the process's threads in nanoseconds, as the scheduler counts it. The user and
# system ticks of /proc/PID/stat are samples taken at each clock tick: a process using half a percent of a
# core is seen in about thirty of them a minute, which makes one run differ from the next by a fifth.
# Each thread's time is listed by thread id, so that a thread ending during the measurement (an idle pool
# thread) takes away only what it used within it.
thread_ns() { for task in /proc/"$1"/task/*; do echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat")"; done; }

# The stand-in quits when its input ends: it reads a pipe that this script holds open.
fifo=$(mktemp -u)
mkfifo "$fifo"
"$build/sim/velmora-sim" --time-scale "$scale" < "$fifo" > /dev/null &
sim=$!
exec 3> "$fifo"
rm "$fifo"
# One picture, taken just after the measurement so that it costs nothing there, shows that the grid filled.
picture="$build/screenshots/dashboard_cpu.png"
QT_QPA_PLATFORM=$platform "$build/src/app/velmora" --screenshot "$picture" --screenshot-interval $((seconds + 12)) \
  > /dev/null 2>&1 &
dashboard=$!
# Under set -e a failing command would end the exit's clean-up early: a dashboard already gone must not
# leave the Xvfb running.
trap 'kill $dashboard 2>/dev/null || true; exec 3>&-; [ -z "$xvfb" ] || kill $xvfb 2>/dev/null || true
      wait 2>/dev/null || true' EXIT
# A signal (a reader that went away, ^C) ends the script through its exit, so that nothing is left running
# to weigh on the next measurement.
trap 'exit 1' HUP INT PIPE TERM

sleep 10  # attach, get into the car, first laps
start=$(thread_ns "$dashboard")
sleep "$seconds"
end=$(thread_ns "$dashboard")
printf '%s\n--\n%s\n' "$start" "$end" | awk -v platform="$platform" -v s="$seconds" -v scale="$scale" '
  $0 == "--" { later = 1; next }
  !later { before[$1] = $2; next }
  { used += $2 - before[$1] }
  END {
    printf "dashboard: %.2f %% of one core over %d s (stand-in at time scale %s, about %d laps, %s)\n",
           100 * used / 1e9 / s, s, scale, s * scale / 90, platform }'
sleep 4
echo "picture of the dashboard at the end: $picture"
