#!/bin/sh
# How much of one core the dashboard uses while attached to the stand-in and the lap grid fills.
# Usage: scripts/dashboard_cpu.sh [build folder] [seconds] [time scale]
# The stand-in runs its race faster by the time scale (laps every ~90 s / scale); the dashboard scans it
# every 250 ms as always. Needs DISPLAY (the stand-in's window and the search run on X).
set -eu
build=${1:-build/release}
seconds=${2:-60}
scale=${3:-10}
hz=$(getconf CLK_TCK)

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# The stand-in quits when its input ends: it reads a pipe that this script holds open.
fifo=$(mktemp -u)
mkfifo "$fifo"
"$build/sim/velmora-sim" --time-scale "$scale" < "$fifo" > /dev/null &
sim=$!
exec 3> "$fifo"
rm "$fifo"
# One picture, taken just after the measurement so that it costs nothing there, shows that the grid filled.
picture="$build/screenshots/dashboard_cpu.png"
QT_QPA_PLATFORM=offscreen "$build/src/app/velmora" --screenshot "$picture" --screenshot-interval $((seconds + 12)) \
  > /dev/null 2>&1 &
dashboard=$!
trap 'kill $dashboard 2>/dev/null; exec 3>&-; wait 2>/dev/null' EXIT

sleep 10  # attach, get into the car, first laps
start=$(ticks "$dashboard")
sleep "$seconds"
end=$(ticks "$dashboard")
awk -v used="$((end - start))" -v hz="$hz" -v s="$seconds" -v scale="$scale" 'BEGIN {
  printf "dashboard: %.2f %% of one core over %d s (stand-in at time scale %s, about %d laps)\n",
         100 * used / hz / s, s, scale, s * scale / 90 }'
sleep 4
echo "picture of the dashboard at the end: $picture"
