#!/usr/bin/env bash
# Speed and memory of lunvek, each against a reference measured in the same run:
#  - a 20-page search (400 rows, 21 requests) against lunvek-site on loopback, from the click to the last row,
#    without the program's deliberate 500 ms pause, vs a plain Python script fetching and reading the same pages;
#  - start-up to a mapped window vs a bare gtkmm window;
#  - resident memory at idle and after a 400-row search vs the bare window at idle.
# Usage: bench/app/run_bench.sh [BUILD_DIR]   (builds target app_bench first; runs under Xvfb without a display)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build}
if [ -z "${DISPLAY:-}" ]; then
    exec "$root/scripts/with-display" "$0" "$@"
fi
cmake --build "$build" --target app_bench >/dev/null
runs=5
work=$(mktemp -d /tmp/lunvek-bench-XXXXXX)
pids=()
finish() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
export NO_AT_BRIDGE=1

# 500 entries that all match "bench": 25 pages of 20, of which the program reads 20.
for n in $(seq 500); do
    printf 'bench item %d\t2020-01-01\t%d\t%d\t%040x\n' "$n" $((n * 1048576)) "$n" "$n"
done > "$work/catalogue.txt"

start_site() {  # port; sets $base (not in a subshell, so the site's pid is remembered and stopped)
    "$build/site/lunvek-site" --port "$1" --catalogue "$work/catalogue.txt" > "$work/site-$1.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do grep -q listening "$work/site-$1.out" && break; sleep 0.1; done
    base=$(grep -o 'http://127.0.0.1:[0-9]*' "$work/site-$1.out")
}
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

start_site 0
echo "== search of 20 pages (400 rows), median of $runs runs"
python_ms=$(python3 "$root/bench/app/python_reference.py" "$base" bench $runs | tee "$work/python" | median)
python_rows=$(awk 'NR==1 {print $2}' "$work/python")
app_ms=$("$build/bench/app/app_search_driver" "$base" bench $runs | tee "$work/app" | median)
app_rows=$(awk 'NR==1 {print $2}' "$work/app")
echo "python reference: ${python_ms} ms (${python_rows} rows)"
echo "lunvek:           ${app_ms} ms (${app_rows} rows)"
awk -v p="$python_ms" -v a="$app_ms" 'BEGIN {printf "lunvek is %.1fx faster (target: at least 5x)\n", p / a}'

echo "== start-up to a mapped window, median of $runs runs (and resident memory 2 s later)"
for i in $(seq $runs); do
    "$build/bench/app/app_map_timer" "bare gtkmm window" 2000 "$build/bench/app/app_bare_window" >> "$work/bare"
    "$build/bench/app/app_map_timer" "Lunvek V2.0" 2000 "$build/app/lunvek" >> "$work/lunvek"
done
bare_ms=$(awk '{print $1}' "$work/bare" | median)
lunvek_ms=$(awk '{print $1}' "$work/lunvek" | median)
bare_kb=$(awk '{print $2}' "$work/bare" | median)
lunvek_kb=$(awk '{print $2}' "$work/lunvek" | median)
echo "bare gtkmm window: ${bare_ms} ms, ${bare_kb} kB resident"
echo "lunvek:            ${lunvek_ms} ms, ${lunvek_kb} kB resident at idle"
awk -v b="$bare_ms" -v l="$lunvek_ms" 'BEGIN {printf "start-up ratio %.2f (target: at most 1.5)\n", l / b}'

echo "== resident memory after a 400-row search in the real program"
port=$(sed -n 's/^LUNVEK_SITE_PORT:STRING=//p' "$build/CMakeCache.txt")
start_site "$port"
"$build/app/lunvek" > /dev/null 2>&1 &
app_pid=$!
pids+=($app_pid)
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lunvek V2.0$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
margin=$(( (WIDTH - 920) / 2 ))
xdotool mousemove $((X + margin + 400)) $((Y + margin + 34 + 49)) sleep 0.2 click 1 sleep 0.2 type bench
xdotool mousemove $((X + margin + 736)) $((Y + margin + 34 + 49)) sleep 0.1 click 1
sleep 4
after_kb=$(awk '/VmRSS/ {print $2}' "/proc/$app_pid/status")
echo "lunvek after a 400-row search: ${after_kb} kB resident (bare window: ${bare_kb} kB)"
awk -v b="$bare_kb" -v i="$lunvek_kb" -v a="$after_kb" \
    'BEGIN {printf "memory ratios to the bare window: idle %.2f, after the search %.2f\n", i / b, a / b}'
