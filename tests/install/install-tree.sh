#!/usr/bin/env bash
# Tarvik as `cmake --install` and the Debian package lay it out, one check per CTest test:
#   install-tree.sh <step>
# BUILD_DIR, CMAKE, CPACK, TREE, PROJECT_VERSION and HAS_PACK come from
# tests/install/CMakeLists.txt.
set -euo pipefail
shopt -s inherit_errexit

here="$(cd "$(dirname "$0")" && pwd)"
packaged="$TREE/destdir/usr"  # DESTDIR with prefix /usr, as the package has it
prefixed="$TREE/prefix"       # a prefix of the user's choosing, no DESTDIR

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

expected_files() {
    {
        cat "$here/installed-files.txt"
        if [ "$HAS_PACK" = 1 ]; then echo "755 bin/tarvik-pack"; fi
    } | sort
}

# "mode path" of every file below a prefix.
listing() {
    (cd "$1" && find . \( -type f -o -type l \) -printf '%m %P\n' | sort)
}

# Starts an installed tarvik offscreen, as the applications menu would (no bench of its own),
# and prints the terminal modules the dynamic loader brought in.
loaded_modules() {
    local bin="$1" home pid
    home="$(mktemp -d -p "$scratch")"
    mkdir -m 700 "$home/runtime"
    env -u TARVIK_TERMINALS -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
        XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
        LD_DEBUG=files LD_DEBUG_OUTPUT="$home/loader" "$bin/tarvik" >"$home/output" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        grep -qs 'libcommunication\.so' "$home/loader.$pid" && break
        sleep 0.1
    done
    # Up a while after the modules came in: the window was built on them and did not fall over.
    sleep 1
    if ! kill -0 "$pid" 2>/dev/null; then
        cat "$home/output" >&2
        fail "$bin/tarvik ended on its own"
    fi
    kill "$pid"
    wait "$pid" || true
    if [ -e "$home/.local/share/tarvik" ]; then
        fail "$bin/tarvik created a bench; an empty one is left alone"
    fi
    grep -o 'file=[^ ]*/lib\(terminalprotocol\|communication\)\.so ' "$home/loader.$pid" |
        sed 's/^file=//; s/ $//' | sort -u || true
}

step_Setup() {
    rm -rf "$TREE"
    DESTDIR="$TREE/destdir" "$CMAKE" --install "$BUILD_DIR" --prefix /usr
    "$CMAKE" --install "$BUILD_DIR" --prefix "$prefixed"
}

step_Layout() {
    [ "$(ls "$TREE/destdir")" = usr ] || fail "DESTDIR holds more than usr/: $(ls "$TREE/destdir")"
    for root in "$packaged" "$prefixed"; do
        diff -u <(expected_files) <(listing "$root") || fail "unexpected files below $root"
    done
}

step_NoRunpath() {
    local checked=0 file
    while IFS= read -r file; do
        readelf -h "$file" >/dev/null 2>&1 || continue
        if readelf -d "$file" | grep -E '\((RPATH|RUNPATH)\)'; then
            fail "$file carries a library search path"
        fi
        checked=$((checked + 1))
    done < <(find "$TREE" -type f)
    [ "$checked" -ge 10 ] || fail "only $checked installed ELF files found"
}

step_DesktopEntry() {
    local entry="$packaged/share/applications/tarvik.desktop" output program icon
    output="$(desktop-file-validate "$entry" 2>&1)" || fail "$output"
    [ -z "$output" ] || fail "desktop-file-validate: $output"
    program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
    [ -x "$packaged/bin/$program" ] || fail "Exec=$program is not an installed program"
    icon="$(sed -n 's/^Icon=//p' "$entry")"
    [ -f "$packaged/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "Icon=$icon is not an installed icon"
}

step_Metainfo() {
    local file="$packaged/share/metainfo/org.example.tarvik.metainfo.xml" release
    appstreamcli validate --no-net "$file"
    # The tree as a whole: the file is named after its id and its desktop entry is there.
    appstreamcli validate-tree --no-net "$packaged"
    release="$(grep -o '<release version="[^"]*"' "$file" | head -1 | cut -d'"' -f2)"
    [ "$release" = "$PROJECT_VERSION" ] ||
        fail "the newest release in the metainfo file is $release, the project is $PROJECT_VERSION"
}

step_ManPage() {
    local page warnings text path command home
    for page in "$packaged"/share/man/man1/tarvik-cli.1.gz "$packaged"/share/man/man1/tarvik.1.gz; do
        warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
        [ -z "$warnings" ] || fail "man page warnings in $page: $warnings"
    done
    # Wide and unhyphenated, so that every path and command stays whole on its line.
    text="$(zcat "$page" | groff -man -Tascii -P-cbou -rLL=300n -rHY=0 2>/dev/null)"
    grep -q "Tarvik $PROJECT_VERSION" <<<"$text" || fail "the man page is not of $PROJECT_VERSION"
    for path in $(grep -o '/usr/[A-Za-z0-9/._-]*[A-Za-z0-9]' <<<"$text" | sort -u); do
        [ -e "$TREE/destdir$path" ] || fail "the man page names $path, which is not installed"
    done

    # Its demo bench command works as written, with ~ a fresh home.
    command="$(grep -o '/usr/lib/tarvik/tarvik-demo-bench .*' <<<"$text" | head -1)"
    [ -n "$command" ] || fail "the man page shows no demo bench command"
    home="$scratch/home"
    local -a words
    read -r -a words <<<"$command"
    words=("${words[@]/#\/usr\//$packaged/}")
    words=("${words[@]/#\~/$home}")
    "${words[@]}" || fail "the man page's demo bench command failed: $command"
    [ "$(ls "$home"/.local/share/tarvik/terminals/*/terminal.ini | wc -l)" -eq 4 ] ||
        fail "the demo bench does not hold the four terminals the man page names"
    [ -f "$home/Documents/Tarvik/firmware/TQ-3100_A00-1.20.bin" ] &&
        [ -f "$home/Documents/Tarvik/firmware/TQ-3100_damaged.bin" ] ||
        fail "the sample firmware images are not where the man page says"
}

# The command line is built from the widget-free core alone, and finds the installed modules.
step_CommandLine() {
    local cli="$packaged/bin/tarvik-cli" home listed
    if ldd "$cli" | grep -E 'libQt6(Widgets|Gui)'; then
        fail "tarvik-cli links Qt Widgets or Gui"
    fi
    home="$scratch/cli-home"
    "$packaged/lib/tarvik/tarvik-demo-bench" "$home/terminals" "$home/Documents" >/dev/null
    listed="$(env -u LD_LIBRARY_PATH TARVIK_TERMINALS="$home/terminals" "$cli" terminals --json)"
    [ "$(grep -c '"online":true' <<<"$listed")" -eq 3 ] ||
        fail "installed tarvik-cli terminals found not the three demo terminals: $listed"
}

step_FindsItsModules() {
    local root modules expected
    for root in "$packaged" "$prefixed"; do
        modules="$(loaded_modules "$root/bin")"
        expected="$(printf '%s\n' "$root/lib/tarvik/libcommunication.so" \
            "$root/lib/tarvik/libterminalprotocol.so")"
        [ "$modules" = "$expected" ] ||
            fail "$root/bin/tarvik loaded [$modules], not its installed modules"
    done
}

step_DebianPackage() {
    local out="$scratch" arch deb depends library
    (cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$out" >"$out/cpack.log" 2>&1) ||
        { cat "$out/cpack.log" >&2; fail "cpack failed"; }
    arch="$(dpkg --print-architecture)"
    deb="$out/tarvik_${PROJECT_VERSION}_${arch}.deb"
    [ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$out")"

    [ "$(dpkg-deb -f "$deb" Package)" = tarvik ] || fail "package name"
    [ "$(dpkg-deb -f "$deb" Version)" = "$PROJECT_VERSION" ] || fail "package version"
    [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "package architecture"
    [ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "package section"
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
    [ -z "$(dpkg-deb -f "$deb" Homepage)" ] || fail "a homepage the project does not have"
    dpkg-deb -f "$deb" Description | sed -n 2p | grep -q 'hand-held barcode terminals' ||
        fail "no long description"
    depends="$(dpkg-deb -f "$deb" Depends)"
    # Worked out by dpkg-shlibdeps from the executables, plus the SVG plugin no one links.
    for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6serialport6 libudev1 \
        libqt6svg6; do
        tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qxF "$library" ||
            fail "Depends lacks $library: $depends"
    done

    # No maintainer scripts: one would stay in dpkg's records after apt-get remove.
    [ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v '/$' | sort | tr '\n' ' ')" = \
        "./control ./md5sums " ] || fail "maintainer scripts in the package"
    [ "$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)" = root/root ] ||
        fail "files not owned by root"
    dpkg-deb -x "$deb" "$out/root"
    diff -u <(expected_files) <(listing "$out/root/usr") || fail "unexpected files in the package"
    file -b "$out/root/usr/bin/tarvik" | grep -q ', stripped' || fail "tarvik is not stripped"
}

step_Cleanup() {
    rm -rf "$TREE"
}

[ $# -eq 1 ] && declare -F "step_$1" >/dev/null || fail "usage: $0 <step>"
"step_$1"
