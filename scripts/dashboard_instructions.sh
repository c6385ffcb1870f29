#!/bin/sh
# How many instructions the dashboard runs in user space while attached to the stand-in and the lap grid
# fills, counted by valgrind's callgrind. Unlike processor time on a shared machine, the count repeats from
# run to run within about 1 %, so it shows what a change to the drawing or the reading saves; it does not
# count the kernel's work (system calls, switches between threads) nor the X server's.
# Usage: scripts/dashboard_instructions.sh [build folder] [seconds] [time scale]
# Needs valgrind. Without DISPLAY the script starts an Xvfb of its own; the dashboard draws on it.
set -eu
build=${1:-build/release}
seconds=${2:-30}
scale=${3:-10}
command -v valgrind > /dev/null || { echo "valgrind is needed: apt-get install valgrind" >&2; exit 2; }

. "$(dirname "$0")/own_display.sh"

work=$(mktemp -d)
# The stand-in quits when its input ends: it reads a pipe that this script holds open.
mkfifo "$work/input"
"$build/sim/velmora-sim" --time-scale "$scale" < "$work/input" > /dev/null &
exec 3> "$work/input"
QT_QPA_PLATFORM=xcb valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind.%p" \
  --log-file="$work/valgrind.log" "$build/src/app/velmora" > /dev/null 2>&1 &
dashboard=$!
# Under set -e a failing command would end the exit's clean-up early: a dashboard already gone must not
# leave the Xvfb running.
trap 'kill $dashboard 2>/dev/null || true; exec 3>&-; [ -z "$xvfb" ] || kill $xvfb 2>/dev/null || true
      wait 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' HUP INT PIPE TERM

# Under valgrind the start takes far longer: attach, get into the car, first laps.
sleep 45
callgrind_control --instr=on "$dashboard" > /dev/null 2>&1
sleep "$seconds"
callgrind_control --instr=off "$dashboard" > /dev/null 2>&1
kill "$dashboard"
wait "$dashboard" 2>/dev/null || true
instructions=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/valgrind.log" | tail -n 1)
[ -n "$instructions" ] || { echo "callgrind counted nothing: see valgrind's log" >&2; cat "$work/valgrind.log" >&2; exit 1; }
echo "$instructions" | awk -v s="$seconds" -v scale="$scale" '{
  printf "dashboard: %.2f million instructions a second in user space over %d s (stand-in at time scale %s)\n",
         $1 / 1e6 / s, s, scale }'
