#!/usr/bin/env bash
# ./run release [URL-PREFIX]: what a user downloads, in build/release/, from the release builds
# (build/release-x64, build/release-x86). Every file depends only on the commit: times are the
# commit's, names and modes are fixed, archives list their files in a fixed order.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$ROOT/build/release"
NAME=reaper_vantorel_extension

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$ROOT/build/release-x64/CMakeCache.txt")"
[ -n "$version" ] || { echo "release: no release build in build/release-x64" >&2; exit 1; }
epoch="$(git -C "$ROOT" log -1 --format=%ct)"
time="$(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%SZ)"
prefix="${1:-https://example.invalid/$NAME/v$version/}"
prefix="${prefix%/}/"

rm -rf "$OUT"
mkdir -p "$OUT/zip" "$OUT/symbols"
for arch in x64 x86; do
    cp "$ROOT/build/release-$arch/$NAME-$arch.dll" "$OUT/zip/"
    cp "$ROOT/build/release-$arch/$NAME-$arch.dll.debug" "$OUT/symbols/"
done
sed "s/@VERSION@/$version/" "$ROOT/tools/release/INSTALL.txt" >"$OUT/zip/INSTALL.txt"
cp "$ROOT/LICENSE" "$OUT/zip/LICENSE"
"$ROOT/tools/release/third_party_notices.sh" >"$OUT/zip/THIRD-PARTY-NOTICES"
files=("$NAME-x64.dll" "$NAME-x86.dll" INSTALL.txt LICENSE THIRD-PARTY-NOTICES)
(cd "$OUT/zip" && sha256sum "${files[@]}" >SHA256SUMS)
files+=(SHA256SUMS)

# A zip of the given files in this order, with the commit's time, fixed modes and no extra fields.
pack() {
    local archive="$1" dir="$2"
    shift 2
    (cd "$dir" && chmod 644 "$@" && touch -d "@$epoch" "$@" && TZ=UTC zip -X -D -q "$archive" "$@")
}
pack "$OUT/$NAME-$version-windows.zip" "$OUT/zip" "${files[@]}"
pack "$OUT/$NAME-$version-windows-symbols.zip" "$OUT/symbols" "$NAME-x64.dll.debug" "$NAME-x86.dll.debug"
cp "$OUT/zip/$NAME-x64.dll" "$OUT/zip/$NAME-x86.dll" "$OUT/"

# The package manager's index: one package, this version, one file per platform, each copied
# into UserPlugins.
cat >"$OUT/index.xml" <<XML
<?xml version="1.0" encoding="utf-8"?>
<index version="1" name="$NAME">
  <category name="Extensions">
    <reapack name="$NAME.ext" type="extension" desc="Places audio files from the Vantorel application into the open project">
      <version name="$version" author="the $NAME authors" time="$time">
        <source platform="win64" file="$NAME-x64.dll">$prefix$NAME-x64.dll</source>
        <source platform="win32" file="$NAME-x86.dll">$prefix$NAME-x86.dll</source>
      </version>
    </reapack>
  </category>
</index>
XML
rm -rf "$OUT/zip" "$OUT/symbols"
(cd "$OUT" && ls -1)
