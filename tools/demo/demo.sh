#!/usr/bin/env bash
# The main job end to end: a peer places a real WAV file into a project held by the host
# simulator, through the x64 extension DLL under Wine and the real named pipe.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BIN="$ROOT/build/windows-x64"
WORK="$ROOT/build/demo"
WINE="$ROOT/cmake/wine-run"
source "$ROOT/cmake/wine-env"

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

rm -rf "$WORK" && mkdir -p "$WORK"
sox -q -n -r 44100 -c 1 -b 16 "$WORK/tone.wav" synth 4 sine 440 fade 0.05 4 0.05 vol 0.5
cat >"$WORK/scenario.json" <<JSON
{"tracks": [{"selected": false}, {"selected": true}], "cursor": 5.0,
 "project_path": "C:\\\\Projects\\\\Demo\\\\demo.rpp"}
JSON
log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vantorel/Reaper.txt"
rm -f "$log"

echo "host: a project with two tracks (the second selected), edit cursor at 5 s"
"$WINE" "$BIN/hostsim.exe" --extension "$(winpath "$BIN/reaper_vantorel_extension.dll")" \
    --scenario "$(winpath "$WORK/scenario.json")" --state-out "$(winpath "$WORK/state.json")" \
    --stop-file "$(winpath "$WORK/stop")" >"$WORK/hostsim.out" 2>&1 &
host=$!
for _ in $(seq 200); do grep -q '^entry' "$WORK/hostsim.out" 2>/dev/null && break; sleep 0.1; done
grep -q '^entry 1' "$WORK/hostsim.out" || { cat "$WORK/hostsim.out"; echo "demo: the extension did not load" >&2; exit 1; }
echo "host: extension loaded ($(grep '^entry' "$WORK/hostsim.out" | tr -d '\r'))"

wav="$(winpath "$WORK/tone.wav")"
echo
echo "\$ peer version";       "$WINE" "$BIN/peer.exe" version | tr -d '\r'
echo "\$ peer project-path";  "$WINE" "$BIN/peer.exe" project-path | tr -d '\r'
echo "\$ peer spot tone.wav --name 'Tone A4' --in 0.5 --out 3"
"$WINE" "$BIN/peer.exe" spot "$wav" --name "Tone A4" --in 0.5 --out 3 | tr -d '\r'

touch "$WORK/stop"
wait "$host"
echo
jq -r '
  (.tracks | to_entries[] | select(.value.items | length > 0)) as $t
  | $t.value.items[0] as $i
  | "project: new item on track \($t.key + 1): position \($i.position) s, length \($i.length) s",
    "         take \"\($i.takes[0].name)\", start offset \($i.takes[0].start_offset) s",
    "         source \($i.takes[0].source)"' "$WORK/state.json"
jq -r '"project: edit cursor now at \(.cursor) s; actions run: \(.commands | map(.[0]) | join(", "))"' "$WORK/state.json"
jq -r '.undo_points[] | "project: undo point \"\(.description)\" (\(.items) item)"' "$WORK/state.json"
echo
echo "log ($(basename "$log") in the Vantorel application-data folder):"
tr -d '\r' <"$log" | sed -n '/^Log started/,$p' | sed '/^$/d; s/^/    /'
