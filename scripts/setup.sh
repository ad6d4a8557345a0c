#!/usr/bin/env bash
# Installs the Debian packages Corvane needs (only those missing), then configures and builds.
# Usage: scripts/setup.sh [--asan]   (--asan also builds the sanitizer tree in build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libx11-dev librtaudio-dev libsndfile1-dev
          libgtest-dev libbenchmark-dev pulseaudio pulseaudio-utils xvfb xdotool
          imagemagick sox)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build DIR [cmake options...]
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
}
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${1:-}" = "--asan" ]; then
  build build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCH=OFF
fi
