#!/usr/bin/env bash
# Builds the Debian package dranelwisp_<version>_<arch>.deb from an installed
# (not portable) build in build/package, or in the folder given, and prints
# the package's path (and nothing else on standard output). Installs the
# missing build dependencies first (as root or through sudo), so it works on
# a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/package}

# dpkg-dev gives dpkg-buildflags and dpkg-shlibdeps, and cpack needs file to
# find the executables whose libraries become the package's dependencies.
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev file)
bash scripts/install-packages.sh "${packages[@]}" >&2

# Compiled and linked with Debian's hardening flags: stack protector,
# _FORTIFY_SOURCE, format checks, relro and immediate binding. They are
# handed to CMake explicitly, because CMake reads CXXFLAGS and LDFLAGS from
# the environment only when the build folder is first configured.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
# Only the program and the substitute tool are built, and cpack builds
# nothing more.
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DDRANELWISP_PORTABLE=OFF \
      -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target dranelwisp xwisp2w >&2
(cd "$out" && cpack -G DEB) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
