#!/usr/bin/env bash
# Records what LCDd asks of a 2x16 driver while the lcdproc client shows its screens C, M, U
# and P for 30 seconds: LCDd loads the recorder driver of the bench build, which writes every
# call to bench/data/lcdproc-CMUP.calls. Needs Debian's lcdproc package.
#   bench/record-lcdproc.sh [BENCH-BUILD-DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$(realpath "${1:-build-bench}")
seconds=${2:-30}
cmake --build "$build" --target recorder
work=$(mktemp -d)
port=$((20000 + RANDOM % 10000))
cat >"$work/LCDd.conf" <<CONF
[server]
DriverPath=$build/lcdd/
Driver=recorder
Bind=127.0.0.1
Port=$port
ReportToSyslog=no
User=$(id -un)
Foreground=yes
ServerScreen=off

[recorder]
Record=$work/calls
CONF
LCDd -c "$work/LCDd.conf" -f >"$work/LCDd.log" 2>&1 &
server=$!
sleep 1
lcdproc -s 127.0.0.1 -p "$port" -f C M U P >/dev/null 2>&1 &
client=$!
sleep "$seconds"
kill "$client"
sleep 0.5
kill "$server"
wait "$server" || true
cp "$work/calls" bench/data/lcdproc-CMUP.calls
rm -rf "$work"
echo "$(grep -c '^flush' bench/data/lcdproc-CMUP.calls) frames recorded"
