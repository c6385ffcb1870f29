#!/usr/bin/env bash
# Makes a release folder: the packages of VERSION and the signed version history the update check reads.
#
#   bash scripts/release.sh [--type Production|Beta] [--packages DIR] [--unsigned] VERSION FOLDER
#
# Builds both packages with scripts/package.sh VERSION FOLDER (or, with --packages, copies the ones
# already built for VERSION from DIR: its .deb and .exe whose names hold VERSION exactly, not as the start
# of a longer one: 1.2.0.1 takes velmora_1.2.0.1_amd64.deb but not velmora_1.2.0.10_amd64.deb), adds them to
# FOLDER/VelmoraVersion.xml (earlier releases in it are kept; the same version, type and system again is
# replaced) with their size, SHA-256, system and the release notes of the version's CHANGELOG.md
# section, and writes its signature FOLDER/VelmoraVersion.xml.sig.
#
# The packages it builds have the release key's public key built in. A .deb taken from --packages must
# hold that same key, or nothing is released: a dashboard without it would never trust a later history.
# --unsigned builds, or takes, packages without it (scripts/package.sh --unsigned).
#
# The release key (the secret key file of `velmora-sign keygen`) comes from the environment:
#   VELMORA_RELEASE_KEY_FILE  the file's path, or
#   VELMORA_RELEASE_KEY       its content (base64), for a CI secret; it is handed over on standard input.
# An existing history in FOLDER is kept only when its signature verifies under that key.
# VELMORA_SIGN names the velmora-sign program; by default the release build's, built when missing.
# VELMORA_CHANGELOG names another changelog than the project's CHANGELOG.md.
set -euo pipefail

usage() {
  echo "usage: bash scripts/release.sh [--type Production|Beta] [--packages DIR] [--unsigned] VERSION FOLDER" >&2
  exit 2
}
fail() {
  echo "release: $*" >&2
  exit 1
}

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
type=Production
packages_from=""
unsigned=()
while (($#)); do
  case "$1" in
    --unsigned) unsigned=(--unsigned); shift ;;
    --type) (($# >= 2)) || usage; type="$2"; shift 2 ;;
    --packages) (($# >= 2)) || usage; packages_from="$2"; shift 2 ;;
    --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) usage ;;
    *) break ;;
  esac
done
(($# == 2)) || usage
version="$1"
folder="$2"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "VERSION must be four numbers, as 1.2.0.0: $version"
[[ "$type" == Production || "$type" == Beta ]] || fail "--type is Production or Beta: $type"

# The key first: nothing is built or written for a release that could not be signed.
key_file="${VELMORA_RELEASE_KEY_FILE:-}"
if [[ -z "$key_file" && -z "${VELMORA_RELEASE_KEY:-}" ]]; then
  fail "no release key: set VELMORA_RELEASE_KEY_FILE (a velmora-sign keygen file) or VELMORA_RELEASE_KEY"
fi
[[ -z "$key_file" || -r "$key_file" ]] || fail "cannot read the release key file $key_file"
sign_tool="${VELMORA_SIGN:-$root/build/release/tools/velmora-sign}"
if [[ ! -x "$sign_tool" ]]; then
  [[ -z "${VELMORA_SIGN:-}" ]] || fail "VELMORA_SIGN is not a program: $sign_tool"
  (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target velmora-sign >/dev/null)
fi
sign() { # sign|public-key ARGS...: the key goes from the environment to velmora-sign, never on a command line
  local command="$1"
  shift
  if [[ -n "$key_file" ]]; then
    "$sign_tool" "$command" "$key_file" "$@"
  else
    printf '%s\n' "$VELMORA_RELEASE_KEY" | "$sign_tool" "$command" - "$@"
  fi
}
public_key="$(sign public-key)" || fail "the release key cannot be read"

mkdir -p "$folder"
folder="$(cd "$folder" && pwd)"
history="$folder/VelmoraVersion.xml"
if [[ -e "$history" ]] && ! "$sign_tool" verify "$public_key" "$history"; then
  fail "$history is not signed by this release key; refusing to sign what it holds as ours"
fi

# The .deb and .exe files of DIR whose names hold VERSION as a whole: neither a digit nor a dot before it,
# nor a digit or a dot and a digit after it.
packages_of() { # packages_of DIR EXTENSION
  local file name pattern="^(.*[^0-9.])?${version//./\\.}([^0-9.].*|\\.[^0-9].*)?\\.$2\$"
  for file in "$1"/*."$2"; do
    name="$(basename -- "$file")"
    if [[ -f "$file" && "$name" =~ $pattern ]]; then
      printf '%s\n' "$file"
    fi
  done
}

if [[ -n "$packages_from" ]]; then
  # Only the .deb has an update check: its programs hold the key as text, which the uncompressed tar of
  # its files shows.
  if ((${#unsigned[@]} == 0)); then
    while IFS= read -r file; do
      { dpkg-deb --fsys-tarfile "$file" 2>/dev/null || true; } | grep -aqF -- "$public_key" ||
        fail "$file does not have this release key built in (scripts/package.sh builds it in from VELMORA_RELEASE_PUBLIC_KEY); give --unsigned to release it anyway"
    done < <(packages_of "$packages_from" deb)
  fi
  while IFS= read -r file; do
    cp -f -- "$file" "$folder/"
  done < <(packages_of "$packages_from" deb; packages_of "$packages_from" exe)
else
  [[ -f "$root/scripts/package.sh" ]] || fail "scripts/package.sh is missing: build the packages and use --packages DIR"
  VELMORA_RELEASE_PUBLIC_KEY="$public_key" bash "$root/scripts/package.sh" "${unsigned[@]}" "$version" "$folder"
fi

mapfile -t debs < <(packages_of "$folder" deb)
mapfile -t exes < <(packages_of "$folder" exe)
((${#debs[@]} <= 1 && ${#exes[@]} <= 1)) || fail "more than one package of a kind for $version in $folder"
((${#debs[@]} + ${#exes[@]} >= 1)) || fail "no package for $version in $folder"

python3 "$root/scripts/release_history.py" --history "$history" --output "$history.new" \
  --changelog "${VELMORA_CHANGELOG:-$root/CHANGELOG.md}" --version "$version" --type "$type" "${debs[@]}" "${exes[@]}"
sign sign "$history.new"
"$sign_tool" verify "$public_key" "$history.new" || fail "the new history does not verify"
mv -f -- "$history.new" "$history"
mv -f -- "$history.new.sig" "$history.sig"

echo "release $version ($type) in $folder:"
for file in "${debs[@]}" "${exes[@]}"; do
  echo "  $(basename "$file") $(stat -c %s "$file") bytes sha256 $(sha256sum "$file" | cut -d' ' -f1)"
done
echo "  VelmoraVersion.xml, signed by $public_key"
