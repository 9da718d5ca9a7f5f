#!/usr/bin/env bash
# Installs every Debian package Orbelline needs to build, test and run.
# Idempotent and quiet: packages already present are skipped.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-wine fonts-dejavu-core
  libpixman-1-dev libjpeg62-turbo-dev libpng-dev
  libpugixml-dev liblitehtml-dev libsdl2-dev
  libcurl4-openssl-dev nlohmann-json3-dev libcctz-dev tzdata
  locales xvfb xdotool xclip python3 clang-format
  clang libclang-rt-14-dev
  lintian appstream desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
