#!/usr/bin/env bash
# Installs what building, playing and testing need on Debian 12 (run as root).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev libpulse-dev libgl-dev libxcb1-dev
          xvfb openbox xdotool wmctrl x11-utils pulseaudio pulseaudio-utils strace
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation fonts-dejavu-core xdg-utils
          qt6-translations-l10n imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
