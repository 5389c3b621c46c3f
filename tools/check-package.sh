#!/usr/bin/env bash
# Builds the Debian package from build/, installs it on this machine and starts the installed
# panel offscreen: it must come up and keep running, with its settings under the user's
# config folder rather than beside the installed executable.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/torvika-panel_*.deb | head -n 1)
echo "package: $deb"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -E 'bin/|\.desktop|metainfo|icons' || true

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "./$deb" >/dev/null

for f in /usr/bin/torvika-panel /usr/share/applications/torvika-panel.desktop \
    /usr/share/metainfo/io.github.torvika.panel.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/torvika-panel.svg \
    /usr/share/icons/hicolor/32x32/apps/torvika-panel.png; do
    [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -x /usr/bin/torvika-virtual-module ] || { echo "missing: torvika-virtual-module"; exit 1; }

home=$(mktemp -d)
status=0
HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
    timeout -s INT 4 torvika-panel >"$home/out.txt" 2>&1 || status=$?
cat "$home/out.txt"
# SIGINT ends the panel the way a desktop's "quit" does; 124 means timeout had to act, the
# panel was still running, which is what we want to see.
if [ "$status" -ne 124 ] && [ "$status" -ne 130 ] && [ "$status" -ne 0 ]; then
    echo "the installed panel ended with status $status"
    exit 1
fi
[ ! -e /usr/bin/torvika.ini ] || { echo "settings were put beside the installed executable"; exit 1; }
rm -rf "$home"
echo "installed package starts"
