#!/usr/bin/env bash
# Start of the process to its window being visible, under Xvfb, Lugatim side
# by side with GoldenDict (a peer dictionary; Debian package goldendict), and
# the resident memory one second after the window appeared.
#
#   bench/app/startup.sh [bin-folder]     (default build/release/bin; RUNS=10)
set -euo pipefail
bin=$(realpath "${1:-build/release/bin}")
runs=${RUNS:-10}
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

display=:$(( 90 + RANDOM % 50 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break || sleep 0.05; done

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# measure <label> <command...>: prints the median start time and memory.
measure() {
  local label=$1
  shift
  local times=() rss=0
  for run in $(seq "$runs"); do
    export HOME=$work/home-$label XDG_RUNTIME_DIR=$work/run-$label-$run
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    local start
    start=$(now_ms)
    "$@" >"$work/$label.log" 2>&1 &
    local pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
      kill -0 "$pid" 2>/dev/null || { echo "$label exited early:" >&2; tail -5 "$work/$label.log" >&2; return 1; }
    done
    times+=($(( $(now_ms) - start )))
    sleep 1
    rss=$(awk '/VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf '%-11s median %4d ms  (runs: %s)  resident %d MB\n' "$label" "$median" "$sorted" "$rss"
}

measure lugatim "$bin/lugatim"
if command -v goldendict >/dev/null; then
  # One untimed start writes GoldenDict's first-run configuration.
  RUNS=1 measure goldendict-1st goldendict >/dev/null || true
  cp -r "$work/home-goldendict-1st" "$work/home-goldendict" 2>/dev/null || true
  measure goldendict goldendict
else
  echo "goldendict is not installed (apt-get install goldendict)"
fi
