#!/usr/bin/env bash
# The real program under Xvfb with a tray host: time from start to the window shown, CPU used over
# a minute hidden in the tray and over a minute with the window and the usage panel shown, and
# resident memory. Prints the figures next to their goals.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
scripts/install-deps xdotool
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
display=":$((300 + RANDOM % 200))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Tollmere" "$work/app"
until xwininfo -root >/dev/null 2>&1; do sleep 0.1; done
trayer --edge bottom --align right --widthtype pixel --width 80 --height 28 >/dev/null 2>&1 &
pids+=($!)
cp build/release/src/app/korvane "$work/app/korvane"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mb() { awk '/VmRSS/{printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
measure() { # pid seconds -> percent of one core
  local before after
  before=$(cpu_ticks "$1"); sleep "$2"; after=$(cpu_ticks "$1")
  awk -v t="$((after - before))" -v s="$2" -v hz="$ticks" 'BEGIN{printf "%.2f", 100 * t / hz / s}'
}

# Start to window shown.
printf '[Korvane]\nMiniMe=0\n' > "$XDG_CONFIG_HOME/Tollmere/Korvane.conf"
start=$(date +%s%N)
"$work/app/korvane" >/dev/null 2>&1 &
pid=$!
pids+=($pid)
until xdotool search --onlyvisible --name '^Korvane$' >/dev/null 2>&1; do sleep 0.005; done
shown_ms=$(( ($(date +%s%N) - start) / 1000000 ))
window="$(xdotool search --onlyvisible --name '^Korvane$' | head -1)"
xdotool mousemove --window "$window" 640 35 click 1 # the "CPU" button: the usage panel
sleep 2
shown_cpu=$(measure "$pid" "$seconds")
shown_rss=$(rss_mb "$pid")
kill -TERM "$pid"; wait "$pid" || true

# Hidden in the tray.
printf '[Korvane]\nMiniMe=1\n' > "$XDG_CONFIG_HOME/Tollmere/Korvane.conf"
"$work/app/korvane" >/dev/null 2>&1 &
pid=$!
pids+=($pid)
sleep 3
tray_cpu=$(measure "$pid" "$seconds")
tray_rss=$(rss_mb "$pid")
kill -TERM "$pid"; wait "$pid" || true

echo
echo "processes on this machine: $(ls -d /proc/[0-9]* | wc -l), CPUs: $(nproc)"
echo "start to window shown:              ${shown_ms} ms   (goal < 400 ms)"
echo "CPU hidden in the tray (${seconds} s):     ${tray_cpu} % of one core   (goal < 0.5 %)"
echo "CPU window + usage panel (${seconds} s):   ${shown_cpu} % of one core   (goal < 2 %)"
echo "resident memory: ${tray_rss} MB in the tray, ${shown_rss} MB shown   (goal < 60 MB)"
