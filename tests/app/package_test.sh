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
echo "install tree complete and valid"

deb="$(ls "$build"/korvane_"$version"_*.deb 2>/dev/null | head -1)"
[ -n "$deb" ] || fail "no package korvane_${version}_*.deb in $build"
info="$(dpkg-deb -I "$deb")"
echo "$info" | grep -q '^ Package: korvane$' || fail "the package is not named korvane"
echo "$info" | grep -q "^ Version: $version\$" || fail "the package version is not $version"
echo "$info" | grep -E '^ Depends:' | grep -q 'libqt6widgets6' || fail "the package does not depend on Qt: $info"
dpkg-deb -x "$deb" "$stage/unpacked"
[ "$("$stage/unpacked/usr/bin/korvane" --version)" = "korvane $version" ] || fail "the unpacked korvane does not answer --version"
echo "package $(basename "$deb") depends on $(echo "$info" | grep -E '^ Depends:' | cut -c11- | cut -c1-80)..."
echo "1 passed, 0 failed"
