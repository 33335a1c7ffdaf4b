#!/usr/bin/env bash
# Builds the Debian package vikora_<version>_<arch>.deb in build-deb/, with
# Debian's hardening flags, then checks it with lintian when it is installed.
#   packaging/build-deb.sh
# Then: dpkg -I build-deb/vikora_*.deb; apt-get install ./build-deb/vikora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's compiler and linker flags (fortified functions, stack protector,
# full RELRO, immediate binding); the debug symbols would be stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_STRIP=-g
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVIKORA_BUILD_TESTS=OFF -DVIKORA_BUILD_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build build-deb -j "$(nproc)"
rm -f build-deb/vikora_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/vikora_*.deb)
echo "$deb"
if command -v lintian >/dev/null; then
    lintian --info --display-info --pedantic "$deb"
fi
