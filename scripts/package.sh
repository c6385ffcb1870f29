#!/usr/bin/env bash
# Builds the packages of a release for VERSION (four numbers, like 1.2.3.4) and puts them in OUTDIR: the
# Debian package of the dashboard (velmora_VERSION_amd64.deb) and the Windows installer of the server
# (velmora-server-VERSION-setup.exe). Prints their paths, one a line, the .deb first; everything else
# goes to standard error.
#
#   bash scripts/package.sh [--unsigned] VERSION OUTDIR
#
# The release's public key (the base64 of `velmora-sign public-key`) comes from the environment variable
# VELMORA_RELEASE_PUBLIC_KEY and is built in, so that the dashboard's update check trusts the histories it
# signs. Without it nothing is built, unless --unsigned is given: then the package's update check trusts
# no history, and the package's description says so.
#
# The builds live in build/package-linux-<type> and build/package-windows-<type> and are reused, so a
# second run, even for another version, rebuilds little; the normal builds keep the project's version.
# VELMORA_PACKAGE_BUILD_TYPE (default Release, with Debian's hardening flags) chooses the build type: Debug
# takes nearly everything from the compiler cache the debug preset filled, which suits tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/package_lib.sh

unsigned=OFF
if [[ ${1:-} == --unsigned ]]; then
  unsigned=ON
  shift
fi
if (($# != 2)); then
  echo "usage: bash scripts/package.sh [--unsigned] VERSION OUTDIR" >&2
  exit 2
fi
version=$1
outdir=$2
key=${VELMORA_RELEASE_PUBLIC_KEY:-}
if [[ $unsigned == ON ]]; then
  key=""
elif [[ -z $key ]]; then
  echo "package.sh: no release key: set VELMORA_RELEASE_PUBLIC_KEY to the release's public key" \
    "(velmora-sign public-key KEY_FILE), or give --unsigned for a package whose update check trusts no history" >&2
  exit 2
elif ! [[ $key =~ ^[A-Za-z0-9+/]{43}=$ ]]; then
  echo "package.sh: VELMORA_RELEASE_PUBLIC_KEY is not a base64 public key: $key" >&2
  exit 2
fi
if ! velmora_valid_version "$version"; then
  echo "VERSION takes four numbers of at most 65535, like 1.2.3.4: $version" >&2
  exit 2
fi

bash scripts/setup.sh >&2
bash scripts/windows_sources.sh >&2
mkdir -p "$outdir"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
jobs=$(nproc)
type=${VELMORA_PACKAGE_BUILD_TYPE:-Release}
case $type in
  Release | RelWithDebInfo | Debug) ;;
  *)
    echo "VELMORA_PACKAGE_BUILD_TYPE is Release, RelWithDebInfo or Debug: $type" >&2
    exit 2
    ;;
esac
linux=build/package-linux-${type,,}
windows=build/package-windows-${type,,}

flags=()
if [[ $type != Debug ]]; then
  # Debian's own hardening flags, as a Debian package is built with.
  flags=(-DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)")
fi
cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELMORA_VERSION_OVERRIDE="$version" -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF \
  -DVELMORA_RELEASE_PUBLIC_KEY="$key" -DVELMORA_PACKAGE_UNSIGNED="$unsigned" "${flags[@]}" >&2
cmake --build "$linux" -j "$jobs" >&2
velmora_make_deb "$linux" "$outdir"

cmake -S . -B "$windows" -G Ninja --toolchain cmake/toolchain-mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE="$type" -DVELMORA_VERSION_OVERRIDE="$version" -DVELMORA_BUILD_TESTS=OFF \
  -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF >&2
cmake --build "$windows" -j "$jobs" --target velmora-cli >&2
velmora_make_windows_installer "$windows" "$version" "$outdir"
