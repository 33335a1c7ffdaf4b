#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n qt6-l10n-tools libgl-dev libxcb1-dev
  fonts-liberation2 locales-all
  libbenchmark-dev
  python3 xvfb xauth xdotool trayer x11-utils imagemagick
  openbox xfwm4 xfce4-panel dbus dbus-x11 libglib2.0-bin x11-xserver-utils
  strace util-linux
  clang-format clang-tidy desktop-file-utils appstream
  lintian libglib2.0-bin dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
