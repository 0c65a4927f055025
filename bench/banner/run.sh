#!/usr/bin/env bash
# Starts nginx on a free loopback port over a temporary folder holding 50
# banner files, then measures, in the same run:
#   - the download pass over an ad list naming the 50 banners, beside curl
#     fetching the same 50 URLs into files in one invocation (best of ROUNDS);
#   - the processor time of a rotation of an animated GIF banner shown for
#     IDLE_SECONDS (60 by default), and of a wait that polls the clock.
# Usage: bench/banner/run.sh [path/to/lugatim_banner_bench]
# Needs nginx (nginx-light), curl and python3.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/nginx.sh
. "$here/../support/nginx.sh"
bench=${1:-$here/../../build/banner/bin/lugatim_banner_bench}
rounds=${ROUNDS:-5}
count=${COUNT:-50}
idle_seconds=${IDLE_SECONDS:-60}
[ -x "$bench" ] || { echo "no harness at $bench (build with -DLUGATIM_BENCH=ON)" >&2; exit 1; }

make_bench_work banner
# Banner-sized files: 8 KB to 57 KB.
for i in $(seq 0 $((count - 1))); do
  head -c $((8192 + (i % 50) * 1000)) /dev/urandom > "$work/www/b$i.gif"
done
start_loopback_nginx "$work" /b0.gif
base="http://127.0.0.1:$port"

echo "== 2,000 new banner names stored one after another"
"$bench" names 2000 listing
"$bench" names 2000 index

echo "== download pass of $count banners, best of $rounds"
ours=$("$bench" download "$base" "$count" "$rounds")
echo "BannerIndirExecute: $ours"
ours_s=$(echo "$ours" | sed -n 's/.*best_seconds=\([^ ]*\).*/\1/p')
config="$work/curl.cfg"
curl_best=
for _ in $(seq "$rounds"); do
  out="$work/curl-out"
  rm -rf "$out" && mkdir -p "$out"
  for i in $(seq 0 $((count - 1))); do
    printf 'url = "%s/b%d.gif"\noutput = "%s/b%d.gif"\n' "$base" "$i" "$out" "$i"
  done > "$config"
  start=$(date +%s.%N)
  curl -s -K "$config"
  end=$(date +%s.%N)
  t=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')
  curl_best=$(awk -v a="${curl_best:-1e9}" -v b="$t" 'BEGIN { print (b < a) ? b : a }')
done
echo "curl -K (one invocation): best_seconds=$curl_best"
awk -v o="$ours_s" -v c="$curl_best" 'BEGIN { printf "ratio pass/curl = %.2f (limit 1.5)\n", o / c }'

echo "== processor time while an animated banner rotates for $idle_seconds s"
QT_QPA_PLATFORM=offscreen "$bench" idle "$idle_seconds"
echo "== the same share for a wait that polls the clock (5 s)"
"$bench" spin 5
