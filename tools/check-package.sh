#!/usr/bin/env bash
# Builds the Debian package in its own folder (build-deb: Debian's hardening flags, no tests),
# checks it with lintian, desktop-file-validate and appstreamcli, looks at its binaries
# (hardening, no RUNPATH) and manual pages, installs it on this machine and starts the
# installed panel offscreen: it must come up and keep running, with its settings under the
# user's config folder rather than beside the installed executable. Any finding fails it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build="$root/build-deb"
umask 022

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# shellcheck source=need.sh
source "$root/tools/need.sh"

fail() {
    echo "check-package: $*" >&2
    exit 1
}

need dpkg-dev lintian desktop-file-utils appstream devscripts binutils man-db shared-mime-info lcdproc

echo "== build with Debian's hardening flags"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DTORVIKA_BUILD_TESTS=OFF \
    -DTORVIKA_BUILD_BENCH=OFF -DTORVIKA_BUILD_FUZZ=OFF -DTORVIKA_SANITIZE=OFF "${launcher[@]}" >/dev/null
cmake --build "$build"
rm -f "$build"/torvika-panel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/torvika-panel_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no package"
deb=${debs[0]}
echo "package: $deb"
dpkg-deb -c "$deb" | awk '{print $1, $6}'

echo "== lintian"
lintian --allow-root --fail-on error,warning --display-info "$deb" || fail "lintian found problems"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

echo "== desktop-file-validate, appstreamcli"
for desktop in "$unpacked"/usr/share/applications/*.desktop; do
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
done
for metainfo in "$unpacked"/usr/share/metainfo/*.xml; do
    out=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
    ! grep -qE '^[EWIP]: ' <<<"$out" || fail "appstreamcli: $out"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
    grep -q "<release version=\"$version\"" "$metainfo" ||
        fail "$(basename "$metainfo") has no <release> for version $version"
done

echo "== the one application id, the type of character set files"
app_id=io.github.torvika.panel
for f in applications/$app_id.desktop metainfo/$app_id.metainfo.xml mime/packages/$app_id.xml \
    icons/hicolor/scalable/apps/$app_id.svg icons/hicolor/32x32/apps/$app_id.png; do
    [ -f "$unpacked/usr/share/$f" ] || fail "the package has no /usr/share/$f"
done
grep -q "^Icon=$app_id\$" "$unpacked/usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry's icon is not $app_id"
grep -q "<id>$app_id</id>" "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo's id is not $app_id"
# update-mime-database reads the type's file as the desktop does and names what it cannot use.
data=$(mktemp -d)
mkdir -p "$data/mime/packages"
cp "$unpacked/usr/share/mime/packages/$app_id.xml" "$data/mime/packages/"
out=$(XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data" update-mime-database "$data/mime" 2>&1) &&
    [ -z "$out" ] || fail "update-mime-database: $out"
grep -qx 'application/x-tvkchars:\*\.tvkchars' "$data/mime/globs" ||
    fail "the type file gives no glob *.tvkchars: $(cat "$data/mime/globs")"
rm -rf "$data"

echo "== binaries: hardening, no RUNPATH (built the plain way), a manual page each"
# Every compiler call of the build carried Debian's fortification and stack protection.
compiles=$(grep -c -- ' -c ' "$build/compile_commands.json" || true)
[ "$compiles" -gt 0 ] || fail "the build recorded no compile commands"
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong; do
    [ "$(grep -c -- " -c .*$flag\| $flag.* -c " "$build/compile_commands.json")" -eq "$compiles" ] ||
        fail "not every compile command has $flag"
done
for exe in "$unpacked"/usr/bin/*; do
    name=$(basename "$exe")
    # Control-flow protection is not among Debian 12's build flags, so it is not asked for.
    # hardening-check calls a binary unfortified when none of its libc calls had a size the
    # compiler could know (then there is nothing to protect); the compile commands, checked
    # above, show that fortification was asked for, so only its other checks are read here.
    hardening-check --quiet --nocfprotection --nofortify "$exe" || fail "$name is not hardened"
    ! readelf -d "$exe" | grep -qE 'RPATH|RUNPATH' || fail "$name has an RPATH/RUNPATH"
    page="$unpacked/usr/share/man/man1/$name.1.gz"
    [ -f "$page" ] || fail "$name has no manual page"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page of $name: $warnings"
done

echo "== the LCDd driver: hardened, only LCDd's symbols exported, its manual page"
driver="$unpacked/usr/lib/x86_64-linux-gnu/lcdproc/torvika.so"
[ -f "$driver" ] || fail "the LCDd driver is not in LCDd's driver folder"
hardening-check --quiet --nocfprotection --nofortify "$driver" || fail "torvika.so is not hardened"
! readelf -d "$driver" | grep -qE 'RPATH|RUNPATH' || fail "torvika.so has an RPATH/RUNPATH"
exported=$(nm -D --defined-only "$driver" | awk '{print $3}' |
    grep -vE '^(api_version|stay_in_foreground|supports_multiple|symbol_prefix|torvika_[a-z_]+)$' || true)
[ -z "$exported" ] || fail "torvika.so exports more than LCDd's symbols: $exported"
! ldd "$driver" | grep -qE 'libQt6(Gui|Widgets|SerialPort)' || fail "torvika.so loads a GUI library"
page="$unpacked/usr/share/man/man5/torvika-lcdd.5.gz"
[ -f "$page" ] || fail "torvika-lcdd(5) is missing"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page torvika-lcdd(5): $warnings"
[ -f "$unpacked/usr/share/doc/torvika-panel/examples/LCDd.conf" ] || fail "the example LCDd.conf is missing"

echo "== install"
# --reinstall: a rebuild of the same commit has the same version and must still go in.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall \
    --no-install-recommends "$deb" >/dev/null

# The installed files match the package's md5sums.
out=$(dpkg --verify torvika-panel) && [ -z "$out" ] || fail "dpkg --verify: $out"
for f in /usr/bin/torvika-panel /usr/share/applications/$app_id.desktop \
    /usr/share/metainfo/$app_id.metainfo.xml /usr/share/mime/packages/$app_id.xml \
    /usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    /usr/share/icons/hicolor/32x32/apps/$app_id.png \
    /usr/share/doc/torvika-panel/copyright /usr/share/doc/torvika-panel/changelog.gz \
    /usr/share/man/man1/torvika-panel.1.gz; do
    [ -e "$f" ] || fail "missing after install: $f"
done
[ -x /usr/bin/torvika-virtual-module ] || fail "missing: torvika-virtual-module"
[ -f /usr/share/bash-completion/completions/torvika-send ] || fail "missing: torvika-send's completion"
out=$(torvika-send --dry-run cursor 1 15) && [ "$out" = "FE 32 01 0F  cursor to row 1, column 15" ] ||
    fail "the installed torvika-send: $out"
man -l /usr/share/man/man1/torvika-panel.1.gz >/dev/null || fail "man cannot show torvika-panel(1)"
# The triggers of shared-mime-info and desktop-file-utils ran: a .tvkchars file is known by
# its type, and the panel opens that type.
grep -q '^application/x-tvkchars:\*\.tvkchars$' /usr/share/mime/globs ||
    fail "the installed type database does not know *.tvkchars"
grep -q "^application/x-tvkchars=.*$app_id.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "the desktop's type cache does not name the panel for .tvkchars"

home=$(mktemp -d)
status=0
HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
    timeout -s INT 4 torvika-panel >"$home/out.txt" 2>&1 || status=$?
cat "$home/out.txt"
# SIGINT ends the panel the way a desktop's "quit" does; 124 means timeout had to act, the
# panel was still running, which is what we want to see.
if [ "$status" -ne 124 ] && [ "$status" -ne 130 ] && [ "$status" -ne 0 ]; then
    fail "the installed panel ended with status $status"
fi
[ ! -e /usr/bin/torvika.ini ] || fail "settings were put beside the installed executable"
rm -rf "$home"

# The installed LCDd loads the installed driver from its own folder: with no device it names
# the device and why, as LCDd's own drivers do.
conf=$(mktemp)
sed 's|^Device=.*|Device=/dev/torvika-check-missing|' \
    /usr/share/doc/torvika-panel/examples/LCDd.conf >"$conf"
out=$(timeout 10 LCDd -c "$conf" -f 2>&1 || true)
rm -f "$conf"
grep -q "torvika: cannot open /dev/torvika-check-missing: No such file or directory" <<<"$out" ||
    fail "LCDd did not load the installed driver: $out"
echo "installed package $(dpkg-query -W -f='${Version}' torvika-panel) starts"
