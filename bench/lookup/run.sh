#!/usr/bin/env bash
# Looking a word up from outside the window, in one run:
#  1. `lugatim WORD` started while a copy is open, to the word shown in that
#     copy's window (Xvfb, real processes; the copy's trace line, written once
#     the search box holds the word and every view has followed) — median of RUNS;
#  2. `lugatim-lookup WORD` against `dict` asking a dictd on loopback that
#     serves the same FreeDict dictionaries (its own configuration in a
#     temporary folder), the same words alternately — median per call (the
#     default tables carry the importer's folding indexes).
#
#   bench/lookup/run.sh [bin-folder]   (default build/release/bin; RUNS=20)
# BASELINE=DIR adds the lugatim-lookup of another build (DIR/lugatim-lookup)
# beside this one; WINDOW=0 leaves part 1 out. Part 2 runs twice: headwords,
# then inflected words (kitaplarımızdan, books, …), which only an analysis
# leads to their entry.
# Needs Xvfb, xdotool, dictd, dict, python3 and the default dictionaries
# (build/release/dictionaries, else $LUGATIM_DB_DIR).
set -euo pipefail
bin=$(realpath "${1:-build/release/bin}")
runs=${RUNS:-20}
tables=${LUGATIM_DB_DIR:-$(realpath "$bin/../dictionaries")}
dictd_dir=${LUGATIM_DICTD_DIR:-/usr/share/dictd}
for tool in Xvfb xdotool dictd dict python3; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
[ -f "$tables/Sozluk1.DB" ] || { echo "no tables in $tables (build default_dictionaries)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/lugatim-lookup-bench-XXXXXX")
# dictd started by root gives up its rights: its configuration must stay readable.
chmod 755 "$work"
xvfb= dictd_pid=
cleanup() {
  if [ -n "$dictd_pid" ]; then kill "$dictd_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

display=:$(( 150 + RANDOM % 50 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break || sleep 0.05; done

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/dictd.conf" <<CONF
global {
  listen_to 127.0.0.1
  port $port
  pid_file $work/dictd.pid
}
database fd-eng-tur {
  data  "$dictd_dir/freedict-eng-tur.dict.dz"
  index "$dictd_dir/freedict-eng-tur.index"
}
database fd-tur-eng {
  data  "$dictd_dir/freedict-tur-eng.dict.dz"
  index "$dictd_dir/freedict-tur-eng.index"
}
CONF
dictd --config "$work/dictd.conf" --port "$port" --listen-to 127.0.0.1 \
      --pid-file "$work/dictd.pid" --locale C.UTF-8 -d nodetach 2>"$work/dictd.err" &
dictd_pid=$!
for _ in $(seq 200); do dict -h 127.0.0.1 -p "$port" -D 2>/dev/null | grep -q fd-eng-tur && break || sleep 0.05; done
dict -h 127.0.0.1 -p "$port" -D 2>/dev/null | grep -q fd-eng-tur ||
  { echo "dictd did not start:" >&2; cat "$work/dictd.err" >&2; exit 1; }

# Copies of the tables with a folding index, when the helper is built.
folded=
if [ -x "$bin/add_fold_index" ]; then
  folded=$work/folded
  mkdir -p "$folded"
  for t in Sozluk1.DB SozlukE1.DB; do
    cp "$tables/$t" "$folded/$t"
    "$bin/add_fold_index" "$folded/$t"
  done
fi

export BASELINE=${BASELINE:-} WINDOW=${WINDOW:-1} FOLDED=$folded WORK=$work DISPLAY=$display BIN=$bin LUGATIM_DB_DIR=$tables RUNS=$runs DICT_PORT=$port
python3 - <<'PY'
import os, resource, select, statistics, subprocess, time

bin_dir, work, runs = os.environ["BIN"], os.environ["WORK"], int(os.environ["RUNS"])
port = os.environ["DICT_PORT"]
words = ["book", "water", "house", "dog", "cat", "tree", "apple", "door", "window", "table",
         "chair", "music", "river", "mountain", "city", "friend", "school", "teacher", "money",
         "time"]

inflected = ["kitaplarımızdan", "evlerde", "gidiyorum", "ağaçları", "güzelliği", "books",
             "larger", "went", "children", "walked"]

# 1. Hand-over to the open window.
env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(work, "run"), LUGATIM_TRACE="1",
           QT_QPA_PLATFORM="xcb", HOME=os.path.join(work, "home"))
os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
os.makedirs(env["HOME"])
window = subprocess.Popen([os.path.join(bin_dir, "lugatim")], env=env, stderr=subprocess.PIPE) \
    if os.environ["WINDOW"] != "0" else None
buffer = b""

def wait_for(needle, limit=30.0):
    global buffer
    deadline = time.monotonic() + limit
    while needle not in buffer:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([window.stderr], [], [], left)[0]:
            raise SystemExit("the window never reported " + needle.decode())
        chunk = os.read(window.stderr.fileno(), 65536)
        if not chunk:
            raise SystemExit("the window ended")
        buffer += chunk
    at = buffer.index(needle) + len(needle)
    buffer = buffer[at:]
    return time.monotonic()

# The window is up once xdotool sees it.
while window and subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(window.pid)],
                     env=env, stdout=subprocess.DEVNULL).returncode != 0:
    time.sleep(0.05)
handover = []
sender_exit = []
for i in range(runs if window else 0):
    word = words[i % len(words)]
    start = time.monotonic()
    sender = subprocess.Popen([os.path.join(bin_dir, "lugatim"), word], env=env)
    shown = wait_for(("Looked up: " + word + " (found)").encode())
    sender.wait()
    handover.append((shown - start) * 1000)
    sender_exit.append((time.monotonic() - start) * 1000)
if window:
    window.terminate()
    window.wait()
if handover:
    print(f"lugatim WORD -> word shown in the open window: median {statistics.median(handover):.1f} ms"
      f" (min {min(handover):.1f}, max {max(handover):.1f}; {runs} runs;"
      f" sender exited after median {statistics.median(sender_exit):.1f} ms)")

# 2. Terminal lookup against dict + dictd, same words, alternately.
cpu = {}

def timed(argv, name=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    elapsed = (time.perf_counter() - start) * 1000
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if name:
        cpu.setdefault(name, []).append(
            (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
    return elapsed, done.returncode, len(done.stdout)

commands = {
    "lugatim-lookup WORD": lambda w: [os.path.join(bin_dir, "lugatim-lookup"), w],
    **({"baseline lugatim-lookup WORD": lambda w: [os.path.join(os.environ["BASELINE"],
                                                            "lugatim-lookup"), w]}
       if os.environ.get("BASELINE") else {}),
    "lugatim-lookup --exact WORD": lambda w: [os.path.join(bin_dir, "lugatim-lookup"), "--exact", w],
    "dict (dictd on loopback)": lambda w: ["dict", "-h", "127.0.0.1", "-p", port, w],
}
if os.environ.get("FOLDED"):
    commands["lugatim-lookup, folding index"] = lambda w: [
        "env", "LUGATIM_DB_DIR=" + os.environ["FOLDED"], os.path.join(bin_dir, "lugatim-lookup"), w]
    commands["same, through env (baseline)"] = lambda w: [
        "env", os.path.join(bin_dir, "lugatim-lookup"), w]
def measure(word_list, title):
    cpu.clear()
    for name, make in commands.items():  # one untimed pass: files in the page cache for each
        for w in word_list:
            timed(make(w))
    times = {name: [] for name in commands}
    found = {name: 0 for name in commands}
    for _ in range(max(1, runs // len(word_list)) * 3):
        for w in word_list:
            for name, make in commands.items():
                ms, rc, size = timed(make(w), name)
                times[name].append(ms)
                found[name] += rc == 0 and size > 0
    print(title)
    for name in commands:
        t = times[name]
        print(f"  {name:30s} median {statistics.median(t):6.2f} ms  (min {min(t):.2f}, max {max(t):.2f};"
              f" {len(t)} calls, {found[name]} answered; client CPU median"
              f" {statistics.median(cpu[name]):.1f} ms)")

measure(words, "Headwords:")
measure(inflected, "Inflected words:")
print("(dict's CPU leaves out the dictd child that answers it; load average",
      " ".join(f"{x:.1f}" for x in os.getloadavg()) + ")")
PY
