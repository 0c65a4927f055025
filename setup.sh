#!/usr/bin/env bash
# Lugatim on a fresh Debian 12 machine, run as root or with sudo:
#   ./setup.sh run    install the packages, build, import the default dictionaries, start Lugatim
#   ./setup.sh test   install the packages, build with AddressSanitizer + UBSan, run every test
# Both may be run again at any time; they only redo what changed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
mode=${1:-}

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev libjpeg62-turbo-dev zlib1g-dev
  libwmf-dev libemf2svg-dev qt6-svg-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  nginx-light python3 curl xvfb xdotool x11-apps x11-utils dpkg-dev desktop-file-utils
  dict-freedict-eng-tur dict-freedict-tur-eng
  wordnet-base hunspell-tr libhunspell-dev
  libxcb1-dev libfontconfig-dev imagemagick
  qt6-translations-l10n appstream lintian python3-pyatspi at-spi2-core dbus
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Builds run as the invoking user, so a sudo run leaves no root-owned files
# in the checkout.
as_user() {
  if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    sudo -u "$SUDO_USER" -H -- "$@"
  else
    "$@"
  fi
}

# Replaces the (sub)shell by the command, run as the invoking user; for
# background processes whose pid must be the command's own.
exec_as_user() {
  if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    exec sudo -u "$SUDO_USER" -H -- "$@"
  fi
  exec "$@"
}

install_packages() {
  local missing=()
  # npm fetches the Turkish morphology data; Debian's package where none is there.
  command -v npm >/dev/null || packages+=(npm)
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# The Turkish morphology data (nlptoolkit's lexicon and morphotactics, ISC)
# from the npm registry, checksum-verified. Without it everything works but
# the analysis of inflected Turkish words.
morph_dir=$here/build/nlptoolkit
fetch_morphology() {
  as_user mkdir -p "$here/build"
  as_user "$here/tools/fetch-nlptoolkit.sh" "$morph_dir" ||
    echo "Warning: the Turkish morphology data could not be fetched; Lugatim runs without Turkish analysis." >&2
}

build() {  # build <dir> <cmake options...>
  local dir=$1
  shift
  as_user cmake -S "$here" -B "$here/$dir" -G Ninja -DLUGATIM_MORPH_DIR="$morph_dir" "$@"
  as_user cmake --build "$here/$dir" -j "$(nproc)"
}

# No display: run Lugatim on a virtual X server, save a screenshot of its
# window and say where it is.
show_without_display() {
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running Lugatim under Xvfb instead."
  local bin=$here/build/release/bin shot=$here/build/release/lugatim-screenshot.png
  local work
  work=$(mktemp -d)
  chmod 755 "$work"
  exec 3<> "$work/display"
  (exec_as_user Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1) &
  local xvfb=$!
  local number=""
  for _ in $(seq 100); do number=$(head -n1 "$work/display" 2>/dev/null || true); [ -n "$number" ] && break; sleep 0.05; done
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; exit 1; }
  # The number is written before the server takes connections reliably.
  for _ in $(seq 100); do DISPLAY=:$number xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  mkdir -p "$work/run" && chmod 700 "$work/run"
  [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && chown "$SUDO_USER" "$work/run"
  export DISPLAY=:$number XDG_RUNTIME_DIR=$work/run
  (exec_as_user env DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" "$bin/lugatim") &
  local app=$!
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "Sözlük" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 1  # let it paint
  # The window stands at its stored position, 222, 111, and is 480 x 480.
  as_user env DISPLAY="$DISPLAY" "$bin/lugatim-screenshot" "$shot" 222 111 480 480
  kill "$app" "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
  echo "Screenshot of the window: $shot"
}

case "$mode" in
  run)
    install_packages
    fetch_morphology
    build build/release -DCMAKE_BUILD_TYPE=Release -DLUGATIM_TESTS=OFF
    morph_option=()
    [ -s "$morph_dir/turkish_dictionary.txt" ] && morph_option=(--morph-dir "$morph_dir")
    as_user "$here/build/release/bin/lugatim-import" defaults "${morph_option[@]}"
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
        exec sudo -u "$SUDO_USER" -H --preserve-env=DISPLAY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR,XAUTHORITY,LUGATIM_UPDATE_SERVER \
          "$here/build/release/bin/lugatim"
      fi
      exec "$here/build/release/bin/lugatim"
    fi
    show_without_display
    ;;
  test)
    install_packages
    fetch_morphology
    build build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUGATIM_SANITIZE=ON
    cd "$here/build/asan"
    as_user env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
