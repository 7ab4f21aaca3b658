#!/usr/bin/env bash
# The command line: --help, --version and --cpus answer and exit 0, an unknown option or argument prints
# the usage to standard error and exits 2, and a start without any display says so and exits 2;
# none of them opens a window or writes a file or a lock.
set -uo pipefail
korvane="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p -m 0700 "$work/run" "$work/home"
beside="$(ls -A "$(dirname "$korvane")")"
run() { # expected-status out err args...
  local expected=$1 out=$2 err=$3; shift 3
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    "$korvane" "$@" > "$out" 2> "$err" || status=$?
  [ "$status" -eq "$expected" ] || fail "korvane $* exited $status, not $expected: $(cat "$err")"
}

run 0 "$work/out" "$work/err" --help
grep -q '^Usage: ' "$work/out" || fail "--help printed no usage"
grep -q -- '--version' "$work/out" || fail "--help does not name --version"
[ -s "$work/err" ] && fail "--help wrote to standard error"

grep -q -- '--cpus' "$work/out" || fail "--help does not name --cpus"

# --cpus: one line per CPU of this machine under a heading, then the presets; no display needed.
run 0 "$work/out" "$work/err" --cpus
[ "$(sed -n '2,/^$/p' "$work/out" | grep -c '^[0-9]')" -ge "$(nproc)" ] \
  || fail "--cpus did not list every CPU: $(cat "$work/out")"
grep -q '^All CPUs  *[0-9]' "$work/out" || fail "--cpus listed no presets: $(cat "$work/out")"
# Then whether favorites are given at the start of a program, and if not, why.
grep -Eq '^start watch: (on \(korvaned\)$|(on|off), )' "$work/out" || fail "--cpus did not tell the start watch: $(cat "$work/out")"
# And on a captured tree, what it tells.
KORVANE_SYSFS_ROOT="$(dirname "$0")/../data/cpu-trees/vm2" run 0 "$work/out" "$work/err" --cpus
[ "$(sed -n '/^presets:/,/^$/p' "$work/out" | awk 'NF > 1 {print $NF}' | tr '\n' ' ')" = "01 1 " ] \
  || fail "--cpus on the captured tree: $(cat "$work/out")"
grep -q '^1     yes     yes      0        1     0       1      480MB       0     -$' "$work/out" \
  || fail "--cpus on the captured tree: $(cat "$work/out")"

run 0 "$work/out" "$work/err" --version
[ "$(cat "$work/out")" = "korvane $2" ] || fail "--version printed '$(cat "$work/out")', not 'korvane $2'"

for bad in --bogus -x extra; do
  run 2 "$work/out" "$work/err" "$bad"
  grep -q '^Usage: ' "$work/err" || fail "korvane $bad printed no usage to standard error"
  [ -s "$work/out" ] && fail "korvane $bad wrote to standard output"
done

run 2 "$work/out" "$work/err"
[ "$(wc -l < "$work/err")" -eq 1 ] || fail "a start without a display printed: $(cat "$work/err")"
grep -qi 'display' "$work/err" || fail "a start without a display did not say so: $(cat "$work/err")"

[ -z "$(find "$work/run" "$work/home" -mindepth 1)" ] || fail "files were written: $(find "$work/run" "$work/home" -mindepth 1)"
[ "$(ls -A "$(dirname "$korvane")")" = "$beside" ] || fail "files were written beside the program"
echo "command line answers without starting"
echo "1 passed, 0 failed"
