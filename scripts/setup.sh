#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when they are missing.
# Runs as root (or through sudo when it is there).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-serialport-dev qt6-translations-l10n
  qt6-qpa-plugins libgl-dev
  libsqlite3-dev sqlite3
  libgmime-3.0-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  poppler-utils
  emf2svg libwmf-dev libwmf-bin fonts-urw-base35 qt6-svg-dev
  xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
