#!/usr/bin/env bash
# Installs what is missing, builds Tarvik and opens it on the demo terminals and projects.
# The demo lives in build/demo: its own terminal bench and its own documents folder, so the
# user's own documents are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh tarvik tarvik-demo-bench

demo="$PWD/build/demo"
mkdir -p "$demo/config"
build/bin/tarvik-demo-bench "$demo/terminals" "$demo/Documents"
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
