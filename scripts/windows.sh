#!/usr/bin/env bash
# Cross-builds the programs and their tests for Windows with the static Qt SDK, then
#   test:    runs the tests under Wine, makes the portable ZIP and tries it under Wine;
#   package: makes the portable ZIP (zrk6.exe, zrk6-cli.exe, README, licence).
# Everything (the unpacked SDK, the build, the Wine prefix, the ZIP) stays in BUILD_DIR.
# The SDK comes from $ZRK6_WINDOWS_SDK (its folder or the tarball itself), else from
# ../shared/windows-sdk/ beside the source tree. Without it, or without the mingw-w64
# compiler or Wine, this says so in one line and succeeds.
# Usage: windows.sh test|package SOURCE_DIR BUILD_DIR [JOBS]
set -euo pipefail
step=$1
case $step in test | package) ;; *) echo "usage: $0 test|package SOURCE_DIR BUILD_DIR [JOBS]" >&2; exit 2 ;; esac
src=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)
jobs=${4:-2}

sdk=${ZRK6_WINDOWS_SDK:-$src/../shared/windows-sdk}
tarball=$sdk
[ -d "$sdk" ] && tarball=$sdk/zrk6-windows-sdk.tar.xz
if [ ! -f "$tarball" ]; then
  echo "windows: no Windows SDK at $sdk (set ZRK6_WINDOWS_SDK): skipped"
  exit 0
fi
# Debian's wine64 package puts its loader outside PATH; the wine package adds /usr/bin/wine.
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
for tool in x86_64-w64-mingw32-g++-posix "$wine"; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows: $tool is not installed (scripts/setup.sh installs it): skipped"
    exit 0
  fi
done

S=$out/zrk6-windows-sdk
if [ ! -f "$out/sdk.stamp" ] || [ "$tarball" -nt "$out/sdk.stamp" ]; then
  rm -rf "$S"
  tar -xJf "$tarball" -C "$out"
  touch "$out/sdk.stamp"
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The SDK carries every library the build needs (GoogleTest, libcsv, yaml-cpp): nothing is
# downloaded. An older SDK without yaml-cpp is refused with the reason.
if [ ! -f "$S/deps/lib/cmake/yaml-cpp/yaml-cpp-config.cmake" ]; then
  echo "windows: the SDK at $tarball has no yaml-cpp (deps/lib/cmake/yaml-cpp): use a newer one" >&2
  exit 1
fi
QT_ADDITIONAL_PACKAGES_PREFIX_PATH=$S/deps "$S/qt/bin/qt-cmake" -S "$src" -B "$out/build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-static -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
  "${launcher[@]}" >"$out/configure.log" || { cat "$out/configure.log"; exit 1; }
grep 'Left out on Windows' "$out/configure.log" || true
cmake --build "$out/build" -j "$jobs"

# The portable package: static programs, nothing else needed.
version=$(sed -n 's/^project(zrk6 VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
name=zrk6-$version-windows-x86_64
rm -rf "${out:?}/$name" "$out/$name.zip"
mkdir -p "$out/$name"
cp "$out/build/zrk6.exe" "$out/build/zrk6-cli.exe" "$out/$name/"
x86_64-w64-mingw32-strip "$out/$name/"*.exe
cp "$src/README.md" "$out/$name/README.md"
cp "$src/LICENSE" "$out/$name/LICENSE.txt"
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
rm -rf "${out:?}/$name"
echo "windows: $out/$name.zip"
[ "$step" = package ] && exit 0

export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || true
  # Wine's debugger takes a crashed program over and then ends it with status 0: a crash would
  # pass for success. Without a debugger the status is the exception's (5: an access violation).
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f \
    >/dev/null 2>&1 || true
  "$wineserver" -w || true
fi
# The offscreen platform has no system fonts to ask: the test programs find Debian's fonts in
# lib/fonts below the prefix that a qt.conf beside them names (the ZIP has neither).
mkdir -p "$out/build/lib/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$out/build/lib/fonts/"
printf '[Paths]\nPrefix=.\n' >"$out/build/qt.conf"
# The radio tests: Wine hears the virtual radio's pseudo-terminal only with the two pieces of
# ../shared/wine-serial/ (its README says why), built here for this run and kept out of the ZIP.
# The radio itself is the Linux zrk6-radiosim ($ZRK6_WINE_RADIOSIM), started for each test by
# scripts/wine-radio-broker.sh; its ports are COM10 and up of this prefix.
serial_src=${ZRK6_WINE_SERIAL_SOURCE:-$src/../shared/wine-serial}
if [ -f "$serial_src/ptyserial.c" ] && [ -f "$serial_src/wcehook.c" ] && [ -x "${ZRK6_WINE_RADIOSIM:-}" ]; then
  export ZRK6_WINE_SERIAL=$out/wine-serial
  export ZRK6_WINE_RADIOSIM
  ZRK6_WINE_RADIOSIM=$(realpath "$ZRK6_WINE_RADIOSIM")
  mkdir -p "$ZRK6_WINE_SERIAL"
  gcc -shared -fPIC -O2 -o "$ZRK6_WINE_SERIAL/ptyserial.so" "$serial_src/ptyserial.c" -ldl
  x86_64-w64-mingw32-gcc -shared -O2 -Wall -o "$ZRK6_WINE_SERIAL/userenv.dll" "$serial_src/wcehook.c"
  # Wine takes the hook beside the program that imports it: every test program, and the CLI the
  # tests start.
  find "$out/build" -name '*.exe' -not -path '*/CMakeFiles/*' -printf '%h\n' | sort -u | while read -r folder; do
    cp "$ZRK6_WINE_SERIAL/userenv.dll" "$folder/"
  done
  rm -rf "$WINEPREFIX"/dosdevices/.zrk6-com*
  find "$WINEPREFIX/dosdevices" -maxdepth 1 -name 'com[1-9][0-9]*' -delete
else
  unset ZRK6_WINE_RADIOSIM
  echo "windows: no virtual radio for the radio tests (ZRK6_WINE_RADIOSIM, $serial_src): they fail"
fi

# One Wine server for the whole run, started and ready before ctest starts two programs at
# once: parallel programs that each start the server (and the prefix's services) race, and the
# loser never runs. It is ended when this script ends, however it ends.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
"$wineserver" -p >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" cmd.exe /c exit 0 >/dev/null 2>&1 || true
(cd "$out/build" && ctest --output-on-failure -j "$jobs")
"$src/tests/package/test_windows_package.sh" "$out/$name.zip" "$wine" "$wineserver"
