#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and looks at the tree as a
# desktop does: the menu entry starts a program that is there, its icon is
# there at every size of the hicolor theme and as a drawing that looks like
# them, the metainfo names the menu entry and the changelog's release, the
# substitute tool is off the PATH, and no executable carries a RUNPATH.
set -euo pipefail
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$1" --prefix /usr >/dev/null 2>&1
cd "$root/usr"
desktop=$(echo share/applications/*.desktop)
[ -f "$desktop" ] || fail "not one menu entry: $desktop"
id=$(basename "$desktop" .desktop)
program=$(sed -n 's/^Exec=//p' "$desktop")
[ "$(ls bin)" = "$program" ] || fail "bin/ holds '$(ls bin)', the menu entry starts '$program'"
[ -x "bin/$program" ] || fail "bin/$program is not executable"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "the icon is not named $id"
for size in 16 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x${size}/apps/$id.png
    # A PNG's width and height are the two big-endian words at byte 16.
    [ "$(od -An -tx1 -j16 -N8 "$png" 2>/dev/null | tr -d ' \n')" = "$(printf '%08x%08x' $size $size)" ] ||
        fail "$png is missing or not $size x $size pixels"
done
svg=share/icons/hicolor/scalable/apps/$id.svg
rsvg-convert -w 64 -h 64 -o "$root/svg.png" "$svg" || fail "$svg does not render"
rmse=$(compare -metric RMSE "$root/svg.png" share/icons/hicolor/64x64/apps/$id.png null: 2>&1 || true)
rmse=${rmse##*(}
awk "BEGIN { exit !(${rmse%)} < 0.05) }" || fail "$svg drawn at 64 pixels is not the PNG icon: $rmse"
zcat share/doc/dranelwisp/changelog.gz >"$root/changelog"
release="<release version=\"$(dpkg-parsechangelog -l "$root/changelog" -S Version)\" \
date=\"$(date -u -d @"$(dpkg-parsechangelog -l "$root/changelog" -S Timestamp)" +%F)\""
grep -qF "$release" "share/metainfo/$id.metainfo.xml" || fail "the metainfo has no $release"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not name $id.desktop"
[ -x libexec/dranelwisp/xwisp2w ] || fail "the substitute tool is not in libexec/dranelwisp"
for program in bin/* libexec/dranelwisp/*; do
    if readelf -d "$program" | grep -E 'R(UN)?PATH'; then fail "$program has a RUNPATH"; fi
done
