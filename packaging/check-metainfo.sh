#!/usr/bin/env bash
# The AppStream metainfo is valid, with no issue even at the pedantic level,
# and says what the desktop entry says: the same name, the summary as the
# entry's comment in English and Turkish, the entry as its launchable, the
# entry's categories and keywords.
#   check-metainfo.sh <metainfo.xml> <desktop entry>
set -euo pipefail
metainfo=$1
desktop=$2

report=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) ||
  { echo "$report"; exit 1; }
if grep -qE '^[EWIP]: ' <<<"$report"; then
  echo "$report"
  exit 1
fi

entry() {  # the desktop entry's value of a key in [Desktop Entry]
  sed -n '/^\[Desktop Entry\]/,/^\[/p' "$desktop" | sed -n "s/^$1=//p" | head -n 1
}
tag() {  # xmllint-free: the text of the first <tag> with exactly these attributes
  grep -o "<$1$2>[^<]*</$1>" "$metainfo" | head -n 1 | sed "s|<$1$2>\(.*\)</$1>|\1|"
}
fail=0
same() {
  if [ "$2" != "$3" ]; then
    echo "$1: the metainfo says '$2', the desktop entry '$3'"
    fail=1
  fi
}
same name "$(tag name '')" "$(entry Name)"
same summary "$(tag summary '')" "$(entry Comment)"
same "Turkish summary" "$(tag summary ' xml:lang="tr"')" "$(entry 'Comment\[tr\]')"
same launchable "$(tag launchable ' type="desktop-id"')" "$(basename "$desktop")"
same icon "$(entry Icon)" lugatim
categories=";$(entry Categories)"
for c in $(grep -o '<category>[^<]*</category>' "$metainfo" | sed 's|</\?category>||g'); do
  [[ $categories == *";$c;"* ]] || { echo "category $c is not in the desktop entry"; fail=1; }
done
keywords=$(grep -o '<keyword[^>]*>[^<]*</keyword>' "$metainfo" | sed 's|<[^>]*>||g' | sort | tr '\n' ';')
same keywords "$keywords" "$(entry Keywords | tr ';' '\n' | sed '/^$/d' | sort | tr '\n' ';')"
[ "$fail" -eq 0 ] || exit 1
echo "metainfo ok"
