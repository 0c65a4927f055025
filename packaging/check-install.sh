#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that an installed copy
# has everything it needs: program, importer, desktop entry, icon, tables,
# and that the installed importer writes where the installed program reads.
#   check-install.sh <build-dir>
set -euo pipefail
build=$1
prefix=$(mktemp -d)/usr
trap 'rm -rf "$(dirname "$prefix")"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/lugatim bin/lugatim-import libexec/lugatim/lugatim-metafile bin/lugatim-lookup \
         share/applications/lugatim.desktop share/icons/hicolor/64x64/apps/lugatim.png \
         share/icons/hicolor/16x16/apps/lugatim.png share/icons/hicolor/256x256/apps/lugatim.png \
         share/man/man1/lugatim.1.gz share/man/man1/lugatim-lookup.1.gz \
         share/man/man1/lugatim-import.1.gz share/doc/lugatim/copyright \
         share/doc/lugatim/changelog.gz share/metainfo/org.lugatim.lugatim.metainfo.xml; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q '^Exec=lugatim$' "$prefix/share/applications/lugatim.desktop"
grep -q '^Icon=lugatim$' "$prefix/share/applications/lugatim.desktop"
grep -q '^Exec=lugatim --selection$' "$prefix/share/applications/lugatim.desktop"
grep -q '^Name\[tr\]=Seçili metni ara$' "$prefix/share/applications/lugatim.desktop"
zcat "$prefix/share/man/man1/lugatim-lookup.1.gz" | grep -q '^lugatim\\-lookup \\- '
# Every program in bin has its manual page; the metainfo names them all.
for b in "$prefix"/bin/*; do
  [ -e "$prefix/share/man/man1/$(basename "$b").1.gz" ] || { echo "no manual page for $b"; exit 1; }
  grep -q "<binary>$(basename "$b")</binary>" "$prefix/share/metainfo/org.lugatim.lugatim.metainfo.xml" ||
    { echo "the metainfo does not provide $(basename "$b")"; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/lugatim.desktop"
fi
if [ -f /usr/share/dictd/freedict-eng-tur.index ]; then
  for t in Sozluk1.DB SozlukE1.DB Lugatim.morph; do
    [ -s "$prefix/share/lugatim/data/$t" ] || { echo "missing table $t"; exit 1; }
  done
fi
# The installed importer's default output is the installed data folder.
mkdir -p "$prefix/share/lugatim/data"
if [ -f /usr/share/dictd/freedict-eng-tur.index ]; then
  rm "$prefix/share/lugatim/data/Sozluk1.DB"
  env -u LUGATIM_DB_DIR "$prefix/bin/lugatim-import" defaults >/dev/null
  [ -s "$prefix/share/lugatim/data/Sozluk1.DB" ] || { echo "defaults did not land in share/"; exit 1; }
fi
printf 'kitap\tisim\t\tbook\n' > "$prefix/words.tsv"
env -u LUGATIM_DB_DIR "$prefix/bin/lugatim-import" tsv "$prefix/words.tsv" "$prefix/share/lugatim/data/Mine.DB" >/dev/null
[ -s "$prefix/share/lugatim/data/Mine.DB" ]
# The metafile helper is installed among the helpers, not the commands, and starts there.
[ ! -e "$prefix/bin/lugatim-metafile" ] || { echo "the metafile helper is in bin/"; exit 1; }
answer=$("$prefix/libexec/lugatim/lugatim-metafile" emf 256 3 </dev/null 3>&1 >/dev/null 2>&1)
[ "$answer" = "EEMF picture is not valid (no metafile header)" ] ||
  { echo "the installed metafile helper does not answer: $answer"; exit 1; }
# The installed lookup tool reads the installed tables.
cp "$prefix/share/lugatim/data/Mine.DB" "$prefix/share/lugatim/data/Sozluk1.DB"
env -u LUGATIM_DB_DIR "$prefix/bin/lugatim-lookup" --en --exact kitap | grep -q '^      book$'
echo "install layout ok"
