#!/usr/bin/env bash
# Starts Quendel under Xvfb and saves a screenshot of the screen.
# Usage: scripts/screenshot.sh QUENDEL_BINARY OUTPUT.png
set -euo pipefail
binary=$(realpath "$1")
output=$2
xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" bash -c '
    "$0" & app=$!
    # The probe takes about a second; give the window time to map and paint.
    for _ in $(seq 50); do
        sleep 0.2
        xwininfo -root -tree 2>/dev/null | grep -q "\"Quendel\"" && break
    done
    sleep 1
    import -window root "$1"
    kill $app
' "$binary" "$output"
