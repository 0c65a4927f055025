#!/usr/bin/env bash
# Start of the process to its window being visible, under Xvfb, Lugatim side
# by side with GoldenDict (a peer dictionary; Debian package goldendict), and
# the resident memory one second after the window appeared. The floor is an
# empty frameless 480 x 480 Qt window (empty_window_bench); Lugatim and the
# floor run at device pixel ratio 1 and 2 (QT_SCALE_FACTOR), and each
# Lugatim line says how many times the floor of its ratio it took.
#
# Lugatim reads the imported tables of the build (<bin>/../dictionaries, or
# LUGATIM_DB_DIR), and the clock stops when the window of its own caption is
# visible: without tables it would show only the damaged-database message.
#
# Every program starts inside a private session bus, as on a desktop: each Qt
# program asks the bus, when it first meets a control that assistive
# technology could read, whether a screen reader listens. Without a bus
# (BUS=none, the usual case on a bare Xvfb) libdbus first tries to launch
# one, which costs Lugatim some 5 ms before its window shows; the floor pays
# it only after its window is shown.
#
#   bench/app/startup.sh [bin-folder]     (default build/release/bin; RUNS=10, BASELINE, BUS)
set -euo pipefail
if [ "${BUS:-session}" = session ] && [ -z "${LUGATIM_BENCH_IN_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || {
    echo "dbus-run-session is missing (apt-get install dbus-daemon), or run with BUS=none" >&2
    exit 1
  }
  LUGATIM_BENCH_IN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
echo "session bus: ${DBUS_SESSION_BUS_ADDRESS:-none}"
bin=$(realpath "${1:-build/release/bin}")
export LUGATIM_DB_DIR=${LUGATIM_DB_DIR:-$bin/../dictionaries}
for table in Sozluk1.DB SozlukE1.DB; do
  [ -f "$LUGATIM_DB_DIR/$table" ] || {
    echo "no $table in $LUGATIM_DB_DIR (build the default_dictionaries target)" >&2
    exit 1
  }
done
runs=${RUNS:-10}
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

display=:$(( 90 + RANDOM % 50 ))
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break || sleep 0.05; done

# once <label> <caption> <command...>: one timed start, until a window of
# that caption is visible; appends the time and the resident memory to
# $work/<label>.times and .rss.
once() {
  local label=$1 caption=$2
  shift 2
  export HOME=$work/home-$label XDG_RUNTIME_DIR=$work/run-$label-$RANDOM$RANDOM
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  local shown ms pid
  shown=$("$bin/show_time" "$caption" "$@" 2>"$work/$label.log") || {
    echo "$label did not show its window:" >&2
    tail -5 "$work/$label.log" >&2
    return 1
  }
  read -r ms pid <<<"$shown"
  echo "$ms" >>"$work/$label.times"
  sleep 1
  awk '/VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status" >>"$work/$label.rss"
  # Not this shell's child: waited for by polling, so that the next start
  # does not find this one still holding the single-instance lock.
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
}

# report <label> [floor-label]: the median start time, every run, the
# resident memory of the last run, and the ratio to the floor's median.
median_of() { sort -g "$work/$1.times" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
report() {
  local median
  median=$(median_of "$1")
  printf '%-15s median %5.1f ms  (runs: %s)  resident %d MB' "$1" "$median" \
    "$(sort -g "$work/$1.times" | tr '\n' ' ')" "$(tail -n1 "$work/$1.rss")"
  [ -n "${2:-}" ] && awk -v a="$median" -v b="$(median_of "$2")" 'BEGIN { printf "  %.2fx the floor", a / b }'
  echo
}

# measure <label> <command...>: RUNS timed starts, then the report.
measure() {
  local label=$1
  shift
  for _ in $(seq "$runs"); do once "$label" "" "$@" || return 1; done
  report "$label"
}

# The floor and Lugatim at ratios 1 and 2, taken in turns so that the load
# of the machine falls on all of them alike. BASELINE=<bin-folder> adds
# another build of Lugatim (an earlier commit, say) to the turns.
caption='Sözlük (İngilizce - Türkçe)'
labels=()
for ratio in 1 2; do
  labels+=("floor-${ratio}x" "lugatim-${ratio}x")
  [ -n "${BASELINE:-}" ] && labels+=("baseline-${ratio}x")
done
for _ in $(seq "$runs"); do
  for ratio in 1 2; do
    export QT_SCALE_FACTOR=$ratio
    once "floor-${ratio}x" empty "$bin/empty_window_bench"
    once "lugatim-${ratio}x" "$caption" "$bin/lugatim"
    [ -n "${BASELINE:-}" ] && once "baseline-${ratio}x" "$caption" "$(realpath "$BASELINE")/lugatim"
  done
done
unset QT_SCALE_FACTOR
for label in "${labels[@]}"; do
  case $label in
    floor-*) report "$label" ;;
    *) report "$label" "floor-${label##*-}" ;;
  esac
done

if command -v goldendict >/dev/null; then
  # One untimed start writes GoldenDict's first-run configuration.
  runs=1 measure goldendict-1st goldendict >/dev/null || true
  cp -r "$work/home-goldendict-1st" "$work/home-goldendict" 2>/dev/null || true
  measure goldendict goldendict
else
  echo "goldendict is not installed (apt-get install goldendict)"
fi
