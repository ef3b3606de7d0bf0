#!/usr/bin/env bash
# End-to-end run of the real program, as a person uses it: lunvek-site on the port the program was built
# for, a keyword typed and the search button clicked through the X server, the clipboard read back with
# xclip, a magnet handler registered in a private XDG folder, Esc to close. Screenshots go to ARTIFACTS.
# Usage: run_e2e.sh LUNVEK LUNVEK_SITE ARTIFACTS PORT
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
lunvek=$1 site=$2 artifacts=$3 port=$4
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/lunvek-e2e-XXXXXX)
site_pid="" app_pid=""
finish() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
fail() { echo "e2e: FAIL: $*" >&2; exit 1; }

# A private desktop whose only magnet handler records the address it is given.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache NO_AT_BRIDGE=1
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cat > "$work/record-magnet" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$1" >> "$work/magnet.log"
SCRIPT
chmod +x "$work/record-magnet"
cat > "$XDG_DATA_HOME/applications/lunvek-e2e-magnet.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Magnet recorder
Exec=$work/record-magnet %u
MimeType=x-scheme-handler/magnet;
DESKTOP
printf '[Default Applications]\nx-scheme-handler/magnet=lunvek-e2e-magnet.desktop\n' > "$XDG_CONFIG_HOME/mimeapps.list"

"$site" --port "$port" > "$work/site.out" 2>&1 &
site_pid=$!
for _ in $(seq 50); do grep -q listening "$work/site.out" && break; sleep 0.1; done
grep -q listening "$work/site.out" || fail "lunvek-site did not start on port $port: $(cat "$work/site.out")"
base="http://127.0.0.1:$port"
# The first result's link as the site gives it, rewritten the way the list shows it.
expected=$(python3 -c 'import sys, urllib.request; print(urllib.request.urlopen(sys.argv[1]).read().decode())' \
    "$base/search?keyword=%64%65%62%69%61%6E&p=1" | grep -o "$base/hash/[0-9a-f]*" | head -1 |
    sed "s|$base/hash/|magnet:?xt=urn:btih:|")
[ -n "$expected" ] || fail "the site gave no result for debian"

"$lunvek" > "$work/lunvek.out" 2>&1 &
app_pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lunvek V2.0$' | head -1) || fail "no window"
sleep 1.5  # the popular searches arrive
import -window root "$artifacts/e2e-start.png"

# Client-area points: the frame's margin from the window's X size, the title bar below it.
eval "$(xdotool getwindowgeometry --shell "$window")"
margin=$(( (WIDTH - 920) / 2 ))
title=34
at() { echo $(( X + margin + $1 )) $(( Y + margin + title + $2 )); }

# The first click empties the keyword box; then the keyword is typed and the button clicked.
xdotool mousemove $(at 400 49) sleep 0.1 click 1 sleep 0.2
xdotool type --delay 30 debian
xdotool mousemove $(at 736 49) sleep 0.1 click 1

# The list fills: select the first row, right-click it, and read the clipboard while the program runs.
row1=$(at 170 160)
copied=""
for _ in $(seq 40); do
    xdotool mousemove $row1 sleep 0.05 click 1 sleep 0.1 click 3 sleep 0.2
    copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
    [ "$copied" = "$expected" ] && break
    sleep 0.25
done
[ "$copied" = "$expected" ] || fail "clipboard holds '$copied', expected '$expected'"
primary=$(timeout 5 xclip -o -selection primary 2>/dev/null || true)
[ "$primary" = "$expected" ] || fail "primary selection holds '$primary'"
sleep 1  # the final status text
import -window root "$artifacts/e2e-after-search.png"

# A double-click hands exactly that link to the registered handler.
xdotool mousemove $row1 sleep 0.1 click --repeat 2 --delay 80 1
for _ in $(seq 50); do [ -s "$work/magnet.log" ] && break; sleep 0.1; done
[ "$(cat "$work/magnet.log" 2>/dev/null)" = "$expected" ] ||
    fail "handler received '$(cat "$work/magnet.log" 2>/dev/null)', expected '$expected'"

# Esc closes the window and the process ends.
xdotool mousemove $(at 400 300) sleep 0.1 key Escape
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "lunvek still runs after Esc"; fi
wait "$app_pid" || fail "lunvek ended with status $?"
app_pid=""
echo "e2e: passed (link $expected); screenshots in $artifacts"
