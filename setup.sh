#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; only what is missing.
# This is the project's one package list: run.sh and test.sh call it.
set -euo pipefail

PACKAGES=(
  cmake g++ ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n libgl-dev
  libsqlcipher-dev sqlcipher
  fonts-wine fonts-liberation2 fonts-urw-base35 fontconfig
  xvfb xauth
)
# The sanitizer build uses g++'s own runtimes; only the fuzzer needs clang and its libFuzzer.
if [[ "${FUZZ:-0}" == 1 ]]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "setup.sh: not root and sudo is missing; install as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
