#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and starts the
# unpacked program under an Xvfb of its own, with HOME and XDG_CONFIG_HOME in
# a temporary folder. The installed program keeps its INI file in the user's
# configuration folder, which its first save makes, and writes nothing beside
# itself; an INI file placed beside it is used instead. lintian reads the
# package as Debian's archive does: no error, no warning, no hardening tag;
# and the compiler got Debian's hardening flags.
#   package_run.sh <source folder> <package build folder>
set -euo pipefail
deb=$(bash "$1/scripts/package.sh" "$2")
tmp=$(mktemp -d)
source "$1/scripts/xsession.sh"
trap 'xsession_end "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for flag in -fstack-protector-strong -D_FORTIFY_SOURCE=2; do
    grep -q -- " $flag " "$2/compile_commands.json" || fail "the package was built without $flag"
done
lintian=$(lintian -I "$deb" 2>&1 | grep -v 'root privileges') || true
grep -E '^[EW]: |hardening-' <<<"$lintian" && fail "lintian: $lintian"

dpkg-deb -x "$deb" "$tmp/root"
bin=$tmp/root/usr/bin
config=$tmp/config/dranelwisp/dranelwisp.ini
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config
mkdir "$HOME"

xsession_start "$tmp"

exit_through_menu() { # an error box at exit would keep the program open
    keys "$1" alt+f x
    for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null &&
        fail "still open after File > Exit: $(xdotool search --onlyvisible --name . getwindowname %@)"
    wait "$app" || fail "the program ended with code $?"
    app=
}

# First start: no INI file anywhere, so the configuration dialog comes up by
# itself; cancelled, the main window returns.
touch "$tmp/before"
"$bin/dranelwisp" &
app=$!
window 'Dranel-Wisp Command Interface' >/dev/null
dialog=$(window 'Programming software and settings')
keys "$dialog" Escape
main=$(window 'Dranel-Wisp Command Interface')
exit_through_menu "$main"
grep -q '^\[DranelWispConfig\]' "$config" || fail "no settings in $config"
[ -z "$(find "$tmp/root" -newer "$tmp/before")" ] || fail "written beside the program: $(ls "$bin")"

# A portable INI file beside the program wins over the one in the folder.
cp "$config" "$tmp/config-before"
printf '[DranelWispConfig]\nWispProgram=%s\nPort=7\n' "$tmp/root/usr/libexec/dranelwisp/xwisp2w" \
    >"$bin/dranelwisp.ini"
"$bin/dranelwisp" &
app=$!
main=$(window 'Dranel-Wisp Command Interface')
exit_through_menu "$main"
grep -q '^Baud=19200$' "$bin/dranelwisp.ini" || fail "the INI file beside the program was not saved"
grep -q '^Port=7$' "$bin/dranelwisp.ini" || fail "the INI file beside the program was not read"
cmp -s "$config" "$tmp/config-before" || fail "the INI file in the configuration folder changed"
