#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need (only those
# missing), then configures and builds into ./build (not with --packages-only).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
          xvfb xdotool xterm x11-utils fonts-dejavu-core
          desktop-file-utils appstream dpkg-dev)
# The package tests read the .deb as Debian's archive does and draw the
# scalable icon.
packages+=(lintian librsvg2-bin imagemagick)
# bench/startup times the first map with a small X client of its own.
packages+=(libxcb1-dev)
bash scripts/install-packages.sh "${packages[@]}"
[ "${1:-}" != "--packages-only" ] || exit 0

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRANELWISP_PORTABLE=ON
cmake --build build -j"$(nproc)"
