#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Safe to run again: it only calls apt-get for packages that are absent.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config lld
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libfreeimage-dev libassimp-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev ffmpeg
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev
  xvfb xauth fonts-dejavu-core x11-apps
  help2man librsvg2-bin
  desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
