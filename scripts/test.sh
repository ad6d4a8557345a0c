#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the normal build, then the tests again
# under AddressSanitizer + UndefinedBehaviorSanitizer (without the live-audio/desktop tests),
# and the threaded parts under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh

# Packages only the tests and benchmarks need; one a line, append yours.
test_packages=(
  libgtest-dev
  libbenchmark-dev
  xvfb
  xdotool
  imagemagick
  sox
  pulseaudio-utils
  dbus
  appstream
  desktop-file-utils
  man-db
  shared-mime-info
)
# The live tests run a private PulseAudio server of their own, never the desktop's. Where
# PipeWire is the desktop's sound server, installing pulseaudio would start a second one.
if pipewire_desktop && ! command -v pulseaudio >/dev/null; then
  echo "Live-audio tests will skip: this desktop's sound server is PipeWire (pipewire-pulse)," \
       "and the PulseAudio server they need is not installed beside it."
else
  test_packages+=(pulseaudio)
fi
install_missing "${test_packages[@]}"

CORVANE_RECONFIGURE=1 scripts/setup.sh --asan --tsan
jobs=$(nproc 2>/dev/null || echo 2)
ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"
# Leaks are checked too; the suppressions name only the system libraries' own one-time
# allocations (each one says why), so any leak in our code fails its test.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --no-tests=error --output-on-failure -j "$jobs" -LE live
# The mixer and the sound output again under ThreadSanitizer: the output has its own thread.
# The frozen-server test is left out here: it leaves a thread behind in the frozen server on
# purpose, so that the exit is not held up, and as nothing can join that thread the sanitizer
# cannot see that it ended before the process's static objects go (it runs in the other trees).
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp" \
  ctest --test-dir build-tsan --no-tests=error --output-on-failure -j "$jobs" -E 'AFrozenServer'
