#!/usr/bin/env bash
# Installs what is missing, builds Tarvik and opens it on the demo terminals and projects.
# The demo lives in build/demo: its own terminal bench and its own documents folder, so the
# user's own documents are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh tarvik tarvik-demo-bench tarvik-pack

demo="$PWD/build/demo"
mkdir -p "$demo/config"
build/bin/tarvik-demo-bench "$demo/terminals" "$demo/Documents"

# Demo projects in the data folder: STOCK runs on every device, ORDERS needs firmware
# A00-1.20 (newer than any demo terminal has; the demo image upgrades a TQ-3100 to it), and
# SCAN2D asks for a Camera 2D reader (TQ-3300), which no demo terminal is.
pack() { build/bin/tarvik-pack "$@" >/dev/null; }
projects="$demo/Documents/Tarvik"
members=resources/demo-projects
pack "$projects/STOCK.prj" --reader 0 --firmware A00-0.80 \
    'D:\PROGRAM\STOCK.bas'="$members/stock/STOCK.bas" \
    'D:\STOCK\SMALL.cft'="$members/fonts/SMALL.cft" \
    'C:\STOCK\ITEMS.DAT'="$members/stock/ITEMS.DAT" \
    'D:\STOCK\ITEMS.LKP'="$members/stock/ITEMS.LKP" \
    'E:\STOCK\COUNTS.DAT'="$members/stock/COUNTS.DAT"
pack "$projects/ORDERS.prj" --reader 1 --firmware A00-1.20 \
    'D:\PROGRAM\ORDERS.bas'="$members/orders/ORDERS.bas" \
    'D:\ORDERS\LARGE.cft'="$members/fonts/LARGE.cft" \
    'C:\ORDERS\ORDERS.DAT'="$members/orders/ORDERS.DAT" \
    'D:\ORDERS\CUSTOMER.LKP'="$members/orders/CUSTOMER.LKP" \
    'E:\ORDERS\PICKED.DAT'="$members/orders/PICKED.DAT"
pack "$projects/SCAN2D.prj" --reader 2 --firmware A00-0.90 \
    'D:\PROGRAM\SCAN2D.bas'="$members/scan2d/SCAN2D.bas" \
    'D:\SCAN2D\SMALL.cft'="$members/fonts/SMALL.cft" \
    'C:\SCAN2D\CODES.DAT'="$members/scan2d/CODES.DAT" \
    'D:\SCAN2D\TYPES.LKP'="$members/scan2d/TYPES.LKP" \
    'E:\SCAN2D\CAPTURED.DAT'="$members/scan2d/CAPTURED.DAT"
# The documents folder is found through the XDG user-dirs file, here the demo's own.
printf 'XDG_DOCUMENTS_DIR="%s"\n' "$demo/Documents" > "$demo/config/user-dirs.dirs"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tarvik is built, but there is no display to open its window on." >&2
    echo "Run it under a virtual display instead:  xvfb-run -a $0" >&2
    exit 2
fi
export XDG_CONFIG_HOME="$demo/config"
export TARVIK_TERMINALS="$demo/terminals"
exec build/bin/tarvik "$@"
