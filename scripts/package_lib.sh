# Steps that make Velmora's packages from a build folder; sourced by scripts/package.sh and by the
# packaging stage of scripts/test.sh. Each prints the path of what it made on standard output and its
# tools' chatter on standard error.

# The Debian package of a Linux build folder, by CPack, into OUTDIR.
velmora_make_deb() {
  local build=$1 outdir=$2
  local work=$build/cpack
  rm -rf "$work"
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >&2 || return 1
  local deb
  deb=$(find "$work" -maxdepth 1 -name 'velmora_*.deb' -print -quit)
  [[ -n $deb ]] || { echo "cpack made no velmora_*.deb in $work" >&2; return 1; }
  mv -f "$deb" "$outdir/" && echo "$outdir/$(basename "$deb")"
}

# Fails, naming them, when a Windows program imports a MinGW runtime DLL that a bare Windows lacks.
velmora_check_static() {
  local exe=$1 dlls
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p') || return 1
  local mingw
  mingw=$(grep -iE '^(libstdc\+\+|libgcc|libwinpthread|libssp|libgomp|libatomic|libquadmath)[-_.a-z0-9]*\.dll$' \
    <<<"$dlls" || true)
  if [[ -n $mingw ]]; then
    echo "$exe imports MinGW DLLs: $(tr '\n' ' ' <<<"$mingw")" >&2
    return 1
  fi
}

# The Windows installer (NSIS) of velmora-cli.exe from a Windows build folder, for VERSION, into OUTDIR.
velmora_make_windows_installer() {
  local build=$1 version=$2 outdir=$3
  local exe=$build/cli/velmora-cli.exe
  velmora_check_static "$exe" || return 1
  # Symbols serve no one on the game PC; the build keeps its own copy with them.
  local stripped=$build/installer/velmora-cli.exe
  mkdir -p "$build/installer"
  x86_64-w64-mingw32-strip -o "$stripped" "$exe" || return 1
  local installer=$outdir/velmora-server-$version-setup.exe
  makensis -V2 -DVERSION="$version" -DCLI_EXE="$(realpath "$stripped")" -DOUTFILE="$(realpath "$outdir")/$(basename "$installer")" \
    packaging/windows/velmora-server.nsi >&2 || return 1
  echo "$installer"
}

# A version of four numbers, each one that a Windows version resource can hold.
velmora_valid_version() {
  [[ $1 =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]] || return 1
  local number
  for number in "${BASH_REMATCH[@]:1}"; do
    ((10#$number <= 65535)) || return 1
  done
}
