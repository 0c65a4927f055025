#!/usr/bin/env bash
# Lugatim under Xvfb inside a private session bus, read by a real AT-SPI
# client (atspi_check.py).
#   run-atspi.sh <lugatim> <lugatim-import>
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${LUGATIM_ATSPI_INNER:-}" ]; then
  exec env LUGATIM_ATSPI_INNER=1 dbus-run-session -- "$0" "$@"
fi
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
tables=$work/data
mkdir "$tables"
printf 'apple\tisim\t\telma\n' >"$work/en.tsv"
printf 'elma\tisim\t\tapple\n' >"$work/tr.tsv"
"$2" tsv "$work/en.tsv" "$tables/Sozluk1.DB" >/dev/null
"$2" tsv --lang tr "$work/tr.tsv" "$tables/SozlukE1.DB" >/dev/null
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x650x24 -nolisten tcp -noreset &
xvfb=$!
trap 'kill "${app:-}" 2>/dev/null; kill "$xvfb"; wait; rm -rf "$work"' EXIT
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
mkdir -m 700 "$work/run"
XDG_RUNTIME_DIR=$work/run LUGATIM_DB_DIR=$tables QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
app=$!
# Debian's own interpreter, which the python3-pyatspi package serves.
/usr/bin/python3 "$here/atspi_check.py" "$app"
