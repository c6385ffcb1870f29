#!/usr/bin/env bash
# The Linux dashboard's window test that attaches velmora-sim.exe under Wine, run from the Windows stage,
# which has built that executable.
#
#   linux_dashboard_attaches_wine_sim.sh WINE WINDOWS_SIM LINUX_WINDOW_TESTS
#
# Exits 77 (skipped) when the Linux build is not there.
set -uo pipefail
wine=$1 windows_sim=$2 window_tests=$3

if [[ ! -x $window_tests ]]; then
  echo "no Linux window tests at $window_tests: build the debug preset first"
  exit 77
fi
VELMORA_WINE=$wine VELMORA_WINE_SIM=$windows_sim QT_QPA_PLATFORM=offscreen \
  exec "$window_tests" --gtest_filter='WineStandInTest.*'
