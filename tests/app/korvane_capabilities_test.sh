#!/usr/bin/env bash
# A copy of korvane given capabilities (as the old advice was: setcap on the file), started as
# another user who makes Qt load a plugin of theirs by each route: the plugin must find a process
# that holds no capability, and korvane must say once that it gave them up. Needs root (setcap,
# and a user to become); exits 77 (skipped) without it.
set -uo pipefail
korvane="$1"
plugins="$2"
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
for tool in setcap setpriv timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"
cp "$korvane" "$work/korvane"
cp -r "$plugins" "$work/plugins"
chmod -R a+rX "$work/plugins"
setcap cap_net_admin,cap_sys_nice,cap_sys_ptrace+p "$work/korvane" || { echo "SKIP: no file capabilities here"; exit 77; }
getcap "$work/korvane" | grep -q cap_sys_ptrace || fail "setcap did not take"
mkdir -p "$work/home" "$work/run" "$work/out"
chown 65534:65534 "$work/home" "$work/run" "$work/out"
chmod 0700 "$work/run"

# as_user ROUTE ENV... -- ARGS...: korvane as uid 65534 with the environment given.
as_user() {
  local route=$1; shift
  local -a env_args=()
  while [ "$1" != "--" ]; do env_args+=("$1"); shift; done
  shift
  # The platform routes end in Qt's abort (the probe is no platform): the subshell keeps bash's
  # word of it out of the output.
  (setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    KORVANE_PROBE_OUT="$work/out/$route" "${env_args[@]}" \
    timeout -s TERM 4 "$work/korvane" "$@" > "$work/$route.out" 2> "$work/$route.err"; true) 2>/dev/null
  return 0
}

as_user platform-option -- -platformpluginpath "$work/plugins/platforms" -platform probe
as_user platform-path QT_QPA_PLATFORM_PLUGIN_PATH="$work/plugins/platforms" QT_QPA_PLATFORM=probe --
as_user style QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" QT_STYLE_OVERRIDE=probe --
as_user input-method QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$work/plugins" QT_IM_MODULE=probe --

for route in platform-option platform-path style input-method; do
  report="$work/out/$route"
  [ -s "$report" ] || fail "$route: the plugin was not loaded, so the route proves nothing: $(cat "$work/$route.err")"
  grep -q ' uid=65534 ' "$report" || fail "$route: the plugin did not run as the other user: $(cat "$report")"
  for set in CapInh CapPrm CapEff CapAmb; do
    grep -q "$set:[[:space:]]*0000000000000000" "$report" ||
      fail "$route: the plugin ran with capabilities: $(cat "$report")"
  done
  [ "$(grep -c 'gave them up' "$work/$route.err")" -eq 1 ] ||
    fail "$route: korvane did not say once that it gave up its capabilities: $(cat "$work/$route.err")"
  echo "ok: $route"
done

# Without a plugin the copy still works, as a plain user process.
as_user cpus -- --cpus
grep -q '^start watch: off' "$work/cpus.out" || fail "--cpus as the other user: $(cat "$work/cpus.out" "$work/cpus.err")"
echo "PASS"
