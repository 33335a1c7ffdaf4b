#!/usr/bin/env bash
# Builds the Debian package vikora_<version>_<arch>.deb in build-deb/.
#   packaging/build-deb.sh
# Then: dpkg -I build-deb/vikora_*.deb; lintian build-deb/vikora_*.deb;
#       apt-get install ./build-deb/vikora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVIKORA_BUILD_TESTS=OFF -DVIKORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-deb -j "$(nproc)"
(cd build-deb && cpack -G DEB)
ls build-deb/vikora_*.deb
