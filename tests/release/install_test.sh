#!/usr/bin/env bash
# The release as a user installs it: the index agrees with the zip, the checksums hold, and both
# DLLs copied into a fresh resource folder's UserPlugins give a host whose x64 extension serves a
# spot while the x86 one is skipped without a message box. One "ok" or "FAIL" line per check.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
REL="$ROOT/build/release"
BIN="$ROOT/build/windows-x64"
WORK="$ROOT/build/install-test"
NAME=reaper_vantorel_extension
WINE="$ROOT/cmake/wine-run"
failures=0
check() {
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

zip="$(ls "$REL"/$NAME-*-windows.zip 2>/dev/null | grep -v symbols | head -n1)"
check "release zip present" '[ -f "$zip" ]'
rm -rf "$WORK" && mkdir -p "$WORK/unpacked" "$WORK/resource/UserPlugins"
unzip -q "$zip" -d "$WORK/unpacked"
check "checksums of the zip's files hold" '(cd "$WORK/unpacked" && sha256sum --quiet -c SHA256SUMS)'
check "zip holds both DLLs, INSTALL.txt, LICENSE, THIRD-PARTY-NOTICES, SHA256SUMS" \
    '[ "$(unzip -Z1 "$zip" | sort | tr "\n" " ")" = "INSTALL.txt LICENSE SHA256SUMS THIRD-PARTY-NOTICES $NAME-x64.dll $NAME-x86.dll " ]'

index="$REL/index.xml"
check "index.xml is well formed" 'xmllint --noout "$index"'
version="$(xmllint --xpath 'string(/index/category[@name="Extensions"]/reapack[@type="extension"]/version/@name)' "$index")"
check "index names the zip's version ($version)" '[[ "$zip" == *"-$version-windows.zip" ]]'
for pair in win64:x64 win32:x86; do
    platform="${pair%:*}" arch="${pair#*:}"
    file="$(xmllint --xpath "string(//reapack[@name=\"$NAME.ext\"]/version/source[@platform=\"$platform\"]/@file)" "$index")"
    url="$(xmllint --xpath "string(//reapack[@name=\"$NAME.ext\"]/version/source[@platform=\"$platform\"])" "$index")"
    check "index: $platform is $NAME-$arch.dll, in the zip, downloadable beside it" \
        '[ "$file" = "$NAME-$arch.dll" ] && [[ "$url" == */"$file" ]] && cmp -s "$WORK/unpacked/$file" "$REL/$file"'
done

for triple in x64:x86_64:pei-x86-64 x86:i686:pei-i386; do
    IFS=: read -r arch cpu format <<<"$triple"
    check "$NAME-$arch.dll: format, single export, system imports, version $version, stripped" \
        '"$ROOT/tests/static/check_dll.sh" "$REL/$NAME-$arch.dll" "$cpu-w64-mingw32-objdump" "$format" "$version" >/dev/null && ! "$cpu-w64-mingw32-objdump" -h "$REL/$NAME-$arch.dll" | grep -q "\.debug_info"'
done

# As a user who copies both DLLs: the host loads the one of its architecture and skips the other.
cp "$WORK/unpacked/$NAME-x64.dll" "$WORK/unpacked/$NAME-x86.dll" "$WORK/resource/UserPlugins/"
cat >"$WORK/scenario.json" <<'JSON'
{"tracks": [{"selected": true}], "cursor": 2.0, "sources": {"C:\\install\\kick.wav": 1.5}}
JSON
rm -f "$WORK/stop" "$WORK/state.json"
"$WINE" "$BIN/hostsim.exe" --resource-path "$(winpath "$WORK/resource")" \
    --scenario "$(winpath "$WORK/scenario.json")" --state-out "$(winpath "$WORK/state.json")" \
    --stop-file "$(winpath "$WORK/stop")" >"$WORK/host.txt" 2>&1 &
host=$!
for _ in $(seq 1 600); do
    grep -q '^entry' "$WORK/host.txt" 2>/dev/null && break
    kill -0 "$host" 2>/dev/null || break
    sleep 0.1
done
spot="$("$WINE" "$BIN/peer.exe" spot 'C:\install\kick.wav' --name Kick 2>&1 | tr -d '\r')"
touch "$WORK/stop"
wait "$host"
hostcode=$?
printed="$(tr -d '\r' <"$WORK/host.txt")"
check "host loaded exactly one extension, the x64 one (host printed: $(echo $printed))" \
    '[ "$(grep -c "^entry" <<<"$printed")" = 1 ] && grep -qx "entry 1" <<<"$printed" && [ "$hostcode" = 0 ]'
check "the peer's spot was done ($spot)" '[ "$spot" = "spot done: C:\install\kick.wav" ]'
check "no message box" '[ "$(jq ".message_boxes | length" "$WORK/state.json")" = 0 ]'
check "the item landed at the cursor" \
    '[ "$(jq -c ".tracks[0].items[0] | [.position, .length, .takes[0].name]" "$WORK/state.json")" = "[2,1.5,\"Kick\"]" ]'

[ "$failures" -eq 0 ]
