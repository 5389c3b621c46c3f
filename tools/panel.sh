#!/usr/bin/env bash
# Set-up for a Debian 12 machine: installs what is missing, builds, then runs the panel
# ("run") or the whole test suite ("test").
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          fonts-dejavu-extra fonts-liberation xvfb xauth)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
        "${missing[@]}"
}

configure_and_build() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build -DTORVIKA_BUILD_TESTS=OFF
    exec "$build/app/torvika-panel"
    ;;
test)
    install_missing
    configure_and_build -DTORVIKA_BUILD_TESTS=ON
    ctest --test-dir "$build" --output-on-failure --timeout 300 -j 2
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
