#!/usr/bin/env bash
# Installs puppeteer-core for the browser test of velmora-cli web into build/web-browser, from the
# package files under tests/web/browser. It drives the machine's own chromium, so no browser is
# downloaded. Safe to run again: it installs only when the package files changed.
set -euo pipefail
cd "$(dirname "$0")/.."

source_dir=tests/web/browser
target=build/web-browser
mkdir -p "$target"
if cmp -s "$source_dir/package-lock.json" "$target/package-lock.json" && [[ -d $target/node_modules/puppeteer-core ]]; then
  exit 0
fi
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$target/"
export PUPPETEER_SKIP_DOWNLOAD=1
(cd "$target" && npm ci --omit-lockfile-registry-resolved --no-audit --no-fund --loglevel=error)
