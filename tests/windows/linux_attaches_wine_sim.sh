#!/usr/bin/env bash
# A racer on Linux runs the simulator under Wine: the Linux build's velmora-cli finds the Windows build's
# velmora-sim.exe by its title and the executable class Wine gives its window, reads its version from the
# mapped image and its memory at the table's addresses.
#
#   linux_attaches_wine_sim.sh WINE WINDOWS_SIM LINUX_CLI
#
# Exits 77 (skipped) when the Linux build is not there.
set -uo pipefail
wine=$1 windows_sim=$2 linux_cli=$3

if [[ ! -x $linux_cli ]]; then
  echo "no Linux velmora-cli at $linux_cli: build the debug preset first"
  exit 77
fi

folder=$(mktemp -d)
sim_pid=""
failures=0

# The stand-in ends at the end of its input and takes its window with it; a killed Wine process can
# leave its window behind for a while, where the next check would find it.
stop_sim() {
  [[ -n $sim_pid ]] || return 0
  exec {SIM[1]}>&-
  for _ in $(seq 100); do
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  sim_pid=""
}
cleanup() {
  stop_sim
  rm -rf "$folder"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}
differ() {
  echo "DIFFER: $*"
  failures=$((failures + 1))
}

# Reads one line from the stand-in within a time limit, without Windows' CR.
read_line() {
  local seconds=$1 line
  read -r -t "$seconds" line <&"${SIM[0]}" || return 1
  printf '%s' "${line%$'\r'}"
}

start_sim() {
  coproc SIM { "$wine" "$windows_sim" "$@" 2>/dev/null; }
  sim_pid=$SIM_PID
  local ready
  ready=$(read_line 60) || fail "velmora-sim.exe $* did not start"
  [[ $ready == ready\ pid=* ]] || fail "velmora-sim.exe said \"$ready\" instead of ready"
}

ask() {
  local reply
  echo "$1" >&"${SIM[1]}"
  reply=$(read_line 10) || fail "velmora-sim.exe did not answer \"$1\""
  printf '%s' "$reply"
}

tell() {
  local command reply
  for command in "$@"; do
    reply=$(ask "$command")
    [[ $reply == ok ]] || fail "velmora-sim.exe answered \"$reply\" to \"$command\""
  done
}

# The lap logger sees a change only in a scan pass (every 250 ms): each step of a lap waits for two.
drive() {
  local command
  for command in "$@"; do
    tell "$command"
    sleep 0.6
  done
}

expect_line() {
  local json=$1 line=$2 what=$3
  grep -qxF -- "$line" <<<"$json" || differ "$what: no line '$line' in: $json"
}

# The probe of two titles and versions of the tables.
for case in "Race 07|1, 2, 1, 9" "GTR Evolution|1, 2, 0, 13"; do
  title=${case%%|*} version=${case#*|}
  start_sim --title "$title" --version "$version"
  tell "pause" "set FInCokpit 1" "set FEau 363.5" "set FPneuAvantGauche.FTempMilieu 371.25" \
    "set FRapportVitesse 3" "set FAcceleration 0.25"
  json=$(timeout 60 "$linux_cli" probe --timeout 20 2>"$folder/probe.err")
  status=$?
  ((status == 0)) || fail "probe of \"$title\" exited $status: $(cat "$folder/probe.err")"
  for line in "  \"title\": \"$title\"," "  \"runtime\": \"wine\"," "  \"version\": \"$version\"," \
    "  \"supported\": true," "    \"FInCokpit\": 1," "    \"FEau\": 363.5," \
    "    \"FPneuAvantGauche.FTempMilieu\": 371.25," "    \"FRapportVitesse\": 3," "    \"FAcceleration\": 0.25,"; do
    expect_line "$json" "$line" "$title"
  done
  class=$(sed -n 's/^  "class": "\(.*\)",$/\1/p' <<<"$json")
  [[ ${class,,} == *.exe ]] || differ "$title: the class \"$class\" names no executable"
  executable=$(sed -n 's/^  "executable": "\(.*\)",$/\1/p' <<<"$json")
  [[ -f $executable && ${executable,,} == *.exe ]] || differ "$title: the executable \"$executable\" is no file"
  echo "probe of \"$title\" $version under Wine: done"
  stop_sim
done

# The server role of the Linux build serves the Wine stand-in's values.
start_sim
tell "pause" "set FInCokpit 1" "set FEau 363.5" "set FRapportVitesse 3"
"$linux_cli" serve --port 0 --trace-log "$folder/protocole.txt" </dev/null >"$folder/serve.out" 2>"$folder/serve.err" &
serve_pid=$!
for _ in $(seq 100); do
  [[ -s $folder/serve.out ]] && break
  sleep 0.1
done
listening=$(head -n 1 "$folder/serve.out")
if [[ $listening =~ ^listening\ on\ port\ ([0-9]+)$ ]]; then
  record=$(timeout 60 "$linux_cli" fetch "127.0.0.1:${BASH_REMATCH[1]}" --count 1 2>"$folder/fetch.err")
  for member in '"Eau":363.5,' '"RapportVitesse":3,' '"InCockpit":1,'; do
    [[ $record == *"$member"* ]] || differ "serve: $member is not in $record $(cat "$folder/fetch.err")"
  done
  grep -q 'attached: Race 07 (Wine)' "$folder/serve.err" || differ "serve logged: $(cat "$folder/serve.err")"
else
  differ "serve said \"$listening\": $(cat "$folder/serve.err")"
fi
kill -TERM "$serve_pid"
wait "$serve_pid" 2>/dev/null
echo "serve of the stand-in under Wine: done"
stop_sim

# Two laps logged from the Windows stand-in agree with its own last lap.
start_sim
tell "pause" "session 1 1800 -1" "set FInCokpit 1" "set FFuel 40" "set FVitesse 40"
exec {LOG}< <(timeout 90 "$linux_cli" laps --laps 2 --timeout 30 2>&1)
read -r -t 40 attached <&"$LOG" || fail "laps did not attach"
[[ $attached == *'attached to "Race 07"'*'wine), logging laps' ]] || fail "laps said \"$attached\""
sleep 0.6
drive "sector 1 40.25" "sector 2 81.5" "line 121.125"
read -r -t 20 first <&"$LOG" || fail "no first lap"
expected='{"lap":1,"intermediate1":40.25,"intermediate2":81.5,"final":121.125,"sector1":40.25,"sector2":41.25,"sector3":39.625,"average_speed":122.2,"max_speed":null,"fuel":null}'
[[ $first == "$expected" ]] || differ "first lap: $first instead of $expected"
drive "set FVitesse 55.5" "sector 1 30.5" "sector 2 62.75"
tell "set FFuel 37.35" "line 93.5"
read -r -t 20 second <&"$LOG" || fail "no second lap"
final=$(ask "get FTemps.DernierTour")
first_split=$(ask "get FTemps.DernierTourSecteur1")
second_split=$(ask "get FTemps.DernierTourSecteur2")
expected="{\"lap\":2,\"intermediate1\":$first_split,\"intermediate2\":$second_split,\"final\":$final,\"sector1\":30.5,\"sector2\":32.25,\"sector3\":30.75,\"average_speed\":158.3,\"max_speed\":199.8,\"fuel\":2.65}"
[[ $second == "$expected" ]] || differ "second lap: $second instead of $expected"
exec {LOG}<&-
echo "laps under Wine: done"
stop_sim

# A version that no table accepts: reported as such, nothing read.
start_sim --version "9, 9, 9, 9"
json=$(timeout 60 "$linux_cli" probe --timeout 20 2>"$folder/probe.err")
status=$?
((status == 0)) || fail "probe of the unsupported stand-in exited $status: $(cat "$folder/probe.err")"
for line in '  "runtime": "wine",' '  "version": "9, 9, 9, 9",' '  "supported": false,' '  "values": {},'; do
  expect_line "$json" "$line" "unsupported"
done
echo "unsupported version under Wine: done"
stop_sim

echo "Linux velmora-cli against velmora-sim.exe under Wine: $failures difference(s)"
((failures == 0))
