#!/bin/sh
# Runs the libFuzzer targets one after the other, each for a given time, on
# one core at low priority, then minimises what it found.
#
#   tests/fuzz/run_fuzzers.sh [-u] <fuzz build dir> <seconds> [target...]
#
# Targets: inttext banner picture skin http wmf emf (default: all of them). The
# build dir is one configured with clang and -DLUGATIM_FUZZ=ON, its fuzzers built
# (ninja -C <dir> fuzzers). Each target works in <dir>/fuzz-work/<target>/:
# corpus/ (the checked-in corpus plus what the runs add), merged/ (corpus/
# minimised with -merge=1, by edges alone when that leaves more than 300
# files), artifacts/ (crashing, leaking or slow inputs) and
# fuzz-0.log (libFuzzer's output; its last lines give runs, coverage and
# features). With -u the checked-in corpus is replaced by merged/.
# LUGATIM_FUZZ_ARGS adds libFuzzer options, e.g. "-fork=1 -ignore_crashes=1
# -ignore_timeouts=1 -ignore_ooms=1" to fuzz on past the decoder libraries'
# own crashes and hangs (the metafile targets; the output then goes to
# fuzz.log).
set -eu

update=0
if [ "${1:-}" = "-u" ]; then
  update=1
  shift
fi
if [ $# -lt 2 ]; then
  sed -n '2,14p' "$0" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
shift 2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
targets=${*:-inttext banner picture skin http wmf emf}
export QT_QPA_PLATFORM=offscreen

for target in $targets; do
  fuzzer=$build/bin/${target}_fuzzer
  checked_in=$source_dir/tests/fuzz/$target/corpus
  if [ ! -x "$fuzzer" ]; then
    echo "$fuzzer is not built" >&2
    exit 1
  fi
  work=$build/fuzz-work/$target
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -n "$checked_in"/* "$work/corpus/" 2>/dev/null || true
  echo "== $target: $seconds s"
  if [ -n "${LUGATIM_FUZZ_ARGS:-}" ]; then
    # shellcheck disable=SC2086
    (cd "$work" && nice -n 10 "$fuzzer" $LUGATIM_FUZZ_ARGS -max_total_time="$seconds" \
       -timeout=10 -use_value_profile=1 -print_final_stats=1 \
       -artifact_prefix="$work/artifacts/" corpus >"$work/fuzz.log" 2>&1) || true
    grep -E '^(#[0-9]+|stat::|==|SUMMARY)' "$work/fuzz.log" | tail -n 8 || true
  else
    (cd "$work" && nice -n 10 "$fuzzer" -workers=1 -jobs=1 -max_total_time="$seconds" \
       -timeout=10 -use_value_profile=1 -print_final_stats=1 \
       -artifact_prefix="$work/artifacts/" corpus) || true
    tail -n 20 "$work/fuzz-0.log" | grep -E '^(#[0-9]+|stat::|==|SUMMARY)' || true
  fi
  rm -rf "$work/merged"
  mkdir -p "$work/merged"
  nice -n 10 "$fuzzer" -merge=1 -timeout=10 "$work/merged" "$work/corpus" >"$work/merge.log" 2>&1
  # More than a few hundred files: keep only what adds an edge, counting no
  # hit counts.
  if [ "$(ls "$work/merged" | wc -l)" -gt 300 ]; then
    rm -rf "$work/merged"
    mkdir -p "$work/merged"
    nice -n 10 "$fuzzer" -merge=1 -use_counters=0 -timeout=10 "$work/merged" "$work/corpus" \
      >"$work/merge.log" 2>&1
  fi
  echo "merged corpus: $(ls "$work/merged" | wc -l) files, $(du -sk "$work/merged" | cut -f1) KiB"
  if [ "$(ls "$work/artifacts" | wc -l)" -ne 0 ]; then
    echo "artifacts:"
    ls -l "$work/artifacts"
  fi
  if [ $update -eq 1 ]; then
    rm -f "$checked_in"/*
    cp "$work/merged"/* "$checked_in/"
  fi
done
