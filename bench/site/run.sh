#!/usr/bin/env bash
# Load benchmark of lunvek-site on loopback with wrk.
#   run.sh [path/to/lunvek-site] [seconds per measurement]
# 1. Reference: the eight-byte version file, the cheapest page the server has (transport ceiling).
# 2. Result pages: page 2 of a Chinese keyword with 40+ matches (search, highlighting, rendering).
#    Pass: at least 5000 result pages per second; the ratio to the reference is reported.
# 3. Memory: VmRSS after a warm-up, then after at least 100,000 more result-page requests.
#    Pass: growth under 4 MB (flat).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${1:-$here/../../build/site/lunvek-site}
seconds=${2:-10}
command -v wrk >/dev/null || { echo "run.sh: wrk is not installed (scripts/packages.txt lists it)" >&2; exit 1; }
[ -x "$program" ] || { echo "run.sh: no program at $program" >&2; exit 1; }

out=$(mktemp)
"$program" --port 0 >"$out" 2>/dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 100); do grep -q listening "$out" && break; sleep 0.1; done
port=$(grep -o '[0-9]*$' "$out")
base="http://127.0.0.1:$port"
result="$base/search?keyword=%E7%94%B5%E5%BD%B1&p=2"

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
# Prints "requests rate" of one wrk run: url, seconds.
measure() {
    local report
    report=$(wrk -t2 -c16 -d"$2"s "$1")
    local requests rate errors
    requests=$(awk '/requests in/ {print $1}' <<<"$report")
    rate=$(awk '/^Requests\/sec/ {print $2}' <<<"$report")
    errors=$(awk '/Non-2xx|Socket errors/' <<<"$report")
    [ -z "$errors" ] || { echo "run.sh: errors during the run: $errors" >&2; exit 1; }
    echo "$requests $rate"
}

curl -sf "$result" | grep -q 'totalPages:' || { echo "run.sh: result page not served" >&2; exit 1; }
bytes=$(curl -s "$result" | wc -c)
read -r _ reference_rate < <(measure "$base/soft/version.html" "$seconds")
read -r _ page_rate < <(measure "$result" "$seconds")
ratio=$(awk -v a="$page_rate" -v b="$reference_rate" 'BEGIN {printf "%.2f", a / b}')
echo "reference (version file):  $reference_rate requests/s"
echo "result page ($bytes bytes): $page_rate pages/s  (ratio to reference: $ratio)"

rss_before=$(rss_kb)
total=0
while [ "$total" -lt 100000 ]; do
    read -r requests _ < <(measure "$result" 5)
    total=$((total + requests))
done
rss_after=$(rss_kb)
growth=$((rss_after - rss_before))
echo "memory: VmRSS $rss_before kB after warm-up, $rss_after kB after $total more requests ($growth kB)"

status=0
awk -v r="$page_rate" 'BEGIN {exit !(r >= 5000)}' || { echo "FAIL: below 5000 result pages/s"; status=1; }
[ "$growth" -lt 4096 ] || { echo "FAIL: memory grew by $growth kB"; status=1; }
[ "$status" -eq 0 ] && echo "PASS"
exit "$status"
