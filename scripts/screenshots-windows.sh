#!/usr/bin/env bash
# Pictures of the Windows build for the README: the main window and the
# configuration dialog under Wine, in docs/windows-main-window.png and
# docs/windows-configuration.png. Makes the zip first
# (scripts/build-windows.sh), unpacks it to C:\dranelwisp of a fresh Wine
# prefix with a prepared INI file and hex files in C:\Pic, and runs it on a
# Wine desktop of its own (so the windows get Windows frames) under an Xvfb of
# its own.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v import >/dev/null || { echo "ImageMagick's import is needed (apt-get install imagemagick)" >&2; exit 1; }
zip=$(bash scripts/build-windows.sh)

# A fixed folder, so that the pictures stay the same from run to run.
work=/tmp/dranelwisp-wine-demo
rm -rf "$work"
mkdir -m 700 "$work"
source scripts/xsession.sh
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; xsession_end "$work"' EXIT
xsession_start "$work"
# The Linux platform name would keep the Windows Qt from starting.
unset QT_QPA_PLATFORM
wine wineboot --init >/dev/null 2>&1

drive=$WINEPREFIX/drive_c
unzip -q "$zip" -d "$work"
mv "$work"/dranelwisp-*-win64 "$drive/dranelwisp"
mkdir "$drive/Pic"
for name in blink traffic-light servo-pwm; do printf ':00000001FF\r\n' >"$drive/Pic/$name.hex"; done
printf '%s\r\n' '[DranelWispConfig]' 'WispProgram=C:\dranelwisp\xwisp2w.exe' 'Port=1' 'Baud=19200' \
    'Verbose=1' 'ReadOutputDir=.\' '[MRU]' 'MRU_1=C:\Pic\blink.hex' \
    'MRU_2=C:\Pic\traffic-light.hex' 'MRU_3=C:\Pic\servo-pwm.hex' >"$drive/dranelwisp/dranelwisp.ini"

# The Wine desktop is one X window; each picture is that window trimmed to
# the one Windows window shown on it.
shot() {
    sleep 2
    import -window "$desktop" -trim +repage -strip -define png:exclude-chunks=date,time "docs/$1"
    echo "docs/$1"
}

(cd "$drive/dranelwisp" && exec wine explorer /desktop=dranelwisp,1024x768 'C:\dranelwisp\dranelwisp.exe' >/dev/null 2>&1) &
app=$!
desktop=$(window 'dranelwisp - Wine desktop')
mkdir -p docs
sleep 3
shot windows-main-window.png
keys "$desktop" F2
sleep 1
shot windows-configuration.png
keys "$desktop" Escape
sleep 1
keys "$desktop" alt+f x
wait "$app" || true
app=
