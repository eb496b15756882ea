#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and starts the
# unpacked program under an Xvfb of its own, with HOME and XDG_CONFIG_HOME in
# a temporary folder. The installed program keeps its INI file in the user's
# configuration folder, which its first save makes, and writes nothing beside
# itself; an INI file placed beside it is used instead.
#   package_run.sh <source folder> <package build folder>
set -euo pipefail
deb=$(bash "$1/scripts/package.sh" "$2")
tmp=$(mktemp -d)
app=
xvfb=
finish() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$tmp"
}
trap finish EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$tmp/root"
bin=$tmp/root/usr/bin
config=$tmp/config/dranelwisp/dranelwisp.ini
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir "$HOME"

# Xvfb picks a free display and writes its number into the pipe. Without
# -noreset it would restart whenever its last client leaves and refuse a
# program that connects meanwhile.
mkfifo "$tmp/display"
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
read -r -t 30 number <"$tmp/display" || fail "Xvfb did not start"
export DISPLAY=:$number

window() { # the visible window of exactly this caption, once it shows
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 | grep . && return
        kill -0 "$app" 2>/dev/null || fail "the program ended before \"$1\" showed"
        sleep 0.1
    done
    fail "no window \"$1\" showed"
}
keys() { # without a window manager, keys reach only the window with the focus
    xdotool windowfocus --sync "$1"
    for _ in $(seq 100); do [ "$(xdotool getwindowfocus)" = "$1" ] && break; sleep 0.1; done
    xdotool key --delay 50 "${@:2}"
}
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
keys "$(window 'Programming software and settings')" Escape
exit_through_menu "$(window 'Dranel-Wisp Command Interface')"
grep -q '^\[DranelWispConfig\]' "$config" || fail "no settings in $config"
[ -z "$(find "$tmp/root" -newer "$tmp/before")" ] || fail "written beside the program: $(ls "$bin")"

# A portable INI file beside the program wins over the one in the folder.
cp "$config" "$tmp/config-before"
printf '[DranelWispConfig]\nWispProgram=%s\nPort=7\n' "$tmp/root/usr/libexec/dranelwisp/xwisp2w" \
    >"$bin/dranelwisp.ini"
"$bin/dranelwisp" &
app=$!
exit_through_menu "$(window 'Dranel-Wisp Command Interface')"
grep -q '^Baud=19200$' "$bin/dranelwisp.ini" || fail "the INI file beside the program was not saved"
grep -q '^Port=7$' "$bin/dranelwisp.ini" || fail "the INI file beside the program was not read"
cmp -s "$config" "$tmp/config-before" || fail "the INI file in the configuration folder changed"
