#!/usr/bin/env bash
# The server role of the Windows build, attached through the Win32 calls to velmora-sim.exe, read over
# loopback by the Linux build's `velmora-cli fetch`: the record crosses the two builds byte for byte.
#
#   serve_feeds_linux_fetch.sh WINE WINDOWS_CLI WINDOWS_SIM LINUX_CLI
#
# Exits 77 (skipped) when the Linux build is not there.
set -uo pipefail
wine=$1 windows_cli=$2 windows_sim=$3 linux_cli=$4

if [[ ! -x $linux_cli ]]; then
  echo "no Linux velmora-cli at $linux_cli: build the debug preset first"
  exit 77
fi

folder=$(mktemp -d)
sim_pid="" serve_pid=""
cleanup() {
  [[ -n $serve_pid ]] && { kill -KILL "$serve_pid" && wait "$serve_pid"; } 2>/dev/null
  # The stand-in ends at the end of its input and takes its window with it; a killed Wine process can
  # leave its window behind for a while, where the next suite would find it.
  if [[ -n $sim_pid ]]; then
    exec {SIM[1]}>&-
    for _ in $(seq 100); do
      kill -0 "$sim_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$sim_pid" 2>/dev/null
  fi
  wait 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

# Reads one line from a coprocess's output within a time limit, without Windows' CR.
read_line() {
  local fd=$1 seconds=$2 line
  read -r -t "$seconds" line <&"$fd" || return 1
  printf '%s' "${line%$'\r'}"
}

coproc SIM { "$wine" "$windows_sim" 2>/dev/null; }
sim_pid=$SIM_PID
ready=$(read_line "${SIM[0]}" 60) || fail "velmora-sim.exe did not start"
[[ $ready == ready\ pid=* ]] || fail "velmora-sim.exe said \"$ready\" instead of ready"
for command in "pause" "set FInCokpit 1" "set FEau 363.5" "set FPneuAvantGauche.FTempMilieu 371.25" \
  "set FRapportVitesse 3" "set FAcceleration 0.25"; do
  echo "$command" >&"${SIM[1]}"
  reply=$(read_line "${SIM[0]}" 10) || fail "velmora-sim.exe did not answer \"$command\""
  [[ $reply == ok ]] || fail "velmora-sim.exe answered \"$reply\" to \"$command\""
done

"$wine" "$windows_cli" serve --port 0 --bind 127.0.0.1 --trace-log "$(winepath -w "$folder/protocole.txt")" </dev/null \
  >"$folder/serve.out" 2>"$folder/serve.err" &
serve_pid=$!
for _ in $(seq 600); do
  [[ -s $folder/serve.out ]] && (($(wc -l <"$folder/serve.out") >= 1)) && break
  kill -0 "$serve_pid" 2>/dev/null || break
  sleep 0.1
done
listening=$(head -n 1 "$folder/serve.out" | tr -d '\r')
[[ $listening =~ ^listening\ on\ port\ ([0-9]+)$ ]] ||
  fail "velmora-cli.exe serve said \"$listening\": $(cat "$folder/serve.err")"
port=${BASH_REMATCH[1]}
echo "velmora-cli.exe serve listens on port $port"

# fetch keeps asking while the server detects the stand-in (once a second).
json=$(timeout 60 "$linux_cli" fetch "127.0.0.1:$port" --count 2 --interval 50 2>"$folder/fetch.err")
status=$?
((status == 0)) || fail "velmora-cli fetch exited $status: $(cat "$folder/fetch.err")"
lines=$(printf '%s\n' "$json" | wc -l)
((lines == 2)) || fail "fetch printed $lines lines instead of 2: $json"
failures=0
while IFS= read -r record; do
  for member in '"Eau":363.5,' '"PneuAvantGaucheTempMilieu":371.25,' '"RapportVitesse":3,' \
    '"Acceleration":0.25,' '"InCockpit":1,'; do
    if [[ $record != *"$member"* ]]; then
      echo "DIFFER: $member is not in $record"
      failures=$((failures + 1))
    fi
  done
done <<<"$json"
grep -q "attached" "$folder/serve.err" || {
  echo "velmora-cli.exe serve logged no attachment: $(cat "$folder/serve.err")"
  failures=$((failures + 1))
}
echo "serve under Wine, fetch on Linux: $failures difference(s)"
((failures == 0))
