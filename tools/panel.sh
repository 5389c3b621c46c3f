#!/usr/bin/env bash
# Set-up for a Debian 12 machine: installs what is missing, builds, then runs the panel
# ("run"), the whole test suite ("test"), the benchmark suite ("bench"), or measures the tests:
# their size against the product's and the line coverage of src/ ("coverage"), or plants the
# faults of tools/mutants.txt one at a time and tells which the suite misses ("mutants [N|N-M]").
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          fonts-dejavu-extra fonts-liberation xvfb xauth)

# shellcheck source=need.sh
source "$root/tools/need.sh"

configure_and_build() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build"
}

# Sets key 1 of section [Ports] in an INI file to $2, keeping every other line as it is.
set_port1() {
    local ini=$1 device=$2 tmp
    [ -f "$ini" ] || printf '[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[LCD]\r\nBL=155\r\n' >"$ini"
    tmp=$(mktemp "$ini.XXXXXX")
    awk -v dev="$device" '
        function flush() { if (inports && !done) { print "1=" dev "\r"; done = 1 } }
        /^[ \t]*\[/ { flush(); inports = ($0 ~ /^[ \t]*\[[ \t]*[Pp][Oo][Rr][Tt][Ss][ \t]*\]/) ; print; next }
        inports && /^[ \t]*1[ \t]*=/ { if (!done) { print "1=" dev "\r"; done = 1 }; next }
        { print }
        END { flush(); if (!done) { print "[Ports]\r"; print "1=" dev "\r" } }
    ' "$ini" >"$tmp"
    mv "$tmp" "$ini"
}

# Starts the virtual module on a pseudo-terminal, maps port 1 to it and runs the panel;
# closing the panel ends the module.
run_with_module() {
    local module="$build/bin/torvika-virtual-module"
    local link="${XDG_RUNTIME_DIR:-/tmp}/torvika-module"
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "No display found: start this from a desktop session (or under xvfb-run)." >&2
        exit 1
    fi
    if [ -x "$module" ]; then
        "$module" --link "$link" &
        # Global: the trap runs after this function has returned.
        module_pid=$!
        trap 'kill "$module_pid" 2>/dev/null; wait "$module_pid" 2>/dev/null' EXIT
        for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
        set_port1 "$build/bin/torvika.ini" "$link"
    fi
    "$build/bin/torvika-panel"
}

# Non-blank lines of C++ (*.cpp, *.h) under the given folders.
cxx_lines() {
    find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'
}

case "${1:-}" in
run)
    need "${packages[@]}"
    configure_and_build -DTORVIKA_BUILD_TESTS=OFF
    run_with_module
    ;;
test)
    packages+=(lcdproc) # Debian's LCDd, which the driver's end-to-end test runs
    need "${packages[@]}"
    configure_and_build -DTORVIKA_BUILD_TESTS=ON
    ctest --test-dir "$build" --output-on-failure --timeout 300 -j 2
    ;;
bench)
    packages+=(libbenchmark-dev python3 python3-matplotlib x11-utils lcdproc)
    need "${packages[@]}"
    cd "$root"
    cmake --preset bench
    cmake --build --preset bench --target run-bench
    ;;
coverage)
    packages+=(gcovr lcdproc)
    need "${packages[@]}"
    cd "$root"
    cmake --preset coverage
    cmake --build --preset coverage
    find build-coverage -name '*.gcda' -delete
    ctest --preset coverage
    gcovr -r . --filter 'src/' --print-summary build-coverage
    tests=$(cxx_lines tests) product=$(cxx_lines src app)
    echo "tests: $tests non-blank C++ lines; product (src, app): $product;" \
        "tests/product: $((100 * tests / product)) %"
    ;;
mutants)
    packages+=(python3)
    need "${packages[@]}"
    # A build of its own, unoptimised and linked by lld where there is one: each fault costs a
    # rebuild, mostly the links of every program and suite that uses the changed file.
    linker=()
    command -v ld.lld >/dev/null && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
    cmake -S "$root" -B "$root/build-mutants" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DTORVIKA_BUILD_TESTS=ON "${linker[@]}" >/dev/null
    shift
    QT_QPA_PLATFORM=offscreen python3 "$root/tools/mutants.py" "$root" "$root/build-mutants" "$@"
    ;;
*)
    echo "usage: $0 run|test|bench|coverage|mutants [N|N-M ...]" >&2
    exit 2
    ;;
esac
