#!/usr/bin/env bash
# ./run bench: the figures of build/bench/results.md, a latency plot and a profile of the
# request path on the native build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$ROOT/build/bench"
source "$ROOT/cmake/wine-env"
mkdir -p "$OUT"
rm -f "$OUT"/latency-*.txt

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

echo "==> measuring under Wine (the extension in hostsim, and the raw pipe echo server)"
"$ROOT/cmake/wine-run" "$ROOT/build/windows-x64/bench.exe" --out "$(winpath "$OUT")" \
    --round-trips "${BENCH_ROUND_TRIPS:-2000}" --throughput "${BENCH_THROUGHPUT:-20000}" \
    --rounds "${BENCH_ROUNDS:-3}" >/dev/null

{
    echo
    echo "Module sizes:"
    echo
    echo "| DLL | bytes |"
    echo "| --- | ---: |"
    for arch in x64 x86; do
        echo "| windows-$arch | $(stat -c %s "$ROOT/build/windows-$arch/reaper_vantorel_extension.dll") |"
    done
    echo
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(lscpu | sed -n 's/^Model name:[[:space:]]*//p'), Wine $("$WINE64" --version)."
} >>"$OUT/results.md"

echo "==> plotting the latency distributions"
plots=""
for kind in VERSION_REQUEST SESSION_REQUEST SPOT_COMMAND; do
    ext="$OUT/latency-extension-$kind.txt" raw="$OUT/latency-baseline-$kind.txt"
    plots+="set title '$kind'
plot '$ext' using 1:(1.0/$(wc -l <"$ext")) smooth cumulative with lines lw 2 title 'extension', \\
     '$raw' using 1:(1.0/$(wc -l <"$raw")) smooth cumulative with lines lw 2 dt 2 title 'raw pipe'
"
done
gnuplot <<GNUPLOT
set terminal pngcairo size 1500,480 font ",10" noenhanced
set output "$OUT/latency.png"
set multiplot layout 1,3 title "Round-trip latency on one connection under Wine (cumulative share of requests)"
set logscale x
set xlabel "microseconds"
set ylabel "share of requests"
set yrange [0:1]
set key bottom right
set grid
$plots
unset multiplot
GNUPLOT

echo "==> profiling the request path natively (callgrind)"
for kind in spot version; do
    valgrind --tool=callgrind --collect-systime=usec --callgrind-out-file="$OUT/callgrind-$kind.out" \
        "$ROOT/build/native/profile_dispatch" "$kind" 2000 >/dev/null 2>&1
    # Instructions and system-call time, inclusive, the heaviest first.
    callgrind_annotate --inclusive=yes "$OUT/callgrind-$kind.out" 2>/dev/null | head -n 60 \
        >"$OUT/profile-$kind.txt"
done

cat "$OUT/results.md"
echo
echo "Plot: build/bench/latency.png; profiles: build/bench/profile-*.txt (callgrind data beside them)"
