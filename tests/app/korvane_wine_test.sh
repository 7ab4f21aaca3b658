#!/usr/bin/env bash
# korvane.exe as a user has it (from the zip that ships, or the bare file), under wine on a real X server (Xvfb) with a tray host: it starts
# and shows its window, adds its tray icon, gives a favorite program started after it its affinity
# with "Auto Set Affinity" on, and writes its settings to the registry when the session ends.
set -euo pipefail
korvane="$1"
child="$2"

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
cleanup_steps+=('"$wineserver" -k 2>/dev/null')
start_xvfb 260 360
export XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "no tray host"

cd "$work"
# A wine of its own, with the X driver (the null driver has no tray).
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
"$wineserver" -p
"$wine" cmd /c exit
"$wine" reg add 'HKCU\Software\Tollmere\Korvane' /v AutoSet /d 1 /f >/dev/null

# The program alone in a folder, beside a favorite: the probe, on CPU 0 only.
mkdir -p "$work/app" "$work/unpacked"
if [ "${korvane%.zip}" != "$korvane" ]; then
  (cd "$work/unpacked" && cmake -E tar xf "$korvane")
  unpacked=("$work"/unpacked/korvane-*-win64)
  [ -f "${unpacked[0]}/korvane.exe" ] && [ -f "${unpacked[0]}/README.txt" ] && [ -f "${unpacked[0]}/Korvane-portable.txt" ] \
    || fail "the zip holds no korvane-VERSION-win64/korvane.exe, README.txt and Korvane-portable.txt"
  cp "${unpacked[0]}/korvane.exe" "$work/app/korvane.exe"
else
  cp "$korvane" "$work/app/korvane.exe"
fi
cp "$child" "$work/app/Korvane_probe.exe"
printf '%-34s0\r\n' "Korvane_probe.exe" > "$work/app/MyFav.Affinity"
"$wine" "$work/app/korvane.exe" >/dev/null 2>&1 &
korvane_pid=$!
pids+=($korvane_pid)
window_shown() {
  local window
  for window in $(xdotool search --name '^Korvane$'); do
    [ "$(xwininfo -id "$window" | sed -n 's/.*Map State: //p')" = IsViewable ] && return 0
  done
  return 1
}
wait_for 30 window_shown || fail "no window shown"
echo "window shown"

# The tray host embeds the icon's window, which wine's desktop process (explorer.exe) draws.
wait_for 20 sh -c 'xwininfo -root -tree | grep -A6 "\"panel\"" | grep -q "explorer.exe"' ||
  fail "no tray icon in the tray host: $(xwininfo -root -tree | grep -A6 "\"panel\"")"
echo "tray icon added"

# A favorite started after Korvane gets its affinity: the probe's threads end on CPU 0 only.
"$wine" "$work/app/Korvane_probe.exe" 2 >/dev/null 2>&1 &
pids+=($!)
probe_on_cpu0() {
  local pid
  pid="$(pgrep -f 'Korvane_probe.exe' | head -1)" || return 1
  [ -n "$pid" ] || return 1
  for task in /proc/"$pid"/task/*; do
    grep -q '^Cpus_allowed_list:[[:space:]]*0$' "$task/status" || return 1
  done
}
wait_for 30 probe_on_cpu0 || fail "the favorite did not get its affinity: $(grep Cpus_allowed_list /proc/"$(pgrep -f Korvane_probe.exe | head -1)"/status)"
echo "favorite set to CPU 0"

# The end of the session (WM_QUERYENDSESSION, WM_ENDSESSION) is a real exit: settings written.
"$wine" wineboot --end-session >/dev/null 2>&1 || true
wait_for 30 sh -c "! kill -0 $korvane_pid" || fail "Korvane did not end with the session"
settings="$("$wine" reg query 'HKCU\Software\Tollmere\Korvane' 2>/dev/null | tr -d '\r')"
for key in Hwnd Top Left Height AutoSet MiniMe ConfirmRemvFav SortFavByAff TrayForeColor TrayAsNum; do
  grep -q "^ *$key *REG_SZ" <<< "$settings" || fail "no $key in the registry: $settings"
done
grep -q "AutoSet *REG_SZ *1" <<< "$settings" || fail "AutoSet not kept: $settings"
[ -f "$work/app/MyFav.Affinity" ] || fail "favorites file gone"
echo "settings written at the end of the session"
