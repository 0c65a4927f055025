#!/usr/bin/env bash
# Starts nginx on a free loopback port over a temporary folder holding a
# 1 GiB and a 10 KB file, then measures, in the same run:
#   - one GET of the 1 GiB file: FetchToStream beside `curl -o /dev/null`,
#     and into a file (through the Banner folder's writer) beside `curl -o FILE`;
#   - 10,000 sequential GETs of the 10 KB file over one connection: the
#     client beside curl fetching the same URL list in one invocation.
# Usage: bench/http/run.sh [path/to/lugatim_http_bench]
# Needs nginx (nginx-light), curl and python3. The temporary folder (and the
# 1 GiB file in it) is removed on exit.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/nginx.sh
. "$here/../support/nginx.sh"
bench=${1:-$here/../../build/http/bin/lugatim_http_bench}
rounds=${ROUNDS:-3}
requests=${REQUESTS:-10000}
[ -x "$bench" ] || { echo "no harness at $bench (build with -DLUGATIM_BENCH=ON)" >&2; exit 1; }

make_bench_work http
head -c 1073741824 /dev/urandom > "$work/www/big.bin"
head -c 10240 /dev/urandom > "$work/www/10k.bin"
start_loopback_nginx "$work" /10k.bin

big="http://127.0.0.1:$port/big.bin"
small="http://127.0.0.1:$port/10k.bin"
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p"; }
best() { sort -g | tail -1; }

cat "$work/www/big.bin" > /dev/null  # into the page cache for both
echo "== 1 GiB GET, $rounds rounds each, best round (bytes/s)"
curl_rates=() ours_rates=() devnull_rates=() wide_rates=() curl_file_rates=() file_rates=()
mkdir -p "$work/files"
for _ in $(seq "$rounds"); do
  curl_rates+=("$(curl -s -o /dev/null -w '%{speed_download}' "$big")")
  # Into a file of the same folder, removed after each round.
  curl_file_rates+=("$(curl -s -o "$work/files/curl.bin" -w '%{speed_download}' "$big")")
  rm -f "$work/files/curl.bin"
  file_rates+=("$("$bench" throughput "$big" --file="$work/files" | field bytes_per_second)")
  ours_rates+=("$("$bench" throughput "$big" | field bytes_per_second)")
  devnull_rates+=("$("$bench" throughput "$big" --devnull | field bytes_per_second)")
  wide_rates+=("$("$bench" throughput "$big" --recv-buffer=131072 | field bytes_per_second)")
done
curl_best=$(printf '%s\n' "${curl_rates[@]}" | best)
ours_best=$(printf '%s\n' "${ours_rates[@]}" | best)
devnull_best=$(printf '%s\n' "${devnull_rates[@]}" | best)
wide_best=$(printf '%s\n' "${wide_rates[@]}" | best)
curl_file_best=$(printf '%s\n' "${curl_file_rates[@]}" | best)
file_best=$(printf '%s\n' "${file_rates[@]}" | best)
echo "curl -o /dev/null                 : rounds ${curl_rates[*]}"
echo "FetchToStream (sink)              : rounds ${ours_rates[*]}"
echo "FetchToStream (/dev/null)         : rounds ${devnull_rates[*]}"
echo "FetchToStream (sink, 128 KiB recv): rounds ${wide_rates[*]}"
echo "curl -o FILE                      : rounds ${curl_file_rates[*]}"
echo "FetchToStream (Banner folder file): rounds ${file_rates[*]}"
awk -v c="$curl_best" -v o="$ours_best" -v d="$devnull_best" -v w="$wide_best" 'BEGIN {
  printf "curl %.2f GB/s; client %.2f GB/s (ratio %.2f); writing /dev/null %.2f GB/s (ratio %.2f); 128 KiB receives %.2f GB/s (ratio %.2f)\n",
         c / 1e9, o / 1e9, o / c, d / 1e9, d / c, w / 1e9, w / c }'
awk -v c="$curl_file_best" -v f="$file_best" 'BEGIN {
  printf "into a file: curl %.2f GB/s; client through the Banner folder writer %.2f GB/s (ratio %.2f)\n",
         c / 1e9, f / 1e9, f / c }'

echo "== $requests sequential GETs of 10 KB"
# With the client's default 1 ms look-ahead after each kept-alive response,
# and with the look-ahead not waiting at all, to show what it costs.
"$bench" keepalive "$small" "$requests" 1
"$bench" keepalive "$small" "$requests" 0
config="$work/curl.cfg"
for _ in $(seq "$requests"); do printf 'url = "%s"\noutput = "/dev/null"\n' "$small"; done > "$config"
start=$(date +%s.%N)
connects=$(curl -s -K "$config" -w '%{num_connects}\n' | awk '{ n += $1 } END { print n }')
end=$(date +%s.%N)
awk -v n="$requests" -v c="$connects" -v s="$start" -v e="$end" 'BEGIN {
  printf "curl: requests=%d connections=%d seconds=%.4f requests_per_second=%.0f\n", n, c, e - s, n / (e - s) }'
