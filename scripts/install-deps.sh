#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-5compat-dev libpulse-dev
  libboost-dev libboost-regex-dev libtinyxml-dev libssl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libc6-dbg  # glibc's symbols: the thread sanitizer's suppressions of its internals match by name
  ffmpeg xvfb xauth imagemagick x11-apps pulseaudio shared-mime-info desktop-file-utils
  fonts-dejavu-extra  # DejaVu Sans Condensed: the style sheet's face
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# A mirror that fails for a moment gets two more tries.
for attempt in 1 2 3; do
  if $sudo apt-get update &&
     DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    exit 0
  fi
  [ "$attempt" -lt 3 ] && sleep $((attempt * 10))
done
echo "install-deps: could not install: ${missing[*]}" >&2
exit 1
