#!/usr/bin/env bash
# Checks a built extension DLL without running it: its format, that it exports exactly
# ReaperPluginEntry undecorated, that it imports only Windows system DLLs (the C/C++ runtime is
# linked in statically), and its version resource.
# usage: check_dll.sh DLL OBJDUMP FORMAT VERSION   (FORMAT: pei-i386 or pei-x86-64; VERSION: x.y.z)
set -uo pipefail
dll="$1" objdump="$2" format="$3" version="$4"
IFS=. read -r major minor patch <<<"$version"
failures=0
check() {
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}

headers="$("$objdump" -p "$dll")"
check "file format $format" '"$objdump" -f "$dll" | grep -q "file format $format"'
if [ "$format" = pei-i386 ]; then
    check "PE32 for i386" 'grep -qE "^Magic[[:space:]]+010b" <<<"$headers"'
else
    check "PE32+ for x86-64" 'grep -qE "^Magic[[:space:]]+020b" <<<"$headers"'
fi

exports="$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" \
    | grep -E '^[[:space:]]+\[' | sed -E 's/^[[:space:]]*\[[[:space:]]*[0-9]+\] //')"
check "exports exactly ReaperPluginEntry, undecorated" '[ "$exports" = "ReaperPluginEntry" ]'

allowed='^(kernel32|user32|advapi32|shell32|shlwapi|ole32|oleaut32|version|wininet|winmm|ws2_32|msvcrt|gdi32|imm32|rpcrt4|comdlg32|uuid)\.dll$'
imports="$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}')"
unexpected="$(grep -vE "$allowed" <<<"$imports" || true)"
check "imports only Windows system DLLs ($(tr '\n' ' ' <<<"$imports"))" '[ -z "$unexpected" ]'

resource="$(strings -el "$dll")"
for pair in "FileDescription VantorelReaper" "ProductName VantorelReaper" \
    "FileVersion $version" "ProductVersion $version"; do
    key="${pair% *}" value="${pair#* }"
    check "version string $key = $value" \
        'grep -A1 -x "$key" <<<"$resource" | tail -n1 | grep -qx "$value"'
done
# VS_FIXEDFILEINFO: signature, structure version, file version x.y.z.0 (two little-endian
# words, minor before major and 0 before patch), product version 0.0.0.0
le16() { printf '%02x%02x' $(($1 & 255)) $(($1 >> 8)); }
fixed="bd04effe00000100$(le16 "$minor")$(le16 "$major")0000$(le16 "$patch")0000000000000000"
check "fixed file version $version.0, product version 0.0.0.0" \
    'od -An -tx1 -v "$dll" | tr -d " \n" | grep -q "$fixed"'

[ "$failures" -eq 0 ]
