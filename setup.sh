#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; only what is missing.
set -euo pipefail

PACKAGES=(
  cmake g++ ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev qt6-translations-l10n libgl-dev
  libsqlcipher-dev sqlcipher
  fonts-wine fonts-liberation2 fonts-urw-base35 fontconfig
  xvfb xauth
)
if [[ "${SANITIZE:-0}" == 1 || "${FUZZ:-0}" == 1 ]]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
