# Sourced by the benchmark scripts: nginx (Debian's nginx-light) serving a
# folder on a free loopback port, as the peer the client is measured against.
#
#   make_bench_work <name>                  a temporary folder with www/ in it,
#                                           in $work, removed (and nginx
#                                           stopped) when the script exits;
#   start_loopback_nginx <work dir> <probe path>
#
# start_loopback_nginx serves <work dir>/www, keeps its files in <work dir>,
# and returns once the probe path answers. Sets nginx_pid and port.
# Needs nginx, curl and python3.

nginx_pid=
bench_cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2> /dev/null && wait "$nginx_pid" 2> /dev/null
  rm -rf "$work"
}

make_bench_work() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/lugatim-$1-bench-XXXXXX")
  trap bench_cleanup EXIT
  mkdir -p "$work/www"
}

start_loopback_nginx() {
  local work=$1 probe=$2
  local nginx
  nginx=$(command -v nginx || echo /usr/sbin/nginx)
  [ -x "$nginx" ] || { echo "nginx not found (apt-get install nginx-light)" >&2; return 1; }
  command -v curl > /dev/null || { echo "curl not found (apt-get install curl)" >&2; return 1; }
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat > "$work/nginx.conf" << CONF
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  keepalive_requests 1000000;
  client_body_temp_path $work/body;
  proxy_temp_path $work/proxy;
  fastcgi_temp_path $work/fastcgi;
  uwsgi_temp_path $work/uwsgi;
  scgi_temp_path $work/scgi;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
  }
}
CONF
  "$nginx" -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
  nginx_pid=$!
  for _ in $(seq 200); do
    curl -s -o /dev/null "http://127.0.0.1:$port$probe" && return 0
    sleep 0.05
  done
  echo "nginx did not answer on port $port" >&2
  return 1
}
