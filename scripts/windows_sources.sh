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
  # The sources come from the same archive (and mirror) as the machine's own Debian packages, so this
  # works behind any mirror the machine is set up with.
  read -r uri suite components < <(apt-get indextargets --format '$(CREATED_BY) $(ORIGIN) $(LABEL) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk '$1 == "Packages" && $2 == "Debian" && $3 == "Debian" && $5 !~ /-/ { print $4, $5, $6; exit }')
  if [[ -z ${uri:-} ]]; then
    echo "No Debian package source is configured in apt; the Windows build needs one to fetch ${missing[*]}" >&2
    exit 1
  fi
  {
    echo "Types: deb-src"
    echo "URIs: $uri"
    echo "Suites: $suite"
    echo "Components: $components"
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    if [[ -f $keyring ]]; then echo "Signed-By: $keyring"; fi
  } >/etc/apt/sources.list.d/velmora-sources.sources
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
