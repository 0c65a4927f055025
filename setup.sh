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
  libgtest-dev libgmock-dev libbenchmark-dev
  nginx-light python3 curl xvfb xdotool x11-apps x11-utils dpkg-dev desktop-file-utils
  dict-freedict-eng-tur dict-freedict-tur-eng
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

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

build() {  # build <dir> <cmake options...>
  local dir=$1
  shift
  as_user cmake -S "$here" -B "$here/$dir" -G Ninja "$@"
  as_user cmake --build "$here/$dir" -j "$(nproc)"
}

case "$mode" in
  run)
    install_packages
    build build/release -DCMAKE_BUILD_TYPE=Release -DLUGATIM_TESTS=OFF
    as_user "$here/build/release/bin/lugatim-import" defaults
    if [ -x "$here/build/release/bin/lugatim" ]; then
      exec "$here/build/release/bin/lugatim"
    fi
    echo "Dictionaries imported into $here/build/release/bin/data/"
    ;;
  test)
    install_packages
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
