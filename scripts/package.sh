#!/usr/bin/env bash
# Builds the Debian package dranelwisp_<version>_<arch>.deb from an installed
# (not portable) build in build/package, or in the folder given, and prints
# the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/package}

# Linked with immediate binding, as Debian links its programs. Only the
# program and the substitute tool are built, and cpack builds nothing more.
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DDRANELWISP_PORTABLE=OFF \
      -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target dranelwisp xwisp2w >&2
(cd "$out" && cpack -G DEB) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
