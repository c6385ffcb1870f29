# The packaging stage of scripts/test.sh (sourced by it): the dashboard's command line without a display,
# `cmake --install` into a scratch prefix, the Debian package and the Windows installer under Wine, all
# made from the debug and Windows builds the earlier stages left. Adds every check to test.sh's counters.

source scripts/package_lib.sh

# One counted check: NAME, then the command; its output is shown only when it fails.
pkg_check() {
  local name=$1 log
  shift
  log=$(mktemp)
  if "$@" >"$log" 2>&1; then
    echo "packaging: $name ok"
    passed=$((passed + 1))
  else
    tail -n 40 "$log"
    echo "packaging: $name FAILED"
    failed=$((failed + 1))
    status=1
  fi
  rm -f "$log"
}

# Runs with nothing that names a display.
no_display() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"
}

expect_output() {  # EXPECTED STATUS, EXPECTED FIRST LINE (of stdout, or of stderr for a failure), command
  local want_status=$1 want_line=$2 out rc
  shift 2
  out=$("$@" 2>&1)
  rc=$?
  echo "$out"
  [[ $rc == "$want_status" && $(head -n 1 <<<"$out") == "$want_line" ]]
}

installed_files_present() {
  local prefix=$1 missing=0 file
  for file in bin/velmora bin/velmora-cli libexec/velmora/demo/velmora-sim \
    share/applications/example.velmora.Velmora.desktop share/metainfo/example.velmora.Velmora.metainfo.xml \
    share/icons/hicolor/scalable/apps/example.velmora.Velmora.svg \
    share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/example.velmora.Velmora.png \
    share/man/man1/velmora.1.gz share/man/man1/velmora-cli.1.gz \
    share/doc/velmora/copyright share/doc/velmora/changelog.gz; do
    [[ -s $prefix/$file ]] || { echo "missing: $file"; missing=1; }
  done
  ((missing == 0))
}

man_page_renders() {  # the page renders without complaint and has its sections
  local page=$1 text
  text=$(MANPAGER=cat MANWIDTH=80 man --warnings -l -Tutf8 "$page" 2>&1 >/dev/null) || return 1
  [[ -z $text ]] || { echo "$text"; return 1; }
  # Read whole before searching: grep -q stops at the first match, and under pipefail the page's writer,
  # cut off by it, would fail the check.
  text=$(MANPAGER=cat man -l "$page" | sed 's/.\x08//g') || return 1
  grep -qx 'SYNOPSIS' <<<"$text"
}

deb_lists_files() {
  local deb=$1 listing missing=0 file
  listing=$(dpkg-deb --contents "$deb") || return 1
  for file in ./usr/bin/velmora ./usr/bin/velmora-cli ./usr/libexec/velmora/demo/velmora-sim \
    ./usr/share/applications/example.velmora.Velmora.desktop \
    ./usr/share/metainfo/example.velmora.Velmora.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/example.velmora.Velmora.svg \
    ./usr/share/icons/hicolor/48x48/apps/example.velmora.Velmora.png \
    ./usr/share/man/man1/velmora.1.gz ./usr/share/man/man1/velmora-cli.1.gz \
    ./usr/share/doc/velmora/copyright ./usr/share/doc/velmora/changelog.gz; do
    grep -q " $file\$" <<<"$listing" || { echo "not in the package: $file"; missing=1; }
  done
  ((missing == 0))
}

lintian_no_errors() {
  lintian --fail-on error --tag-display-limit 0 "$1"
}

# Under Wine: /S /D= installs; the installed program prints the version; the Start-menu entry starts its
# server; the uninstaller takes the folder away (it runs a copy of itself and returns at once, hence the
# wait).
windows_installer_round_trip() {
  local installer=$1 version=$2 folder=$3
  rm -rf "$folder"
  wine "$installer" /S "/D=$(winepath -w "$folder")" </dev/null || return 1
  local got
  got=$(wine "$folder/velmora-cli.exe" --version </dev/null | tr -d '\r') || return 1
  [[ $got == "$version" ]] || { echo "installed velmora-cli.exe --version: '$got', not '$version'"; return 1; }
  local entry
  entry=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Velmora/Velmora server.lnk' -print -quit)
  [[ -n $entry ]] || { echo "no Start-menu entry"; return 1; }
  local words
  words=$(strings -el "$entry") || return 1
  grep -qx serve <<<"$words" || { echo "the Start-menu entry does not start serve"; return 1; }
  [[ -x $folder/Uninstall.exe ]] || { echo "no uninstaller"; return 1; }
  wine "$folder/Uninstall.exe" /S </dev/null || return 1
  local _
  for _ in $(seq 150); do
    [[ -e $folder ]] || break
    sleep 0.2
  done
  [[ ! -e $folder ]] || { echo "the folder is still there:"; ls -la "$folder"; return 1; }
  [[ ! -e $entry ]] || { echo "the Start-menu entry is still there"; return 1; }
}

run_packaging() {
  echo "=== packaging: the dashboard's command line, cmake --install, the .deb, the Windows installer"
  local debug=build/debug work=build/packaging-test
  rm -rf "$work"
  mkdir -p "$work/out"
  local version
  version=$("$debug/cli/velmora-cli" --version) || {
    echo "packaging: no debug build to package"
    failed=$((failed + 1))
    status=1
    return
  }

  pkg_check "velmora --help without a display" \
    expect_output 0 "Usage: velmora [options] [-- COMMAND [ARG...]]" no_display "$debug/src/app/velmora" --help
  pkg_check "velmora --version without a display" \
    expect_output 0 "Velmora $version" no_display "$debug/src/app/velmora" --version
  pkg_check "velmora with a bad option, without a display" \
    expect_output 2 "velmora: Unknown option 'no-such-option'." no_display "$debug/src/app/velmora" --no-such-option

  local prefix=$PWD/$work/prefix
  pkg_check "cmake --install into a scratch prefix" cmake --install "$debug" --prefix "$prefix"
  pkg_check "installed files present" installed_files_present "$prefix"
  pkg_check "desktop entry validates" desktop-file-validate "$prefix/share/applications/example.velmora.Velmora.desktop"
  pkg_check "AppStream metadata validates" \
    appstreamcli validate --no-net "$prefix/share/metainfo/example.velmora.Velmora.metainfo.xml"
  pkg_check "man -l renders velmora.1" man_page_renders "$prefix/share/man/man1/velmora.1.gz"
  pkg_check "man -l renders velmora-cli.1" man_page_renders "$prefix/share/man/man1/velmora-cli.1.gz"
  pkg_check "installed velmora-cli --version" expect_output 0 "$version" "$prefix/bin/velmora-cli" --version

  local deb
  if deb=$(velmora_make_deb "$debug" "$work/out"); then
    pkg_check "lintian finds no error in $(basename "$deb")" lintian_no_errors "$deb"
    pkg_check "dpkg-deb --contents lists the files" deb_lists_files "$deb"
    pkg_check "apt-get install --simulate of the .deb" apt-get install --simulate "./$deb"
  else
    pkg_check "cpack makes the .deb" false
  fi

  export WINEPREFIX="$PWD/build/wine-prefix" WINEDEBUG=-all
  local installer
  if installer=$(velmora_make_windows_installer build/windows "$version" "$work/out"); then
    wineserver --persistent=300 </dev/null >/dev/null 2>&1
    pkg_check "Windows installer: /S /D=, --version, Start-menu entry, uninstaller" \
      windows_installer_round_trip "$installer" "$version" "$PWD/$work/windows-install"
    wineserver --kill </dev/null >/dev/null 2>&1
  else
    pkg_check "makensis makes the Windows installer of a static velmora-cli.exe" false
  fi
}
