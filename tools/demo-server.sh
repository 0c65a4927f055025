#!/usr/bin/env bash
# A demo update server for Lugatim's banner channel: nginx (Debian's
# nginx-light) on a loopback port serving "/versiyon.ver", "/liste.lst" and
# five banners drawn by the artwork tool (an animated GIF, a JPEG, a bitmap,
# a WMF and an EMF metafile).
#
#   tools/demo-server.sh [port]     start it (default port 8089) and print the
#                                   LUGATIM_UPDATE_SERVER value to use
#   tools/demo-server.sh --stop     stop it
#
# The server's files live in ${LUGATIM_DEMO_DIR:-/tmp/lugatim-demo-server}.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${LUGATIM_DEMO_DIR:-/tmp/lugatim-demo-server}

if [ "${1:-}" = "--stop" ]; then
  if [ -f "$root/nginx.pid" ]; then
    kill "$(cat "$root/nginx.pid")" && echo "demo update server stopped"
  else
    echo "no demo update server is running"
  fi
  exit 0
fi

port=${1:-8089}
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "nginx is missing: apt-get install nginx-light" >&2; exit 1; }
artwork=${LUGATIM_ARTWORK:-}
for candidate in "$here/build/release/bin/lugatim_artwork" "$here/build/asan/bin/lugatim_artwork"; do
  [ -z "$artwork" ] && [ -x "$candidate" ] && artwork=$candidate
done
[ -n "$artwork" ] || { echo "build first (./setup.sh run): lugatim_artwork not found" >&2; exit 1; }

[ -f "$root/nginx.pid" ] && kill "$(cat "$root/nginx.pid")" 2>/dev/null || true
mkdir -p "$root/www/banners" "$root/logs"
QT_QPA_PLATFORM=offscreen "$artwork" --demo-banners "$root/www/banners" >/dev/null

base="http://127.0.0.1:$port/banners"
# The version grows with every start, so a running Lugatim fetches again.
version=$(( $(date +%s) % 1000000 ))
printf '%d\r\n' "$version" > "$root/www/versiyon.ver"
{
  printf '%s/kelime.gif,https://lugatim.org/kelime,1,6,0,0\r\n' "$base"
  printf '%s/sozluk.jpg,https://lugatim.org/pro,2,5,0,0\r\n' "$base"
  printf '%s/kitap.bmp,https://lugatim.org/kitap,3,5,0,0\r\n' "$base"
  printf '%s/soz.wmf,https://lugatim.org/soz,4,5,0,0\r\n' "$base"
  printf '%s/atolye.emf,https://lugatim.org/atolye,5,5,0,0\r\n' "$base"
} > "$root/www/liste.lst"

cat > "$root/nginx.conf" <<CONF
worker_processes 1;
pid $root/nginx.pid;
error_log $root/logs/error.log;
events { worker_connections 64; }
http {
  access_log $root/logs/access.log;
  types { image/gif gif; image/jpeg jpg; image/bmp bmp; image/wmf wmf; image/emf emf; text/plain ver lst; }
  server {
    listen 127.0.0.1:$port;
    root $root/www;
  }
}
CONF
"$nginx" -p "$root" -c "$root/nginx.conf"
echo "demo update server on 127.0.0.1:$port (version $version), files in $root/www"
echo "stop it with: $0 --stop"
echo
echo "LUGATIM_UPDATE_SERVER=127.0.0.1:$port"
