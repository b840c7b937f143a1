#!/usr/bin/env bash
# test_package.sh BUILD_DIR SOURCE_DIR
# Packs the build tree into a .deb in a temporary folder (cpack installs the built files;
# nothing is compiled again), checks it with lintian, unpacks it and runs what it holds.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
debs=("$work"/out/zrk6_*.deb)
[ -f "${debs[0]}" ] || fail "no zrk6_*.deb in the cpack output"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# lintian: errors fail the test; warnings are shown.
lintian --allow-root --no-tag-display-limit "$deb" > "$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then
    fail "lintian reports errors"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins libqt6widgets6 libqt6serialport6; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
for file in bin/zrk6 bin/zrk6-cli bin/zrk6-radiosim \
            share/applications/zrk6.desktop share/metainfo/zrk6.metainfo.xml \
            share/mime/packages/zrk6.xml \
            share/man/man1/zrk6.1.gz share/man/man1/zrk6-cli.1.gz \
            share/doc/zrk6/copyright; do
    [ -f "$usr/$file" ] || fail "the package lacks /usr/$file"
done
for size in 16 22 24 32 48 64 128 256; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/zrk6.png
    [ -f "$icon" ] || fail "the package lacks the ${size}px icon"
    file "$icon" | grep -q "$size x $size" || fail "the ${size}px icon has another size"
done
grep -qx 'Exec=zrk6 %f' "$usr/share/applications/zrk6.desktop" || fail "the desktop file does not pass %f"

# The window's --version answers without a display.
gui_version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zrk6" --version)
[ "$gui_version" = "zrk6 $(dpkg-deb -f "$deb" Version)" ] || fail "zrk6 --version says '$gui_version'"
version=$("$usr/bin/zrk6-cli" --version)
[ "$version" = "zrk6-cli $(dpkg-deb -f "$deb" Version)" ] || fail "zrk6-cli --version says '$version'"
"$usr/bin/zrk6-cli" new "$work/new.dat" || fail "zrk6-cli new failed"
[ -s "$work/new.dat" ] || fail "zrk6-cli new wrote no file"
"$usr/bin/zrk6-cli" show "$work/new.dat" | grep -q "144 - 146 MHz" || fail "the new file does not show its band"

# The manual page names every command that --help lists.
man_page=$(gzip -dc "$usr/share/man/man1/zrk6-cli.1.gz")
commands=$("$usr/bin/zrk6-cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NF > 1 {print $1}')
[ -n "$commands" ] || fail "zrk6-cli --help lists no commands"
for command in $commands; do
    grep -qF "\\fB$command\\fR" <<< "$man_page" || fail "zrk6-cli.1 does not describe '$command'"
done
echo "ok"
