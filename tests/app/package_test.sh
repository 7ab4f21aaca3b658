#!/usr/bin/env bash
# The install and the Debian package: an install into a temporary DESTDIR holds the program, its
# desktop entry, icons at every size, metainfo and manual page, all valid; the .deb names its
# library dependencies, and unpacked into a temporary folder its korvane answers --version. The
# machine's own system is not touched.
set -euo pipefail
build="$1"
version="$2"
fail() { echo "FAIL: $*"; exit 1; }
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage/install" cmake --install "$build" > /dev/null
prefix="$stage/install/usr"
for file in bin/korvane share/applications/korvane.desktop share/metainfo/io.github.tollmere.Korvane.metainfo.xml \
            share/man/man1/korvane.1 share/icons/hicolor/scalable/apps/korvane.svg; do
  [ -f "$prefix/$file" ] || fail "the install lacks $file"
done
for size in 16 32 48 64 128; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/korvane.png"
  [ -f "$icon" ] || fail "the install lacks the ${size}x${size} icon"
  file "$icon" | grep -q "${size} x ${size}" || fail "the ${size}x${size} icon is $(file -b "$icon")"
done
desktop-file-validate "$prefix/share/applications/korvane.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.tollmere.Korvane.metainfo.xml" \
  || fail "the metainfo is not valid"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS"; do
  grep -q "^\.SH $section\$" "$prefix/share/man/man1/korvane.1" || fail "the manual page has no $section"
done
# korvaned and what the system needs to run it: its unit (its own user, the three capabilities and
# no other), D-Bus activation and policy, the polkit actions, the user.
for file in libexec/korvaned lib/systemd/system/korvaned.service share/dbus-1/system-services/io.github.tollmere.Korvane1.service \
            share/dbus-1/system.d/io.github.tollmere.Korvane1.conf share/polkit-1/actions/io.github.tollmere.korvane.policy \
            lib/sysusers.d/korvane.conf; do
  [ -f "$prefix/$file" ] || fail "the install lacks $file"
done
unit="$prefix/lib/systemd/system/korvaned.service"
grep -q '^ExecStart=/usr/libexec/korvaned$' "$unit" || fail "the unit does not start /usr/libexec/korvaned"
grep -q '^User=korvane$' "$unit" || fail "the unit does not run as korvane"
for key in AmbientCapabilities CapabilityBoundingSet; do
  grep -q "^$key=CAP_SYS_NICE CAP_NET_ADMIN CAP_SYS_PTRACE\$" "$unit" || fail "the unit's $key is not the three"
done
for key in NoNewPrivileges=yes ProtectSystem=strict ProtectHome=yes PrivateTmp=yes \
           "RestrictAddressFamilies=AF_UNIX AF_NETLINK" SystemCallFilter=@system-service MemoryDenyWriteExecute=yes; do
  grep -qx "$key" "$unit" || fail "the unit lacks $key"
done
for xml in share/dbus-1/system.d/io.github.tollmere.Korvane1.conf share/polkit-1/actions/io.github.tollmere.korvane.policy; do
  /usr/bin/python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$prefix/$xml" ||
    fail "$xml is not well-formed"
done
grep -c '<action id="io.github.tollmere.korvane.' "$prefix/share/polkit-1/actions/io.github.tollmere.korvane.policy" |
  grep -qx 2 || fail "the polkit actions are not the two"
# The bus takes the policy: a bus of the test's own reads it.
printf '<busconfig><type>system</type><listen>unix:path=%s</listen><auth>EXTERNAL</auth><include>%s</include></busconfig>\n' \
  "$stage/bus" "$prefix/share/dbus-1/system.d/io.github.tollmere.Korvane1.conf" > "$stage/bus.conf"
timeout 5 dbus-daemon --config-file="$stage/bus.conf" --print-address=1 --fork > /dev/null 2>&1 ||
  fail "the bus does not take the policy"
pkill -f "$stage/bus.conf" || true
echo "install tree complete and valid"

deb="$(ls "$build"/korvane_"$version"_*.deb 2>/dev/null | head -1)"
[ -n "$deb" ] || fail "no package korvane_${version}_*.deb in $build"
info="$(dpkg-deb -I "$deb")"
echo "$info" | grep -q '^ Package: korvane$' || fail "the package is not named korvane"
echo "$info" | grep -q "^ Version: $version\$" || fail "the package version is not $version"
echo "$info" | grep -E '^ Depends:' | grep -q 'libqt6widgets6' || fail "the package does not depend on Qt: $info"
dpkg-deb -x "$deb" "$stage/unpacked"
[ "$("$stage/unpacked/usr/bin/korvane" --version)" = "korvane $version" ] || fail "the unpacked korvane does not answer --version"
[ "$("$stage/unpacked/usr/libexec/korvaned" --version)" = "korvaned $version" ] || fail "the unpacked korvaned does not answer --version"
echo "$info" | grep -E '^ Depends:' | grep -q 'libsystemd0' || fail "the package does not depend on libsystemd0: $info"
for script in postinst prerm postrm; do
  echo "$info" | grep -q " $script" || fail "the package has no $script"
done
echo "package $(basename "$deb") depends on $(echo "$info" | grep -E '^ Depends:' | cut -c11- | cut -c1-80)..."
echo "1 passed, 0 failed"
