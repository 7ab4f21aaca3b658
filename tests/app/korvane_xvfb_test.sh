#!/usr/bin/env bash
# The built program on a real X server (Xvfb): it starts, shows its window, lists the real
# processes (a favorite child gets its affinity), shows a tray icon that follows the usage when a
# tray host runs, opens the tray menu on the release of the right button and ends from its "Exit
# Korvane". Under a window manager (openbox) the window keeps its place over restarts, a second
# start brings a closed window back every time, and the end of the session writes the settings.
set -euo pipefail
korvane="$1"
child="$2"

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
start_xvfb 150 250

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Tollmere" "$work/app"
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
printf '[Korvane]\nAutoSet=1\nTrayAsNum=1\n' > "$XDG_CONFIG_HOME/Tollmere/Korvane.conf"
cp "$korvane" "$work/app/korvane"
cp "$child" "$work/app/Korvane_probe"
printf 'Korvane_probe                     0\r\n' > "$work/app/MyFav.Affinity"

tray=0
start_trayer() {
  trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
  trayer_pid=$!
  pids+=($trayer_pid)
  wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\""'
}
if command -v trayer >/dev/null 2>&1; then
  start_trayer && tray=1
fi

"$work/app/Korvane_probe" 2 > /dev/null &
probe=$!
pids+=($probe)

started=$SECONDS
"$work/app/korvane" > "$work/korvane.log" 2>&1 &
korvane_pid=$!
pids+=($korvane_pid)

wait_for 20 sh -c 'xwininfo -root -tree | grep -q "\"Korvane\": (\"korvane\" \"Korvane\")  717x"' \
  || { cat "$work/korvane.log"; fail "the window did not show"; }
echo "window shown after $((SECONDS - started)) s"

wait_for 20 sh -c "taskset -p $probe | grep -q 'mask: 1\$'" || fail "the favorite child did not get its affinity"
echo "favorite applied to the real child process $probe"

if [ $tray -eq 1 ]; then
  icon_id() { xwininfo -root -tree | awk '/"panel"/{p=1} p && /"Korvane": \("korvane"/{print $1; exit}'; }
  wait_for 20 sh -c "xwininfo -root -tree | awk '/\"panel\"/{p=1} p && /\"Korvane\": \\(\"korvane\"/{f=1} END{exit !f}'" \
    || fail "no tray icon appeared in the tray host"
  id="$(icon_id)"
  snap() { import -window "$id" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }
  # Load both CPUs, then let them go idle: the number in the icon must change on the way.
  seen="$(snap)"
  changed=0
  spinners=()
  for i in 1 2; do "$child" 1 spin > /dev/null & spinners+=($!); pids+=($!); done
  for i in $(seq 1 60); do
    sleep 0.5
    [ $i -eq 20 ] && kill -9 "${spinners[@]}" 2>/dev/null
    [ "$(snap)" != "$seen" ] && { changed=1; break; }
  done
  [ $changed -eq 1 ] || fail "the tray icon did not change with the usage"
  echo "tray icon shown and changing with the usage"
else
  echo "SKIP tray checks: no tray host could run"
fi

running() { # alive and not a zombie waiting to be reaped
  local state
  state="$(ps -o stat= -p "$1" 2>/dev/null || true)"
  [ -n "$state" ] && [ "${state:0:1}" != "Z" ]
}
# Waits for the program to end; fails unless it ended with status 0.
ended_cleanly() { # pid what
  for i in $(seq 1 50); do running "$1" || break; sleep 0.2; done
  running "$1" && fail "korvane did not end on $2"
  local status=0
  wait "$1" || status=$?
  [ $status -eq 0 ] || { cat "$work/korvane.log"; fail "korvane ended with status $status on $2"; }
}
conf="$XDG_CONFIG_HOME/Tollmere/Korvane.conf"
settings_written() { # what
  grep -q '^Height=' "$conf" || fail "the settings were not written on $1"
  grep -q '^AutoSet=1' "$conf" || fail "the options were not written on $1"
}
visible_windows() { xdotool search --onlyvisible --class korvane 2>/dev/null | wc -l; }

if [ $tray -eq 1 ] && command -v xdotool >/dev/null 2>&1; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.3
  shown="$(visible_windows)"
  # The press of the right button alone opens nothing; its release opens the menu.
  xdotool mousedown 3
  sleep 0.7
  [ "$(visible_windows)" -eq "$shown" ] || fail "the tray menu opened on the press of the right button"
  xdotool mouseup 3
  wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --class korvane | wc -l) -gt $shown ]" \
    || fail "the tray menu did not open on the release of the right button"
  sleep 0.5
  running "$korvane_pid" || fail "the release of the right button chose an item"
  xdotool key Escape
  wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --class korvane | wc -l) -eq $shown ]" \
    || fail "the tray menu did not close"
  echo "tray menu opens on the release and closes without choosing"

  # The tray host restarts: the icon comes back by itself, and a menu opened from it at once stays
  # open (adding the icon again would take its window away and close the menu).
  kill "$trayer_pid"
  sleep 2.5
  start_trayer || fail "the tray host did not start again"
  wait_for 10 sh -c "xwininfo -root -tree | awk '/\"panel\"/{p=1} p && /\"Korvane\": \\(\"korvane\"/{f=1} END{exit !f}'" \
    || fail "the tray icon did not come back to the restarted tray host"
  id="$(icon_id)"
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.2
  xdotool mousedown 3; sleep 0.1; xdotool mouseup 3
  wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --class korvane | wc -l) -gt $shown ]" \
    || fail "the tray menu did not open after the tray host restarted"
  sleep 3
  [ "$(visible_windows)" -gt "$shown" ] || fail "the tray menu closed by itself after the tray host restarted"
  [ "$(icon_id)" = "$id" ] || fail "the icon was added again to the tray host that already held it"
  xdotool key Escape
  wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --class korvane | wc -l) -eq $shown ]" \
    || fail "the tray menu did not close"
  echo "after the tray host restarted, the icon came back and its menu stayed open"

  rm -f "$conf"
  xdotool mousedown 3; sleep 0.2; xdotool mouseup 3
  wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --class korvane | wc -l) -gt $shown ]" \
    || fail "the tray menu did not open again"
  sleep 0.3
  xdotool key Up Return # the last item: "Exit Korvane"
  ended_cleanly "$korvane_pid" "Exit Korvane"
  settings_written "Exit Korvane"
  echo "ended from the tray menu's Exit Korvane and wrote its settings"
else
  kill -TERM "$korvane_pid"
  ended_cleanly "$korvane_pid" SIGTERM
  settings_written SIGTERM
  echo "ended on SIGTERM and wrote its settings"
fi

if command -v openbox >/dev/null 2>&1 && command -v wmctrl >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  wait_for 10 sh -c 'wmctrl -m | grep -qi openbox' || fail "openbox did not start"
  # Starts korvane and returns as soon as its window shows.
  start_korvane_early() {
    "$work/app/korvane" > "$work/korvane.log" 2>&1 &
    korvane_pid=$!
    pids+=($korvane_pid)
    wait_for 20 sh -c '[ -n "$(xdotool search --onlyvisible --name "^Korvane\$")" ]' \
      || { cat "$work/korvane.log"; fail "the window did not show under openbox"; }
  }
  start_korvane() {
    start_korvane_early
    sleep 2 # past the time the window manager takes to frame and place it
  }
  placement() { grep -E '^(Top|Left|Height)=' "$conf" | sort | tr '\n' ' '; }
  printf '[Korvane]\nAutoSet=1\nTop=2400\nLeft=3000\nHeight=5400\n' > "$conf"
  before="$(placement)"
  for round in 1 2 3 4 5; do
    start_korvane
    kill -TERM "$korvane_pid"
    ended_cleanly "$korvane_pid" SIGTERM
    [ "$(placement)" = "$before" ] || fail "the window moved in round $round: $before -> $(placement)"
  done
  echo "the window kept its place over five starts: $before"
  start_korvane
  wmctrl -r Korvane -e 0,400,100,-1,-1 # as the user drags it
  sleep 1
  kill -TERM "$korvane_pid"
  ended_cleanly "$korvane_pid" SIGTERM
  [ "$(placement)" != "$before" ] || fail "a move by the user was not saved"
  echo "a move by the user was saved: $(placement)"

  # The outer rectangle (frame included) of the window: "x,y wxh".
  outer() {
    local w info x y width height
    w="$(xdotool search --onlyvisible --name '^Korvane$' | head -1)"
    [ -n "$w" ] || return 1
    info="$(xwininfo -id "$w")"
    x=$(echo "$info" | awk '/Absolute upper-left X/{print $4}')
    y=$(echo "$info" | awk '/Absolute upper-left Y/{print $4}')
    width=$(echo "$info" | awk '/Width:/{print $2}')
    height=$(echo "$info" | awk '/Height:/{print $2}')
    set -- $(xprop -id "$w" _NET_FRAME_EXTENTS | sed 's/.*= //;s/,//g')
    echo "$((x - $1)),$((y - $3)) $((width + $1 + $2))x$((height + $3 + $4))"
  }
  is_outer() { [ "$(outer)" = "$1" ]; }
  has_size() { outer | grep -q " $1\$"; }
  moved_from() { local now; now="$(outer)" && [ "${now% *}" != "$1" ]; }

  # Maximized: the fixed width and the height the window manager gives (the screen's, as no panel
  # reserves room); back to the normal placement, every time.
  printf '[Korvane]\nAutoSet=1\nTop=2400\nLeft=3000\nHeight=5400\n' > "$conf"
  start_korvane
  normal="$(outer)"
  [ "$normal" = "200,160 717x360" ] || fail "the window did not open at its placement: $normal"
  area_height="$(xprop -root _NET_WORKAREA | sed 's/.*= //;s/,//g' | awk '{print $4}')"
  for round in $(seq 1 20); do
    wmctrl -r Korvane -b add,maximized_vert,maximized_horz
    wait_for 3 has_size "717x$area_height" || fail "maximized to $(outer), not 717x$area_height (round $round)"
    wmctrl -r Korvane -b remove,maximized_vert,maximized_horz
    wait_for 3 is_outer "$normal" || fail "un-maximized to $(outer), not $normal (round $round)"
  done
  kill -TERM "$korvane_pid"
  ended_cleanly "$korvane_pid" SIGTERM
  [ "$(placement)" = "$before" ] || fail "maximizing changed the saved placement: $(placement)"
  echo "maximized to 717x$area_height and back to $normal, 20 times of 20"

  # A move right after the window appears is the user's, and stays.
  start_korvane_early
  sleep 0.4
  wmctrl -r Korvane -e 0,500,300,-1,-1
  wait_for 3 moved_from 200,160 || fail "the early move was undone at once"
  moved="$(outer)"
  sleep 1.5
  [ "$(outer)" = "$moved" ] || fail "a move 0.4 s after the window appeared was undone: $moved -> $(outer)"
  [ "${moved#* }" = "717x360" ] || fail "the window changed its size on an early move: $moved"
  # And again right after it comes back from the tray.
  window="$(xdotool search --onlyvisible --name '^Korvane$' | head -1)"
  wmctrl -c Korvane
  wait_for 5 sh -c "! xwininfo -id $window | grep -q IsViewable" || fail "closing did not hide the window"
  "$work/app/korvane" > /dev/null 2>&1 || fail "the second start failed"
  wait_for 3 sh -c "xwininfo -id $window | grep -q IsViewable" || fail "a second start did not bring the window back"
  sleep 0.4
  wmctrl -r Korvane -e 0,300,200,-1,-1
  wait_for 3 moved_from "${moved% *}" || fail "the move after the return was undone at once"
  moved="$(outer)"
  sleep 1.5
  [ "$(outer)" = "$moved" ] || fail "a move 0.4 s after the return from the tray was undone: $moved -> $(outer)"
  kill -TERM "$korvane_pid"
  ended_cleanly "$korvane_pid" SIGTERM
  x="${moved%%,*}"; rest="${moved#*,}"; y="${rest%% *}"
  grep -q "^Left=$((x * 15))\$" "$conf" && grep -q "^Top=$((y * 15))\$" "$conf" \
    || fail "the early move was not saved: $moved, $(placement)"
  echo "moves 0.4 s after the window appeared were kept and saved: $moved"

  start_korvane
  window="$(xdotool search --onlyvisible --name '^Korvane$' | head -1)"
  for try in $(seq 1 20); do
    wmctrl -c Korvane
    wait_for 5 sh -c "! xwininfo -id $window | grep -q IsViewable" || fail "closing did not hide the window (try $try)"
    "$work/app/korvane" > /dev/null 2>&1 || fail "the second start failed (try $try)"
    wait_for 3 sh -c "xwininfo -id $window | grep -q IsViewable" || fail "a second start did not bring the window back (try $try)"
  done
  running "$korvane_pid" || fail "the first instance ended"
  echo "a second start brought the closed window back 20 times out of 20"

  rm -f "$conf"
  kill -HUP "$korvane_pid" # the session's terminal or seat went away
  ended_cleanly "$korvane_pid" SIGHUP
  settings_written "the end of the session"
  echo "ended with the session (SIGHUP) and wrote its settings"
else
  echo "SKIP window manager checks: openbox, wmctrl or xdotool is missing"
fi

# A StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator) on a private session bus: its
# activation brings the window back, and its menu is the program's own.
sni_host="$(dirname "$0")/sni_host.py"
if start_sni_host "$work/items"; then
  printf '[Korvane]\nAutoSet=1\nMiniMe=1\n' > "$conf"
  "$work/app/korvane" > "$work/korvane.log" 2>&1 &
  korvane_pid=$!
  pids+=($korvane_pid)
  wait_for 20 test -s "$work/items" || { cat "$work/korvane.log"; fail "no item registered with the host"; }
  item="$(head -1 "$work/items")"
  sleep 1
  [ -z "$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null)" ] || fail "the window showed although minimized to the tray"
  /usr/bin/python3 "$sni_host" activate "$item"
  wait_for 5 sh -c '[ -n "$(xdotool search --onlyvisible --name "^Korvane\$")" ]' \
    || fail "activating the item did not bring the window back"
  labels="$(/usr/bin/python3 "$sni_host" labels "$item")"
  [ "$labels" = "$(printf 'Auto Set Favorites\nSet Favorites Now\nExit Korvane')" ] \
    || fail "the item's menu is not the tray menu: $labels"
  rm -f "$conf"
  /usr/bin/python3 "$sni_host" click "$item" "Exit Korvane"
  ended_cleanly "$korvane_pid" "the host menu's Exit Korvane"
  settings_written "the host menu's Exit Korvane"
  echo "on a StatusNotifierItem host: activation shows the window, the menu is exported and ends it"
else
  echo "SKIP StatusNotifierItem checks: dbus-daemon or python3-dbus and python3-gi are missing"
fi
echo "1 passed, 0 failed"
