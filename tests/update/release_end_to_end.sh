#!/usr/bin/env bash
# A release as a user meets it: scripts/release.sh makes the release folder of a version above the built
# one, a loopback HTTP server (python3 -m http.server) serves it, and velmora-cli update-check --download
# finds, downloads and verifies the package. Then the ways it must refuse: the package changed after the
# history was written, the history changed after signing, signed by another key, unsigned, and a history
# far larger than the cap, which must be refused without being read to its end.
#
#   release_end_to_end.sh VELMORA_CLI VELMORA_SIGN [--real]
#
# The packages are small stand-in files for speed; with --real, release.sh builds the real ones with
# scripts/package.sh.
set -uo pipefail

cli="$1"
sign_tool="$2"
real="${3:-}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
server_pid=""
cleanup() {
  [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # check WHAT CONDITION...
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
empty_folder() { [[ -z "$(ls -A "$1")" ]]; }
# A small real Debian package whose one program holds TEXT, as a real package's programs hold the
# release key built in.
stand_in_deb() { # stand_in_deb FILE VERSION BYTES TEXT
  local tree
  tree="$(mktemp -d)"
  mkdir -p "$tree/DEBIAN" "$tree/usr/bin"
  printf 'Package: velmora\nVersion: %s\nArchitecture: amd64\nMaintainer: Velmora tests <tests@velmora.example>\nDescription: stand-in\n' \
    "$2" >"$tree/DEBIAN/control"
  { head -c "$3" /dev/urandom; printf '%s' "$4"; } >"$tree/usr/bin/velmora"
  dpkg-deb --root-owner-group --build "$tree" "$1" >/dev/null
  rm -rf "$tree"
}

running="$("$cli" --version)" || exit 1
next="$((${running%%.*} + 1)).0.0.0"
echo "running $running, releasing $next"

# The release, signed with a key made for this run.
"$sign_tool" keygen "$work/release.key" >/dev/null || exit 1
public_key="$("$sign_tool" public-key "$work/release.key")"
cat >"$work/CHANGELOG.md" <<NOTES
# Changelog

## $next (2026-12-24)

- A release made by the end-to-end test.
NOTES
export VELMORA_SIGN="$sign_tool" VELMORA_CHANGELOG="$work/CHANGELOG.md"
www="$work/www"
mkdir -p "$www"
release_options=()
if [[ "$real" != --real ]]; then
  mkdir -p "$work/packages"
  stand_in_deb "$work/packages/velmora_${next}_amd64.deb" "$next" 300000 "$public_key"
  head -c 200000 /dev/urandom >"$work/packages/VelmoraSetup-$next.exe"
  release_options=(--packages "$work/packages")
fi
VELMORA_RELEASE_KEY_FILE="$work/release.key" bash "$root/scripts/release.sh" "${release_options[@]}" "$next" "$www/good" ||
  exit 1
deb="$(ls "$www/good/"*"$next"*.deb)"

# The ways a release folder can be wrong, each in a folder of its own beside the good one.
cp -r "$www/good" "$www/changed_package"
printf 'X' | dd of="$www/changed_package/$(basename "$deb")" bs=1 seek=100 conv=notrunc status=none
cp -r "$www/good" "$www/changed_history"
forged_version="$((${running%%.*} + 2)).0.0.0"
forged="$www/changed_history/velmora_${forged_version}_amd64.deb"
head -c "$(stat -c %s "$deb")" /dev/urandom >"$forged"
sed -i -e "s/$next/$forged_version/g" \
  -e "s/$(sha256sum "$deb" | cut -d' ' -f1)/$(sha256sum "$forged" | cut -d' ' -f1)/" \
  "$www/changed_history/VelmoraVersion.xml"
"$sign_tool" keygen "$work/other.key" >/dev/null
mkdir -p "$www/other_key"
cp "$www/good/"*"$next"* "$www/other_key/"
# The key as a CI secret would give it: the key file's content in the environment. The packages hold the
# first key, so they must be taken as they are.
VELMORA_RELEASE_KEY="$(cat "$work/other.key")" bash "$root/scripts/release.sh" --unsigned --packages "$www/good" \
  "$next" "$www/other_key" >/dev/null || exit 1
cp -r "$www/good" "$www/unsigned"
rm "$www/unsigned/VelmoraVersion.xml.sig"
mkdir -p "$www/huge"
cp "$www/good/VelmoraVersion.xml.sig" "$www/huge/"
truncate -s 64G "$www/huge/VelmoraVersion.xml"  # sparse: costs no disk, but reading it whole takes long

# A later beta joins the history; the release before it stays. A history the key did not sign is not
# taken over.
beta="${next%.*}.1"
cp -r "$www/good" "$work/later"
mkdir -p "$work/beta-packages"
stand_in_deb "$work/beta-packages/velmora_${beta}_amd64.deb" "$beta" 1000 "$public_key"
# A later version whose number starts with this one's lies beside it: it is not part of this release.
head -c 1000 /dev/urandom >"$work/beta-packages/velmora_${beta}0_amd64.deb"
printf '\n## %s (2026-12-31)\n\n- A beta after it.\n' "$beta" >>"$work/CHANGELOG.md"
VELMORA_RELEASE_KEY_FILE="$work/release.key" bash "$root/scripts/release.sh" --type Beta \
  --packages "$work/beta-packages" "$beta" "$work/later" >/dev/null
check "a later beta is released into the same folder" "$sign_tool" verify "$public_key" "$work/later/VelmoraVersion.xml"
check "... beside the earlier release, each the current one of its type" python3 - "$work/later/VelmoraVersion.xml" \
  "$next" "$beta" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
releases = sorted((r.findtext("ProgramVersion"), r.findtext("ProgramReleaseType"), r.findtext("ProgramPlatform"))
                  for r in root.findall("Release"))
expected = sorted([(sys.argv[2], "Production", "Linux"), (sys.argv[2], "Production", "Windows"),
                   (sys.argv[3], "Beta", "Linux")])
current = root.find("CurrentVersions")
sys.exit(0 if releases == expected and current.findtext("Production") == sys.argv[2]
         and current.findtext("Beta") == sys.argv[3] else 1)
PY
check "... with its own package only, not that of ${beta}0" test ! -e "$work/later/velmora_${beta}0_amd64.deb"
serial_of() { python3 -c 'import sys, xml.etree.ElementTree as ET; print(ET.parse(sys.argv[1]).getroot().findtext("Serial"))' "$1"; }
check "each release raises the history's serial: 1, then 2" \
  test "$(serial_of "$www/good/VelmoraVersion.xml") $(serial_of "$work/later/VelmoraVersion.xml")" = "1 2"
cp -r "$work/later" "$www/later"
# A package without the release key built in is released only when that is asked for.
mkdir -p "$work/keyless-packages"
stand_in_deb "$work/keyless-packages/velmora_${beta}_amd64.deb" "$beta" 1000 "no key in here"
VELMORA_RELEASE_KEY_FILE="$work/release.key" bash "$root/scripts/release.sh" --type Beta \
  --packages "$work/keyless-packages" "$beta" "$work/keyless" >/dev/null 2>"$work/err"
check "a package without the release key is not released" test ! -e "$work/keyless/VelmoraVersion.xml"
check "... and release.sh says why" grep -q "does not have this release key built in" "$work/err"
VELMORA_RELEASE_KEY_FILE="$work/release.key" bash "$root/scripts/release.sh" --type Beta --unsigned \
  --packages "$work/keyless-packages" "$beta" "$work/keyless" >/dev/null 2>"$work/err"
check "... unless --unsigned is given" "$sign_tool" verify "$public_key" "$work/keyless/VelmoraVersion.xml"
VELMORA_RELEASE_PUBLIC_KEY="" bash "$root/scripts/package.sh" "$beta" "$work/unbuilt" >/dev/null 2>"$work/err"
package_status=$?
check "package.sh without a release key ends with status 2 (got $package_status)" test "$package_status" -eq 2
check "... builds nothing" test ! -e "$work/unbuilt"
check "... and says why" grep -q "no release key: set VELMORA_RELEASE_PUBLIC_KEY" "$work/err"

cp -r "$www/unsigned" "$work/unsigned-copy"
VELMORA_RELEASE_KEY_FILE="$work/release.key" bash "$root/scripts/release.sh" --type Beta \
  --packages "$work/beta-packages" "$beta" "$work/unsigned-copy" >/dev/null 2>"$work/err"
check "an unsigned history in the folder is not extended and signed" \
  cmp -s "$work/unsigned-copy/VelmoraVersion.xml" "$www/unsigned/VelmoraVersion.xml"
check "... and release.sh says why" grep -q "is not signed by this release key" "$work/err"

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$www" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port="$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9]*\).*/\1/p' "$work/server.log")"
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || { echo "the HTTP server did not start"; cat "$work/server.log"; exit 1; }

export VELMORA_RELEASE_PUBLIC_KEY="$public_key"
# The check remembers the newest history it has seen in the settings folder: this run's own.
export XDG_CONFIG_HOME="$work/config"
run() { # run FOLDER: update-check --download into a fresh folder; sets status, out, err, dir
  dir="$work/download-$1"
  mkdir -p "$dir"
  VELMORA_UPDATE_URL="http://127.0.0.1:$port/$1/" timeout 60 "$cli" update-check --download "$dir" \
    >"$work/out" 2>"$work/err"
  status=$?
  out="$(cat "$work/out")"
  err="$(cat "$work/err")"
}
offered() { python3 -c 'import json,sys; print(json.load(sys.stdin)["offered"]["version"])' <<<"$out"; }

run good
check "the good release is offered and saved (status $status: $err)" test "$status" -eq 0
check "it offers $next" test "$(offered)" = "$next"
check "the saved file is the package, byte for byte in size and SHA-256" \
  test "$(stat -c %s "$dir/VelmoraLast.deb") $(sha256sum <"$dir/VelmoraLast.deb")" = \
  "$(stat -c %s "$deb") $(sha256sum <"$deb")"
check "DIR holds the package alone" test "$(ls -A "$dir")" = VelmoraLast.deb

run changed_package
check "a package changed after the history was written: status 5 (got $status)" test "$status" -eq 5
check "... and nothing is left in DIR" empty_folder "$dir"

for folder in changed_history other_key unsigned; do
  run "$folder"
  check "$folder: the check could not be made, status 4 (got $status: $err)" test "$status" -eq 4
  check "$folder: nothing offered" test -z "$out"
  check "$folder: nothing downloaded" empty_folder "$dir"
done

started=$(date +%s)
run huge
check "a 64 GiB history is refused (status $status: $err)" test "$status" -eq 4
check "... as larger than the cap" grep -q "is larger than 1048576 bytes" <<<"$err"
check "... without reading it whole ($(($(date +%s) - started)) s)" test $(($(date +%s) - started)) -lt 15
check "... and nothing downloaded" empty_folder "$dir"

# Once the later history has been seen, the good one, still validly signed, is an older one replayed.
run later
check "the later history is taken (status $status: $err)" test "$status" -eq 0
run good
check "then the earlier one is refused: status 4 (got $status: $err)" test "$status" -eq 4
check "... nothing offered" test -z "$out"
check "... because it is older" grep -q "is an older version history (serial 1) than one already seen (serial 2)" <<<"$err"

((failures == 0)) || { echo "$failures checks failed"; exit 1; }
echo "all checks passed"
