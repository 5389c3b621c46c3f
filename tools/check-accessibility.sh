#!/usr/bin/env bash
# Starts the built panel on a virtual X display with its own session bus and opens both of its
# other windows by their keys (Alt+C, Ctrl+L); then reads all three over AT-SPI as a screen
# reader does. Fails when an operable control has no name or a window is not in the tree.
# Usage: tools/check-accessibility.sh [BUILD_DIR]   (default: build)
set -euo pipefail
[ -z "${TORVIKA_TRACE:-}" ] || set -x
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/need.sh"
need xvfb xauth dbus dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0 xdotool
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${TORVIKA_IN_SESSION:-}" ]; then
    TORVIKA_IN_SESSION=1 exec xvfb-run -a dbus-run-session -- "$0" "$build"
fi
home=$(mktemp -d)
trap 'kill "$panel" 2>/dev/null || true; wait "$panel" 2>/dev/null || true; rm -rf "$home"' EXIT
cp "$build/bin/torvika-panel" "$home/"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
"$home/torvika-panel" >"$home/panel.log" 2>&1 &
panel=$!
window=$(xdotool search --sync --onlyvisible --name '^TORVIKA Serial LCD$' | head -n 1)
# Keys as typed (XTEST) into the focused main window.
press() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$1"
}
press alt+c
timeout 20 xdotool search --sync --onlyvisible --name '^Configure TORVIKA$' >/dev/null
press ctrl+l
timeout 20 xdotool search --sync --onlyvisible --name '^Traffic Log$' >/dev/null
/usr/bin/python3 "$root/tools/atspi_names.py" torvika-panel "frame 'TORVIKA Serial LCD'" \
    "dialog 'Configure TORVIKA'" "frame 'Traffic Log'"
