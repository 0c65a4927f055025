#!/usr/bin/env bash
# Fetches the Turkish morphology data of nlptoolkit (ISC licence) from the
# npm registry into DIR: turkish_dictionary.txt (nlptoolkit-dictionary) and
# turkish_finite_state_machine.xml (nlptoolkit-morphologicalanalysis).
# Each package tarball is checked against its SHA-256 before anything is
# taken from it, and only those two data files are kept: no code of the
# packages is unpacked. Run again, it does nothing when both files are there.
#   tools/fetch-nlptoolkit.sh DIR
set -euo pipefail

dir=${1:?usage: $0 DIR}
dictionary_pkg=nlptoolkit-dictionary@1.0.16
dictionary_sha=0ed8d550a1d8e3e9dda7bf840f5eefd819a9e49709873de492e0e1b3fb3bbb01
morphology_pkg=nlptoolkit-morphologicalanalysis@1.0.20
morphology_sha=169a9825ebbd2d0fe5c85ef223c1067cd8a7de07793d9dafae99053a25b245e1

if [ -s "$dir/turkish_dictionary.txt" ] && [ -s "$dir/turkish_finite_state_machine.xml" ]; then
  exit 0
fi
command -v npm >/dev/null || { echo "$0: npm is not installed" >&2; exit 1; }
mkdir -p "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fetch() {  # fetch <package@version> <sha256> <file in the package>
  local pkg=$1 sha=$2 file=$3 tarball
  tarball=$(cd "$work" && npm pack --silent --ignore-scripts "$pkg" | tail -n1)
  [ -f "$work/$tarball" ] || { echo "$0: npm pack $pkg gave no tarball" >&2; exit 1; }
  echo "$sha  $work/$tarball" | sha256sum --check --quiet - ||
    { echo "$0: $tarball does not have the expected SHA-256" >&2; exit 1; }
  tar -xzf "$work/$tarball" -C "$work" "package/$file"
  mv "$work/package/$file" "$dir/$file.part"
  mv "$dir/$file.part" "$dir/$file"
}

fetch "$dictionary_pkg" "$dictionary_sha" turkish_dictionary.txt
fetch "$morphology_pkg" "$morphology_sha" turkish_finite_state_machine.xml
echo "Turkish morphology data (nlptoolkit, ISC licence) in $dir"
