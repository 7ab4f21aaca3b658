#!/usr/bin/env bash
# korvane.exe under wine on Xvfb with a tray host: time from start to the window shown, CPU used
# over a minute hidden in the tray and over a minute with the window and the usage panel shown, and
# private memory. The figures include wine's own work for the program (its wineserver and
# explorer.exe are not counted). Prints the figures next to their goals.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
scripts/install-deps xdotool
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$(nproc 2>/dev/null || echo 2)" --target korvane_exe >/dev/null

work="$(mktemp -d)"
pids=()
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
display=":$((700 + RANDOM % 200))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display" XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
until xwininfo -root >/dev/null 2>&1; do sleep 0.1; done
trayer --edge bottom --align right --widthtype pixel --width 80 --height 28 >/dev/null 2>&1 &
pids+=($!)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" "$work/app"
cd "$work"
"$wineserver" -p
"$wine" cmd /c exit
cp "$root/build/windows/src/app/win32/korvane.exe" "$work/app/"
ticks=$(getconf CLK_TCK)

korvane_pid() { pgrep -f 'app/korvane.exe' | head -1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
private_mb() { awk '/^Private/{sum += $2} END{printf "%.1f", sum / 1024}' "/proc/$1/smaps_rollup"; }
measure() { # pid seconds -> percent of one core
  local before after
  before=$(cpu_ticks "$1"); sleep "$2"; after=$(cpu_ticks "$1")
  awk -v t="$((after - before))" -v s="$2" -v hz="$ticks" 'BEGIN{printf "%.2f", 100 * t / hz / s}'
}
set_minimized() { "$wine" reg add 'HKCU\Software\Tollmere\Korvane' /v MiniMe /d "$1" /f >/dev/null; }
stop() { "$wine" wineboot --end-session >/dev/null 2>&1 || true; sleep 2; kill -9 "$1" 2>/dev/null || true; }

# Start to window shown.
set_minimized 0
start=$(date +%s%N)
"$wine" "$work/app/korvane.exe" >/dev/null 2>&1 &
pids+=($!)
until xdotool search --onlyvisible --name '^Korvane$' >/dev/null 2>&1; do sleep 0.005; done
shown_ms=$(( ($(date +%s%N) - start) / 1000000 ))
pid="$(korvane_pid)"
window="$(xdotool search --onlyvisible --name '^Korvane$' | head -1)"
xdotool mousemove --window "$window" 637 35 click 1 # the "CPU" button: the usage panel
sleep 2
shown_cpu=$(measure "$pid" "$seconds")
shown_mem=$(private_mb "$pid")
stop "$pid"

# Hidden in the tray.
set_minimized 1
"$wine" "$work/app/korvane.exe" >/dev/null 2>&1 &
pids+=($!)
sleep 5
pid="$(korvane_pid)"
tray_cpu=$(measure "$pid" "$seconds")
tray_mem=$(private_mb "$pid")
stop "$pid"

echo
echo "wine processes listed: $(ls "$WINEPREFIX" >/dev/null; pgrep -c -f '\.exe' || true), CPUs: $(nproc)"
echo "start to window shown:              ${shown_ms} ms   (goal < 400 ms)"
echo "CPU hidden in the tray (${seconds} s):     ${tray_cpu} % of one core   (goal < 0.5 %)"
echo "CPU window + usage panel (${seconds} s):   ${shown_cpu} % of one core   (goal < 2 %)"
echo "private memory: ${tray_mem} MB in the tray, ${shown_mem} MB shown   (goal < 60 MB)"
