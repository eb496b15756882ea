#!/usr/bin/env bash
# End-to-end test of the Windows zip under Wine and an Xvfb of its own. The
# zip is unpacked into a fresh folder and run as it stands, with no Qt on
# Wine's search path, in a Wine prefix of its own:
#  1. a first start without an INI file opens the configuration dialog by
#     itself; File > Exit then writes dranelwisp.ini beside the exe, in CR LF,
#     with the ten keys in their order and ".\" as the read folder;
#  2. with an INI file whose WispProgram is the recorder (a Windows program
#     that writes down its raw GetCommandLineW), F6 and F9 hand it the
#     composed lines byte for byte.
# Usage: wine_e2e.sh ZIP RECORDER_EXE
set -euo pipefail
zip=$(realpath "$1")
recorder=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
for tool in wine unzip Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
source "$root/scripts/xsession.sh"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH
cleanup() {
    wineserver -k 2>/dev/null || true
    xsession_end "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ ! -s "$work/program.out" ] || { echo "The program's output:"; tail -n 20 "$work/program.out"; } >&2
    exit 1
}

# The Windows name Wine gives a Linux path (drive Z: is the root).
winpath() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

# File > Exit, then up to 20 s for the program to end; keys lost to another
# window are typed again.
exit_through_menu() {
    for _ in 1 2 3; do
        activate_keys "$main" alt+f x
        for _ in $(seq 200); do
            kill -0 "$app" 2>/dev/null || {
                wait "$app" || fail "the program ended with status $?"
                app=
                return
            }
            sleep 0.1
        done
    done
    fail "the program did not end after File > Exit"
}

echo "Unpacking $(basename "$zip") and preparing a Wine prefix"
mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
exe=$(find "$work/unpacked" -name dranelwisp.exe)
[ -n "$exe" ] || fail "no dranelwisp.exe in the zip"
folder=$(dirname "$exe")
ini=$folder/dranelwisp.ini
xsession_start "$work"
# The Linux platform name would keep the Windows Qt from starting.
unset QT_QPA_PLATFORM
# Wine's desktop process starts with the prefix and stays on the display it
# found then.
wine wineboot --init >/dev/null 2>&1

# Wine takes a window for the active one only when it is clicked; the X
# focus alone leaves keys with the window Wine last activated (after F6 that
# is the console of the started tool). The click goes to the tiles in the
# window's bottom left corner.
activate_keys() {
    local HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep '^HEIGHT=')"
    xdotool mousemove --window "$1" 4 $((HEIGHT - 4)) click 1
    keys "$@"
}

start() {
    (cd "$folder" && exec wine dranelwisp.exe >"$work/program.out" 2>&1) &
    app=$!
}

echo "1. First start without an INI file"
[ ! -e "$ini" ] || fail "the zip holds an INI file"
start
dialog=$(window 'Programming software and settings') || fail "the configuration dialog did not open by itself"
keys "$dialog" Escape
main=$(window 'Dranel-Wisp Command Interface') || fail "no main window after the dialog"
exit_through_menu
[ -f "$ini" ] || fail "File > Exit wrote no dranelwisp.ini beside the exe"
expected=$(printf '[DranelWispConfig]\r\nBaud=19200\r\nHexInputFile=\r\nPort=1\r\nRtsOn=1\r\nVerbose=1\r\nTargetEnabled=0\r\nTarget=16F84A\r\nWispProgram=\r\nPause=\r\nReadOutputDir=.\\\r\n_')
if [ "$(cat "$ini"; echo _)" != "$expected" ]; then
    od -c "$ini" | head -20 >&2
    fail "dranelwisp.ini is not the ten default keys in order with CR LF"
fi

echo "2. F6 and F9 hand the recorder the composed lines"
mkdir "$work/the tool" "$work/my pics" "$work/read out"
cp "$recorder" "$work/the tool/recorder.exe"
printf ':00000001FF\r\n' >"$work/my pics/blink.hex"
tool=$(winpath "$work/the tool/recorder.exe")
hex=$(winpath "$work/my pics/blink.hex")
readdir=$(winpath "$work/read out")
printf '%s\r\n' '[DranelWispConfig]' "WispProgram=$tool" 'Port=2' 'Baud=57600' 'RtsOn=0' \
    'Verbose=0' 'TargetEnabled=1' 'Target=16F84A' 'Pause=Done now' "ReadOutputDir=$readdir" \
    "HexInputFile=$hex" '[MRU]' "MRU_1=$hex" >"$ini"
start
main=$(window 'Dranel-Wisp Command Interface') || fail "no main window"
recorded=$work/the\ tool/recorded.txt
lines() { [ -f "$recorded" ] && wc -l <"$recorded" || echo 0; }
# The console of a tool started a moment before may still come up and take
# the keys: a key that started nothing within 10 s is pressed again.
press_for_line() {
    for _ in 1 2 3; do
        activate_keys "$main" "$2"
        for _ in $(seq 100); do [ "$(lines)" -ge "$1" ] && return; sleep 0.1; done
    done
}
press_for_line 1 F6
press_for_line 2 F9
[ "$(lines)" -eq 2 ] || fail "the recorder was started $(lines) times for F6 and F9, not twice:
$(cat "$recorded" 2>/dev/null)"
exit_through_menu

program_line="\"$tool\" PORT 2 BAUD 57600  TARGET 16F84A   GO \"$hex\"  PAUSE \"Done now\""
got=$(sed -n 1p "$recorded")
[ "$got" = "$program_line" ] || fail "F6 handed the tool
  $got
instead of
  $program_line"
# The read line names a new file in the read folder: a 14-digit stamp.
head="\"$tool\" PORT 2 BAUD 57600  TARGET 16F84A   READ \"$readdir\\"
tail='.hex" RUN  PAUSE "Done now"'
got=$(sed -n 2p "$recorded")
stamp=${got#"$head"}
stamp=${stamp%"$tail"}
[ "$head$stamp$tail" = "$got" ] && [[ "$stamp" =~ ^[0-9]{14}$ ]] || fail "F9 handed the tool
  $got
instead of
  $head<14 digits>$tail"
grep -q $'\r$' "$ini" || fail "the INI file lost its CR LF line ends"
echo "PASS"
