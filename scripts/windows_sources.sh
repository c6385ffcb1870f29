#!/usr/bin/env bash
# The libraries that the Windows build compiles itself, from the sources Debian ships: pugixml and Google
# Benchmark (GoogleTest comes with the googletest package). Unpacked once into build/windows-sources/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(pugixml benchmark)
target=build/windows-sources
mkdir -p "$target"

missing=()
for package in "${packages[@]}"; do
  [[ -f $target/$package/CMakeLists.txt ]] || missing+=("$package")
done
((${#missing[@]})) || exit 0

# Source packages need a deb-src entry for Debian's own archive.
if ! apt-get source --print-uris -qq "${missing[0]}" >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "The Windows build needs the Debian sources of ${missing[*]}; run as root once to fetch them" >&2
    exit 1
  fi
  cat >/etc/apt/sources.list.d/velmora-sources.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get -o DPkg::Lock::Timeout=600 update -qq
fi

download=$(mktemp -d)
trap 'rm -rf "$download"' EXIT
for package in "${missing[@]}"; do
  (cd "$download" && apt-get source --download-only -qq "$package" >/dev/null 2>&1)
  rm -rf "${target:?}/$package"
  mkdir -p "$target/$package"
  tar -xzf "$download/${package}"_*.orig.tar.gz -C "$target/$package" --strip-components=1
  echo "Unpacked the Debian source of $package into $target/$package"
done
