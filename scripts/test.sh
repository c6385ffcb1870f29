#!/usr/bin/env bash
# Builds everything and runs every test: the debug build, the address and undefined-behaviour sanitizer
# build and the thread sanitizer build of the core, each with ctest, the Windows build under Wine, and the
# packages made from those builds.
# Safe to run again; builds are incremental under build/.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh || exit 1

jobs=$(nproc)
# Paths under the clone are hashed relative to it, so a fresh clone in another folder reuses the compiler
# cache that earlier clones filled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
status=0
passed=0
failed=0

run_preset() {
  local preset=$1
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >"build/$preset-configure.log" 2>&1; then
    cat "build/$preset-configure.log"
    status=1
    failed=$((failed + 1))
    return
  fi
  if ! cmake --build --preset "$preset" -j "$jobs"; then
    status=1
    failed=$((failed + 1))
    return
  fi
  echo "=== $preset: tests"
  local log="build/$preset/ctest.log"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  ((rc == 0)) || status=1
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  elif ((rc != 0)); then
    failed=$((failed + 1))
  fi
}

# The window tests need an X server. Without a desktop a virtual one serves the run; it picks a free
# display number itself and writes it to fd 3 once it accepts connections.
if [[ -z ${DISPLAY:-} ]]; then
  display_file=$(mktemp)
  # -noreset: a server that resets when its last client leaves drops the next connection made meanwhile.
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
  for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
  done
  if [[ ! -s $display_file ]]; then
    echo "cannot start Xvfb for the window tests" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  echo "=== Xvfb on $DISPLAY"
fi

mkdir -p build
for preset in debug asan tsan; do
  run_preset "$preset"
done

# Short libFuzzer runs: the executable version reader, the protocol line splitter and the record
# applier; any crash they find fails the script.
run_fuzzer() {
  local name=$1 seconds=$2
  shift 2
  local fuzzer=build/fuzz/tests/fuzz/${name}_fuzzer
  mkdir -p "build/fuzz/corpus/$name"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -artifact_prefix="build/fuzz/${name}-" \
    "build/fuzz/corpus/$name" "$@" >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz: $name ok"
    passed=$((passed + 1))
  else
    tail -n 40 "build/fuzz/$name.log"
    echo "fuzz: $name FAILED (see build/fuzz/$name.log and the crash file under build/fuzz/)"
    status=1
    failed=$((failed + 1))
  fi
}

# The Windows build (MinGW-w64) runs its suites and the programs under Wine, so that the Win32 calls really
# run. One prefix under build/ serves every run; one Wine server, kept running for the whole stage, spares
# each test program the server's start.
run_windows() {
  export WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all
  if ! bash scripts/windows_sources.sh; then
    status=1
    failed=$((failed + 1))
    return
  fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "=== windows: creating the Wine prefix $WINEPREFIX"
    if ! wineboot --init </dev/null >build/wine-prefix.log 2>&1; then
      cat build/wine-prefix.log
      status=1
      failed=$((failed + 1))
      return
    fi
  fi
  # A run that was stopped part-way can leave stand-ins and test programs alive in the prefix; they would
  # answer the next run's window searches, so every process of the prefix is ended first.
  wineserver --kill </dev/null >/dev/null 2>&1
  # Wine's background services start with the first program and keep its output open; started here, with
  # no output to hold, they cannot keep a test's output open.
  wineserver --persistent=600 </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1
  run_preset windows
  wineserver --kill </dev/null >/dev/null 2>&1
}
run_windows

# The packages, made from the debug and Windows builds above, installed and checked.
source scripts/test_packaging.sh
run_packaging

# A short libFuzzer run of the executable version reader; any crash it finds fails the script.
run_fuzz() {
  echo "=== fuzz: configure, build and run pe_version (30 s), protocol_line and record_apply (15 s each)"
  if ! cmake --preset fuzz >build/fuzz-configure.log 2>&1; then
    cat build/fuzz-configure.log
    status=1
    failed=$((failed + 1))
    return
  fi
  if ! cmake --build --preset fuzz -j "$jobs" --target pe_version_fuzzer protocol_line_fuzzer \
    record_apply_fuzzer; then
    status=1
    failed=$((failed + 1))
    return
  fi
  run_fuzzer pe_version 30 build/fuzz/tests/fuzz/seeds/pe_version
  run_fuzzer protocol_line 15
  run_fuzzer record_apply 15
}
run_fuzz

# The release command as a maintainer runs it: scripts/package.sh builds both real packages of a version
# above the built one, scripts/release.sh signs the history, and the debug velmora-cli finds the package
# over loopback HTTP and verifies it (the debug ctest run did the same with stand-in package files). A
# debug build type lets package.sh take its builds from the compiler cache.
run_release() {
  echo "=== release: scripts/release.sh with the real packages, then velmora-cli update-check"
  local log=build/release-end-to-end.log
  if [[ ! -f scripts/package.sh ]]; then
    echo "release: scripts/package.sh is missing, so no release can be made"
    status=1
    failed=$((failed + 1))
  elif VELMORA_PACKAGE_BUILD_TYPE=Debug bash tests/update/release_end_to_end.sh build/debug/cli/velmora-cli \
    build/debug/tools/velmora-sign --real >"$log" 2>&1; then
    echo "release: ok"
    passed=$((passed + 1))
  else
    tail -n 60 "$log"
    echo "release: FAILED (see $log)"
    status=1
    failed=$((failed + 1))
  fi
}
run_release

echo
echo "tests: $passed passed, $failed failed"
exit $status
