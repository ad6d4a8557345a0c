#!/usr/bin/env bash
# Side by side, the CPU that continuous playback costs: the real program under Xvfb with a
# private PulseAudio server, playing its start-up sound for 30 s with the polling main loop and
# with Power Saving, against SoX generating pink noise through a 1000 Hz low-pass into pacat.
# Prints the CPU used (percent of one core, user + system time from /proc) and the level of
# what the null sink received in each case, plus the longest silent stretch of each capture and
# the program's resident size.
# Usage: bench/idle_cpu.sh [BUILD_DIR]   (CORVANE=/path/to/corvane overrides the program;
#        IDLE_SECONDS=N changes the length, default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${IDLE_SECONDS:-30}
corvane=${CORVANE:-$build/app/corvane}
[ -x "$corvane" ] || { echo "no $corvane (build it first)" >&2; exit 1; }
for tool in pulseaudio pacat parec Xvfb sox python3; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
done

dir=$(mktemp -d /tmp/corvane-idle-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

# A private sound server with a null sink, on its own socket (as the live tests start it).
mkdir -p "$dir/runtime" "$dir/state" "$dir/home/config"
cat >"$dir/server.pa" <<PA
load-module module-null-sink sink_name=corvane_null rate=44100 channels=2 format=s16le
set-default-sink corvane_null
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
PA
echo "autospawn = no" >"$dir/client.conf"
env HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/state" PULSE_RUNTIME_PATH="$dir/runtime" \
    PULSE_STATE_PATH="$dir/state" DBUS_SESSION_BUS_ADDRESS=disabled: \
    pulseaudio --system=false -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --realtime=no --high-priority=no --disable-shm=yes -F "$dir/server.pa" >/dev/null 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$dir/native" PULSE_CLIENTCONFIG="$dir/client.conf"
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "the private PulseAudio server did not start" >&2; exit 1; }
# An idle null sink runs late; a low-latency recording of its monitor keeps it awake.
parec --device=corvane_null.monitor --rate=8000 --channels=1 --latency-msec=10 >/dev/null 2>&1 &
pids+=($!)

exec 3< <(Xvfb -displayfd 1 -nolisten tcp -screen 0 1280x1024x24 2>/dev/null)
pids+=($!)
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
display=":$display"

ticks_per_s=$(getconf CLK_TCK)
cpu_ticks() {  # cpu_ticks PID... : user + system clock ticks of the processes together
  local sum=0 p
  for p in "$@"; do sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$p/stat"))); done
  echo "$sum"
}

# CPU clock ticks of each thread of a process, as "name ticks" lines.
thread_ticks() {
  local t
  for t in /proc/"$1"/task/*; do
    awk '{ c = $0; sub(/^[^(]*\(/, "", c); sub(/\).*/, "", c); n = split($0, f, ") "); split(f[n], g, " ");
           print c, g[12] + g[13] }' "$t/stat"
  done
}

# After a settling while, measures the processes' CPU for $seconds while capturing the sink.
# Prints "cpu_percent capture_file".
measure() {  # measure NAME PID...
  local name=$1; shift
  sleep 3
  local cap="$dir/$name.raw"
  parec --device=corvane_null.monitor --format=s16le --rate=44100 --channels=2 --raw --latency-msec=20 >"$cap" &
  local rec=$!
  local t0 c0 t1 c1
  t0=$(date +%s.%N); c0=$(cpu_ticks "$@")
  sleep "$seconds"
  c1=$(cpu_ticks "$@"); t1=$(date +%s.%N)
  kill "$rec"; wait "$rec" 2>/dev/null || true
  echo "$(echo "scale=2; 100 * ($c1 - $c0) / $ticks_per_s / ($t1 - $t0)" | bc) $cap"
}

# Level (RMS dBFS over both channels), the longest run of near-silence in ms (5 ms windows under
# -60 dBFS: a gap), and the power of the first difference against the signal's (a crude measure
# of the spectrum's tilt: equal for equal spectra), without the capture's first and last second.
analyse() {
  python3 - "$1" <<'PY'
import array, math, sys
a = array.array('h')
a.frombytes(open(sys.argv[1], 'rb').read())
a = a[88200:len(a) - 88200]
n = len(a) - len(a) % 2
if n < 882:
    print("none - -"); sys.exit()
power = sum(x * x for x in a[:n]) / n
longest = run = 0
for i in range(0, n - 441, 441):
    w = a[i:i + 441]
    run = run + 5 if sum(x * x for x in w) / 441 < 32.768 ** 2 else 0
    longest = max(longest, run)
diff = sum((a[i] - a[i - 2]) ** 2 for i in range(2, n, 2)) / (n / 2)
left = sum(x * x for x in a[0:n:2]) / (n / 2) or 1
print("%.1f %d %.4f" % (10 * math.log10(max(power, 1e-9) / 32768 ** 2), longest, diff / left))
PY
}

run_corvane() {  # run_corvane NAME POWER_SAVING(true|false)
  local name=$1 saving=$2 home="$dir/home-$1"
  mkdir -p "$home/config/Quellstone"
  printf '[Sound]\nPowerSaving=%s\n' "$saving" >"$home/config/Quellstone/Corvane.conf"
  env DISPLAY="$display" QT_QPA_PLATFORM=xcb CORVANE_AUDIO=rtaudio HOME="$home" XDG_CONFIG_HOME="$home/config" \
      XDG_RUNTIME_DIR="$home" "$corvane" >"$dir/$name.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  measure "$name" "$pid"
  # Where the time went, by thread (ticks since start), for the curious.
  thread_ticks "$pid" | sort | awk '{ a[$1] += $2 } END { for (k in a) printf "%s=%d ", k, a[k] }' >"$dir/$name.threads"
  ps -o rss= -p "$pid" | tr -d ' ' >"$dir/$name.rss"
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

echo "Playing ${seconds} s each on a private PulseAudio server under Xvfb $display."
read -r cpu_spin cap_spin <<<"$(run_corvane polling false)"
read -r cpu_save cap_save <<<"$(run_corvane power-saving true)"
mkfifo "$dir/sox.fifo"
sox -q -n -r 44100 -c 2 -b 16 -e signed -t raw "$dir/sox.fifo" synth $((seconds + 6)) pinknoise lowpass 1000 &
sox_pid=$!
pids+=("$sox_pid")
pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=100 <"$dir/sox.fifo" &
pacat_pid=$!
pids+=("$pacat_pid")
read -r cpu_sox cap_sox <<<"$(measure sox "$sox_pid" "$pacat_pid")"
wait "$sox_pid" "$pacat_pid" 2>/dev/null || true

printf '%-30s %10s %12s %12s %10s\n' "" "CPU %" "level dBFS" "longest gap" "HF ratio"
row() {  # row LABEL CPU CAPTURE
  read -r level gap tilt <<<"$(analyse "$3")"
  printf '%-30s %10s %12s %9s ms %10s\n' "$1" "$2" "$level" "$gap" "$tilt"
}
row "corvane, polling loop" "$cpu_spin" "$cap_spin"
row "corvane, Power Saving" "$cpu_save" "$cap_save"
row "sox pinknoise lowpass | pacat" "$cpu_sox" "$cap_sox"
echo "CPU clock ticks by thread since start (at $ticks_per_s a second):"
echo "  polling:      $(cat "$dir/polling.threads")"
echo "  Power Saving: $(cat "$dir/power-saving.threads")"
echo "Resident size at the end: polling $(cat "$dir/polling.rss") kB, Power Saving $(cat "$dir/power-saving.rss") kB"
verdict="target met"
[ "$(echo "$cpu_save <= 1.5" | bc)" -eq 1 ] || verdict="target missed"
echo "Power Saving: $cpu_save % of one core (target: at most 1.5 %; $verdict)"
