#!/usr/bin/env bash
# The built program on a real X server (Xvfb): it starts, shows its window, lists the real
# processes (a favorite child gets its affinity), shows a tray icon that follows the usage when a
# tray host runs, and on SIGTERM writes its settings and ends.
set -euo pipefail
korvane="$1"
child="$2"

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }
wait_for() { # seconds, command...
  local limit=$1; shift
  local until=$((SECONDS + limit))
  while ! "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.2
  done
}

display=""
for n in $(seq 150 250); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
wait_for 10 xwininfo -root || fail "Xvfb did not start"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Tollmere" "$work/app"
unset QT_QPA_PLATFORM
printf '[Korvane]\nAutoSet=1\nTrayAsNum=1\n' > "$XDG_CONFIG_HOME/Tollmere/Korvane.conf"
cp "$korvane" "$work/app/korvane"
cp "$child" "$work/app/Korvane_probe"
printf 'Korvane_probe                     0\r\n' > "$work/app/MyFav.Affinity"

tray=0
if command -v trayer >/dev/null 2>&1; then
  trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
  pids+=($!)
  wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\""' && tray=1
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
kill -TERM "$korvane_pid"
for i in $(seq 1 50); do running "$korvane_pid" || break; sleep 0.2; done
running "$korvane_pid" && fail "korvane did not end on SIGTERM"
wait "$korvane_pid" || { cat "$work/korvane.log"; fail "korvane ended with an error"; }
grep -q '^Height=' "$XDG_CONFIG_HOME/Tollmere/Korvane.conf" || fail "the settings were not written"
grep -q '^AutoSet=1' "$XDG_CONFIG_HOME/Tollmere/Korvane.conf" || fail "the options were not written"
echo "ended on SIGTERM and wrote its settings"
echo "1 passed, 0 failed"
