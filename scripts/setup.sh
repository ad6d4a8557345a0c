#!/usr/bin/env bash
# Installs the Debian packages that building and running Corvane need (only those missing),
# then configures and builds. The tests' own packages are installed by scripts/test.sh.
# Usage: scripts/setup.sh [--asan]   (--asan also builds the sanitizer tree in build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libx11-dev
  librtaudio-dev libsndfile1-dev libsoxr-dev
)
install_missing "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build DIR [cmake options...]
  local dir=$1; shift
  # Configured again when asked to, so that test packages installed since are found.
  if [ ! -f "$dir/build.ninja" ] || [ -n "${CORVANE_RECONFIGURE:-}" ]; then
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$jobs"
}
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${1:-}" = "--asan" ]; then
  build build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCH=OFF
fi
