#!/usr/bin/env bash
# velmora-cli.exe built without its version resource cannot tell its own version: it must say so and end
# with status 1, not end without a word; what needs no version (help, the address tables) goes on.
#
#   unversioned_cli_reports.sh WINE WINDOWS_CLI OBJCOPY
set -uo pipefail
wine=$1 windows_cli=$2 objcopy=$3

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

"$objcopy" --remove-section=.rsrc "$windows_cli" "$folder/velmora-cli.exe" || {
  echo "FAIL: $objcopy could not take the resources out of $windows_cli"
  exit 1
}

for command in "--version" "serve --port 0 --bind 127.0.0.1"; do
  # shellcheck disable=SC2086
  out=$(timeout 60 "$wine" "$folder/velmora-cli.exe" $command 2>"$folder/err" </dev/null | tr -d '\r')
  status=${PIPESTATUS[0]}
  [[ $status == 1 ]] || fail "\"$command\" exited with $status instead of 1"
  # Wine may add lines of its own on standard error.
  tr -d '\r' <"$folder/err" | grep -qxF "velmora-cli: Les informations de version de sont pas inclues" ||
    fail "\"$command\" said \"$(cat "$folder/err")\" on standard error"
  [[ -z $out ]] || fail "\"$command\" printed \"$out\""
done

help=$(timeout 60 "$wine" "$folder/velmora-cli.exe" --help 2>/dev/null </dev/null | tr -d '\r')
[[ $help == Usage:* ]] || fail "--help printed \"${help:0:80}\""

if ((failures)); then
  exit 1
fi
echo "velmora-cli.exe without a version resource: reported with status 1, --help still answers"
