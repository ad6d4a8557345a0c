#!/usr/bin/env bash
# Side by side: `corvane --export` against SoX, each rendering 10 minutes of pink noise through
# a 1000 Hz low-pass into a stereo 16-bit WAV at 44100 Hz and at 48000 Hz (mixed at 44100 Hz and
# converted on a thread of its own beside the render), timed as whole processes.
# Usage: bench/export_vs_sox.sh [BUILD_DIR]   (CORVANE=/path/to/corvane overrides the program;
#        EXPORT_SECONDS=N changes the length, default 600; EXPORT_RATES="44100 48000")
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${EXPORT_SECONDS:-600}

command -v sox >/dev/null || { echo "sox is not installed (scripts/test.sh installs it)" >&2; exit 1; }

corvane=${CORVANE:-$build/app/corvane}
[ -x "$corvane" ] || { echo "no $corvane (build it first)" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# "wall cpu" seconds of one command: elapsed time, and user + system time of the process.
measure() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" >/dev/null 2>/dev/null; } 2>&1 )
  read -r real user sys <<<"$t"
  echo "$real $(echo "$user + $sys" | bc)"
}


for rate in ${EXPORT_RATES:-44100 48000}; do
echo "Rendering $seconds s of pink noise, low-pass 1000 Hz, $rate Hz stereo 16-bit WAV"
read -r w_corvane c_corvane <<<"$(measure "$corvane" --export "$out/corvane.wav" --seconds "$seconds" \
                                   --rate "$rate" --noise pink --filter classic --cutoff 1000)"
read -r w_sox c_sox <<<"$(measure sox -n -r "$rate" -c 2 -b 16 "$out/sox.wav" synth "$seconds" \
                           pinknoise lowpass 1000)"
[ -s "$out/corvane.wav" ] || { echo "corvane wrote no file" >&2; exit 1; }

printf '%-18s %9s %9s\n' "" "wall s" "cpu s"
printf '%-18s %9.3f %9.3f   (%s)\n' "corvane --export" "$w_corvane" "$c_corvane" "$corvane"
printf '%-18s %9.3f %9.3f\n' "sox" "$w_sox" "$c_sox"
ls -l "$out"/corvane.wav "$out"/sox.wav | awk '{ printf "  %-40s %12d bytes\n", $9, $5 }'
ratio=$(echo "scale=2; $w_sox / $w_corvane" | bc)
cpu_ratio=$(echo "scale=2; $c_sox / $c_corvane" | bc)
verdict="target met"
[ "$(echo "$ratio >= 2" | bc)" -eq 1 ] || verdict="target missed"
echo "ratio sox/corvane at $rate Hz: $ratio wall, $cpu_ratio cpu (target: at least 2 wall; $verdict)"
done
echo "(wall times suffer when other jobs share the CPUs; the cpu ratio does not)"
