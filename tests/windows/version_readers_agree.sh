#!/usr/bin/env bash
# Two independent readers of the product version must agree on files that no one here wrote: the Windows
# build's `velmora-cli.exe version`, which asks the Windows version service under Wine, and the Linux
# build's `velmora-cli version`, which reads the resource with our own reader. The files: Wine's own
# DLLs and programs, velmora-sim.exe, and the stand-in's copy of itself with a chosen version while it runs.
#
#   version_readers_agree.sh WINE WINDOWS_CLI WINDOWS_SIM LINUX_CLI
#
# Exits 77 (skipped) when the Linux build is not there.
set -uo pipefail
wine=$1 windows_cli=$2 windows_sim=$3 linux_cli=$4

if [[ ! -x $linux_cli ]]; then
  echo "no Linux velmora-cli at $linux_cli: build the debug preset first"
  exit 77
fi

failures=0
compare() {
  local file=$1
  local windows linux windows_status linux_status
  windows=$("$wine" "$windows_cli" version "$(winepath -w "$file" 2>/dev/null)" 2>/dev/null </dev/null | tr -d '\r')
  windows_status=${PIPESTATUS[0]}
  linux=$("$linux_cli" version "$file" 2>/dev/null </dev/null)
  linux_status=$?
  if [[ $windows == "$linux" && $windows_status == "$linux_status" ]]; then
    echo "agree: \"$linux\" ($linux_status) $file"
  else
    echo "DIFFER: Windows \"$windows\" ($windows_status), Linux \"$linux\" ($linux_status): $file"
    failures=$((failures + 1))
  fi
}

system32=$(winepath -u 'C:\windows\system32' 2>/dev/null)
for name in kernel32.dll user32.dll ntdll.dll version.dll shell32.dll comctl32.dll notepad.exe cmd.exe; do
  compare "$system32/$name"
done
compare "$windows_sim"

# The stand-in's copy exists while it runs; probe names it.
title="STCC - The Game" version="1, 2, 0, 8"
coproc SIM { "$wine" "$windows_sim" --title "$title" --version "$version" 2>/dev/null; }
read -r -t 60 ready <&"${SIM[0]}"
if [[ ${ready:-} != ready\ pid=* ]]; then
  echo "velmora-sim.exe did not get ready: \"${ready:-}\""
  failures=$((failures + 1))
else
  exe=$("$wine" "$windows_cli" probe --timeout 10 </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^  "exe": "\(.*\)",$/\1/p' | sed 's/\\\\/\\/g')
  copy=$(winepath -u "$exe" 2>/dev/null)
  if [[ -z $exe || ! -f $copy ]]; then
    echo "probe named no executable of the stand-in: \"$exe\""
    failures=$((failures + 1))
  else
    compare "$copy"
    [[ $("$linux_cli" version "$copy") == "$version" ]] || { echo "the copy does not carry \"$version\""; failures=$((failures + 1)); }
  fi
fi
exec {SIM[1]}>&-
wait "$SIM_PID" 2>/dev/null

echo "version readers: $failures difference(s)"
((failures == 0))
