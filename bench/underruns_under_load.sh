#!/usr/bin/env bash
# Underruns of the real sound output with both cores busy: the program plays its start-up sound
# through RtAudio into a private PulseAudio null sink (48000 Hz) for SECONDS while stress-ng
# keeps every core at work, and each underrun it logs (CORVANE_DEBUG=1) is counted.
# Usage: bench/underruns_under_load.sh [BUILD_DIR]   (SECONDS_PLAYED=N, default 30)
# Installs stress-ng if it is missing. Never touches the desktop's own sound server.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
build=${1:-build}
played=${SECONDS_PLAYED:-30}
corvane=${CORVANE:-$build/app/corvane}
[ -x "$corvane" ] || { echo "no $corvane (build it first)" >&2; exit 1; }
command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed (scripts/test.sh installs it)" >&2; exit 1; }
install_missing stress-ng

dir=$(mktemp -d /tmp/corvane-bench-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir -p "$dir/runtime" "$dir/state"
cat >"$dir/server.pa" <<PA
load-module module-null-sink sink_name=bench_null rate=48000 channels=2 format=s16le
set-default-sink bench_null
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
PA
echo "autospawn = no" >"$dir/client.conf"
HOME=$dir XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir/state PULSE_RUNTIME_PATH=$dir/runtime \
  PULSE_STATE_PATH=$dir/state DBUS_SESSION_BUS_ADDRESS=disabled: \
  pulseaudio --system=false -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  --realtime=no --high-priority=no --disable-shm=yes -F "$dir/server.pa" 2>"$dir/pulse.log" &
pids+=($!)
export PULSE_SERVER=unix:$dir/native PULSE_CLIENTCONFIG=$dir/client.conf
for _ in $(seq 50); do [ -S "$dir/native" ] && break; sleep 0.1; done
# A recording of the sink keeps it running, as a listener would.
parec --device=bench_null.monitor --raw --latency-msec=20 >/dev/null 2>&1 &
pids+=($!)

stress-ng --cpu "$(nproc)" --timeout "$((played + 5))s" --quiet &
pids+=($!)
sleep 1
HOME=$dir QT_QPA_PLATFORM=offscreen CORVANE_DEBUG=1 CORVANE_AUDIO=rtaudio \
  timeout -s TERM "${played}s" "$corvane" 2>"$dir/corvane.log" >/dev/null || true
underruns=$(grep -c "sound output underrun" "$dir/corvane.log" || true)
lost=$(grep -c "sound output was lost\|stopped answering" "$dir/corvane.log" || true)
echo "Played $played s with $(nproc) stress-ng CPU workers; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Device buffer: 4 periods of 10 ms"
echo "underruns: $underruns   output lost: $lost"
