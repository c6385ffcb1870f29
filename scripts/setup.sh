#!/usr/bin/env bash
# Installs what Velmora needs to build, test and run on Debian 12. Safe to run again: it installs only
# what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-image-formats-plugins
  libboost-dev libpugixml-dev libxcb1-dev libxcb-res0-dev
  libsodium-dev nlohmann-json3-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick python3 libxml2-utils gnumeric
  openbox kwin-x11 xdotool
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix googletest wine wine64
  help2man man-db desktop-file-utils appstream lintian dpkg-dev fakeroot nsis
  libmosquitto-dev mosquitto mosquitto-clients nats-server nlohmann-json3-dev openssl
  chromium nodejs
)
# The browser test installs puppeteer-core with npm. A Node.js from elsewhere may bring its own npm and
# conflict with Debian's, so Debian's is installed only when no npm is at hand.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Some packages are missing and this is not root; run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
