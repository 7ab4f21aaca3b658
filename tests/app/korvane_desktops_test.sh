#!/usr/bin/env bash
# Where users are: a window manager with no tray host (openbox on Xvfb), and Wayland (weston,
# headless, no X server). Without a tray, closing and "Minimize to Tray on Start" leave the
# window minimized in the taskbar; a tray host started later takes the window again; a tray host
# that goes away while the window hides in it gives the window back, minimized. Under Wayland the
# program starts without a word on stderr, its lists end inside the window, and SIGTERM ends it
# with status 0 and the saved place untouched. Exits 77 when openbox or weston is missing.
set -euo pipefail
korvane="$1"
shot_out="${2:-}"

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
for tool in openbox wmctrl xprop trayer weston weston-screenshooter convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is missing"; exit 77; }
done
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Tollmere"
unset QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
conf="$XDG_CONFIG_HOME/Tollmere/Korvane.conf"

running() { kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" | cut -c1)" != Z ]; }
ended_with() { # pid status: waits for the end and checks its status
  local status=0
  for _ in $(seq 1 50); do running "$1" || break; sleep 0.2; done
  wait "$1" || status=$?
  [ "$status" -eq "$2" ] || fail "korvane ended with status $status, not $2"
}
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }

# --- Xvfb with openbox and no tray host -----------------------------------------------------------
start_xvfb 251 350
# A fresh Xvfb may still refuse a client for a moment after it first answered: try again.
for attempt in 1 2 3; do
  openbox > "$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 5 sh -c 'wmctrl -m | grep -qi openbox' && break
  [ "$attempt" -lt 3 ] || fail "openbox did not start on $DISPLAY: $(cat "$work/openbox.log")"
done

"$korvane" > "$work/x.log" 2>&1 &
k=$!
pids+=($k)
window_id() { wmctrl -l | awk '$NF == "Korvane" {print $1; exit}'; }
wait_for 20 sh -c "wmctrl -l | grep -q ' Korvane\$'" || { cat "$work/x.log"; fail "the window did not show"; }
id="$(window_id)"
wmctrl -i -c "$id"
wait_for 10 sh -c "xprop -id $id WM_STATE | grep -q Iconic" ||
  fail "closed without a tray, the window is $(wm_state "$id"), not minimized in the taskbar"
running "$k" || fail "closing the window without a tray ended the program"
echo "no tray: closing minimizes to the taskbar"

# A tray host comes: closing hides to it again.
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
trayer_pid=$!
pids+=($trayer_pid)
wait_for 10 sh -c "xwininfo -root -tree | awk '/\"panel\"/{p=1} p && /\"Korvane\": \\(\"korvane\"/{f=1} END{exit !f}'" ||
  fail "the icon did not come to the tray host started later"
wmctrl -i -a "$id"
wait_for 10 sh -c "xprop -id $id WM_STATE | grep -q Normal" || fail "the window did not come back"
wmctrl -i -c "$id"
wait_for 10 sh -c "[ \"\$(xprop -id $id WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')\" != Normal ] && ! xwininfo -id $id | grep -q IsViewable" ||
  fail "with a tray, closing did not hide the window"
[ "$(wm_state "$id")" != Iconic ] || fail "with a tray, closing minimized instead of hiding"
echo "tray host started later: closing hides to it"

# The tray host goes away while the window hides in it: the window comes back, minimized.
kill "$trayer_pid"
wait_for 10 sh -c "xprop -id $id WM_STATE | grep -q Iconic" ||
  fail "after the tray host went away the window is $(wm_state "$id"), not minimized in the taskbar"
echo "tray host gone: the window is back in the taskbar"
kill -TERM "$k"
ended_with "$k" 0

# "Minimize to Tray on Start" without a tray: minimized in the taskbar.
printf '[Korvane]\nMiniMe=1\n' > "$conf"
"$korvane" > "$work/x2.log" 2>&1 &
k=$!
pids+=($k)
wait_for 20 sh -c "wmctrl -l | grep -q ' Korvane\$'" || fail "no window with Minimize to Tray on Start"
id="$(window_id)"
wait_for 10 sh -c "xprop -id $id WM_STATE | grep -q Iconic" ||
  fail "Minimize to Tray on Start without a tray left the window $(wm_state "$id")"
echo "no tray: Minimize to Tray on Start minimizes to the taskbar"
kill -TERM "$k"
ended_with "$k" 0
unset DISPLAY

# --- Wayland: weston, headless, no X server ------------------------------------------------------
printf '[Korvane]\nTop=3000\nLeft=4500\n' > "$conf"
weston --backend=headless-backend.so --use-pixman --socket=korvane-test --debug --width=1280 --height=800 \
  > "$work/weston.log" 2>&1 &
pids+=($!)
wait_for 10 test -S "$XDG_RUNTIME_DIR/korvane-test" || { cat "$work/weston.log"; fail "weston did not start"; }
export WAYLAND_DISPLAY=korvane-test XDG_SESSION_TYPE=wayland
"$korvane" > "$work/w.out" 2> "$work/w.err" &
k=$!
pids+=($k)
sleep 4
running "$k" || { cat "$work/w.err"; fail "korvane did not run under Wayland"; }
(cd "$work" && weston-screenshooter) || fail "no screenshot from weston"
shot="$(ls "$work"/wayland-screenshot-*.png | head -1)"
[ -n "$shot" ] || fail "no screenshot file"
[ -z "$shot_out" ] || cp "$shot" "$shot_out"
read -r list_bottom window_bottom < <(convert "$shot" ppm:- | /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/window_rows.py")
[ "$list_bottom" -gt 0 ] && [ "$window_bottom" -gt 0 ] || fail "no window in the screenshot ($list_bottom, $window_bottom)"
[ $((window_bottom - list_bottom)) -ge 8 ] ||
  fail "the lists end at row $list_bottom, the window at $window_bottom: cut off at the bottom"
echo "Wayland: the lists end $((window_bottom - list_bottom)) px above the window's bottom"
kill -TERM "$k"
ended_with "$k" 0
[ ! -s "$work/w.err" ] || fail "korvane wrote to stderr under Wayland: $(cat "$work/w.err")"
grep -q '^Top=3000$' "$conf" && grep -q '^Left=4500$' "$conf" ||
  fail "the saved place changed under Wayland: $(grep -E '^(Top|Left)=' "$conf" | tr '\n' ' ')"
echo "Wayland: a clean start and end, the saved place untouched"

# The tray under Wayland is a StatusNotifierItem host's (KDE; GNOME with AppIndicator): minimized
# to it at start, the window shows again when the host activates the item.
screen_rows() { # the rows of a fresh screenshot: LIST_BOTTOM WINDOW_BOTTOM
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && weston-screenshooter) || fail "no screenshot from weston"
  convert "$(ls "$work"/wayland-screenshot-*.png | head -1)" ppm:- |
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/window_rows.py"
}
sni_host="$(dirname "${BASH_SOURCE[0]}")/sni_host.py"
if start_sni_host "$work/items"; then
  printf '[Korvane]\nMiniMe=1\n' > "$conf"
  "$korvane" > "$work/s.out" 2> "$work/s.err" &
  k=$!
  pids+=($k)
  wait_for 20 test -s "$work/items" || { cat "$work/s.err"; fail "no item registered with the host under Wayland"; }
  sleep 1
  read -r list_bottom window_bottom < <(screen_rows)
  [ "$list_bottom" -lt 0 ] || fail "the window showed although minimized to the tray"
  /usr/bin/python3 "$sni_host" activate "$(head -1 "$work/items")"
  sleep 2
  read -r list_bottom window_bottom < <(screen_rows)
  [ "$list_bottom" -gt 0 ] || fail "activating the item did not bring the window back under Wayland"
  kill -TERM "$k"
  ended_with "$k" 0
  [ ! -s "$work/s.err" ] || fail "korvane wrote to stderr under Wayland with a tray: $(cat "$work/s.err")"
  echo "Wayland: minimized to a StatusNotifierItem host, activation shows the window"
else
  echo "SKIP StatusNotifierItem checks under Wayland: dbus-daemon or python3-dbus and python3-gi are missing"
fi
echo "PASS"
