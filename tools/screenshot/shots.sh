#!/usr/bin/env bash
# Screenshots of the window at several device pixel ratios, under Xvfb:
#   tools/screenshot/shots.sh <out-folder> [scale...]     (default scales: 1 1.5 2)
# writes <out-folder>/window-<scale>x.png, the window only, in device pixels.
# LUGATIM_BIN (default build/release/bin) and LUGATIM_DB_DIR (default the
# build's imported tables, <bin>/../dictionaries, where they are) are
# honoured; WORD (default "dictionary") is typed into the search box first.
# Only the window of the program's caption is taken: without tables the
# program shows the damaged-database message instead.
set -euo pipefail
out=$(realpath -m "$1")
shift
scales=("${@:-1 1.5 2}")
[ $# -eq 0 ] && scales=(1 1.5 2)
bin=$(realpath "${LUGATIM_BIN:-build/release/bin}")
if [ -z "${LUGATIM_DB_DIR:-}" ] && [ -f "$bin/../dictionaries/Sozluk1.DB" ]; then
  export LUGATIM_DB_DIR=$bin/../dictionaries
fi
word=${WORD:-dictionary}
mkdir -p "$out"
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1800x1500x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
for scale in "${scales[@]}"; do
  export XDG_RUNTIME_DIR=$work/run-$scale
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  QT_SCALE_FACTOR=$scale "$bin/lugatim" >"$work/log-$scale" 2>&1 &
  app=$!
  win=""
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "$app" --name '^Sözlük' 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "no window at ${scale}x" >&2; cat "$work/log-$scale" >&2; exit 1; }
  sleep 1
  xdotool windowfocus "$win" 2>/dev/null || true
  xdotool type --delay 30 "$word" 2>/dev/null
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  "$bin/lugatim-screenshot" "$out/window-${scale}x.png" "$X" "$Y" "$WIDTH" "$HEIGHT"
  echo "$out/window-${scale}x.png (${WIDTH}x${HEIGHT} at $X,$Y)"
  kill "$app"
  wait "$app" 2>/dev/null || true
done
