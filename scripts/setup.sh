#!/usr/bin/env bash
# Installs the Debian packages that building and running Corvane need (only those missing),
# then configures and builds. The tests' own packages are installed by scripts/test.sh.
# Usage: scripts/setup.sh [--asan] [--tsan]   (also the AddressSanitizer tree in build-asan/,
# the ThreadSanitizer tree in build-tsan/)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libx11-dev
  librtaudio-dev libsndfile1-dev libsoxr-dev libfftw3-dev
)
install_missing "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
# True when every -DNAME=VALUE given is what DIR's cache holds.
cache_matches() {  # cache_matches DIR [cmake options...]
  local cache=$1/CMakeCache.txt; shift
  [ -f "$cache" ] || return 1
  local opt name value
  for opt in "$@"; do
    case $opt in -D*=*) ;; *) continue ;; esac
    name=${opt#-D}; value=${name#*=}; name=${name%%=*}
    grep -qx "$name:[A-Z]*=$value" "$cache" || return 1
  done
}
build() {  # build DIR [cmake options...]
  local dir=$1; shift
  # A tree made with other options (tests off, another sanitizer, no Ninja) is configured
  # again with these; so is any tree when asked to, so that packages installed since are found.
  if [ ! -f "$dir/build.ninja" ] || [ -n "${CORVANE_RECONFIGURE:-}" ] || ! cache_matches "$dir" "$@"; then
    if [ -f "$dir/CMakeCache.txt" ] && ! grep -qx "CMAKE_GENERATOR:INTERNAL=Ninja" "$dir/CMakeCache.txt"; then
      rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    fi
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
  targets=()
}
targets=()
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BUILD_TESTS=ON -DCORVANE_SANITIZE=OFF -DCORVANE_TSAN=OFF
for arg in "$@"; do
  case $arg in
    --asan)
      build build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_BUILD_TESTS=ON -DCORVANE_SANITIZE=ON \
            -DCORVANE_TSAN=OFF -DCORVANE_BUILD_BENCH=OFF ;;
    --tsan)  # only what has threads of its own: the mixer and the sound output
      targets=(--target corvane_platform_sound_tests corvane_audio_tests corvane_audio_live_tests)
      build build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BUILD_TESTS=ON -DCORVANE_SANITIZE=OFF \
            -DCORVANE_TSAN=ON -DCORVANE_BUILD_BENCH=OFF ;;
  esac
done
