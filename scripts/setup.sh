#!/usr/bin/env bash
# Installs what building and testing the programmer needs on Debian 12 (--windows: and the
# Windows cross-build).
# Skips packages that are already installed; uses sudo when not run as root. The names must be
# real package names, not names that another package provides: the check looks for installed
# packages by name, so a provided name would be installed again on every run.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins
  libgl-dev libgtest-dev libgmock-dev libcsv-dev libyaml-cpp-dev
  clang libclang-rt-14-dev
  poppler-utils xvfb xauth fonts-wqy-microhei
  qt6-translations-l10n
  dpkg-dev file lintian
  python3-yaml  # the text form's round trip through the YAML reader scripts use most
)
# With --windows also what cross-building for Windows and testing under Wine needs
# (make test-windows, which make test runs).
if [ "${1:-}" = "--windows" ]; then
  packages+=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 x11-utils fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
