#!/usr/bin/env bash
# Builds the packages of a release for VERSION (four numbers, like 1.2.3.4) and puts them in OUTDIR: the
# Debian package of the dashboard (velmora_VERSION_amd64.deb) and the Windows installer of the server
# (velmora-server-VERSION-setup.exe). Prints their paths, one a line, the .deb first; everything else
# goes to standard error.
#
#   bash scripts/package.sh VERSION OUTDIR
#
# Release builds live in build/package-linux and build/package-windows and are reused, so a second run,
# even for another version, rebuilds little. The normal builds keep the project's version.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/package_lib.sh

if (($# != 2)); then
  echo "usage: bash scripts/package.sh VERSION OUTDIR" >&2
  exit 2
fi
version=$1
outdir=$2
if ! velmora_valid_version "$version"; then
  echo "VERSION takes four numbers of at most 65535, like 1.2.3.4: $version" >&2
  exit 2
fi

bash scripts/setup.sh >&2
bash scripts/windows_sources.sh >&2
mkdir -p "$outdir"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
jobs=$(nproc)

# Debian's own hardening flags, as a Debian package is built with.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build/package-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELMORA_VERSION_OVERRIDE="$version" -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >&2
cmake --build build/package-linux -j "$jobs" >&2
velmora_make_deb build/package-linux "$outdir"

cmake -S . -B build/package-windows -G Ninja --toolchain cmake/toolchain-mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVELMORA_VERSION_OVERRIDE="$version" -DVELMORA_BUILD_TESTS=OFF \
  -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF >&2
cmake --build build/package-windows -j "$jobs" --target velmora-cli >&2
velmora_make_windows_installer build/package-windows "$version" "$outdir"
