# Sourced by the tests that run a program on a virtual X server: a work folder and processes that go
# at the end, fail and wait_for, and start_xvfb FIRST LAST, which starts Xvfb on a free display
# numbered FIRST to LAST and exports DISPLAY. A test may add its own steps to cleanup_steps.
work="$(mktemp -d)"
pids=()
cleanup_steps=()
cleanup() {
  local step
  for step in "${cleanup_steps[@]}"; do eval "$step" || true; done
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

start_xvfb() { # first last
  local n display=""
  for n in $(seq "$1" "$2"); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
  done
  [ -n "$display" ] || fail "no free X display"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY="$display"
  wait_for 10 xwininfo -root || fail "Xvfb did not start"
}

# A StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator) on a private session bus, writing
# the service of every item that registers to FILE; returns 1 when the tools for it are missing.
start_sni_host() { # file
  command -v dbus-daemon >/dev/null 2>&1 && /usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || return 1
  local bus
  bus="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"
  export DBUS_SESSION_BUS_ADDRESS="$(echo "$bus" | head -1)"
  pids+=("$(echo "$bus" | tail -1)")
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sni_host.py" serve "$1" &
  pids+=($!)
  wait_for 10 sh -c 'dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher | grep -q true' ||
    fail "the StatusNotifierWatcher did not start"
}
