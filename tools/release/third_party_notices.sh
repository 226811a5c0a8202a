#!/usr/bin/env bash
# The licences of every library built into the extension DLLs, as their Debian packages state
# them, on standard output.
set -euo pipefail

notice() {
    local what="$1" licence="$2" package="$3"
    printf '%s\n' "================================================================================"
    printf '%s\nLicence: %s\nAs stated by the Debian package %s:\n\n' "$what" "$licence" "$package"
}

cat <<'TXT'
The extension DLLs are built from the reaper_vantorel_extension sources (MIT, see LICENSE) and
contain parts of the libraries below, linked statically.

TXT
notice "JUCE 7.0.5, the modules juce_core and juce_events (the other modules are not used)" \
    "ISC" juce-modules-source-data
cat /usr/share/doc/juce-modules-source-data/copyright
notice "protobuf-lite 3.21.12" "BSD-3-Clause" libprotobuf-dev
cat /usr/share/doc/libprotobuf-dev/copyright
boost="$(dpkg -S /usr/include/boost/shared_ptr.hpp | cut -d: -f1)"
notice "Boost smart pointers (headers)" "BSL-1.0" "$boost"
sed -n '/^ *Boost Software License - Version 1.0 - August 17th, 2003/,/DEALINGS IN THE SOFTWARE\./p' \
    "/usr/share/doc/$boost/copyright" | head -n 30
notice "The MinGW-w64 runtime and winpthreads" "ZPL-2.1, expat and the others listed" \
    mingw-w64-common
cat /usr/share/doc/mingw-w64-common/copyright
notice "GCC's runtime libraries (libgcc, libstdc++)" \
    "GPL-3.0 with the GCC Runtime Library Exception 3.1" gcc-mingw-w64-base
cat /usr/share/doc/gcc-mingw-w64-base/copyright
notice "zlib" "Zlib" libz-mingw-w64-dev
cat /usr/share/doc/libz-mingw-w64-dev/copyright
