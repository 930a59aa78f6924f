# Shared by the scripts: paths, the Wine environment, and the prefix set-up.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
export LANG=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The end-to-end tests run as a Unix user of their own, in a prefix it owns:
# Wine run by root ignores file permissions, and what a standard user may do
# in System32 is what they must show.
TESTER=qvdtest
TESTER_HOME=/home/$TESTER
TESTER_PREFIX="$TESTER_HOME/wineprefix"
TESTER_PREFIX_B="$TESTER_HOME/wineprefix-b"  # a second PC, for the tests of one book in a shared folder
as_tester() {
    runuser -u "$TESTER" -- env HOME="$TESTER_HOME" LANG="$LANG" WINEDEBUG="$WINEDEBUG" \
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@"
}

# Creates a Wine prefix at $1 unless it is there already, running Wine as
# the rest of the arguments say (as_tester for the tester's prefix; as root
# when there are none). Never run two of these at once: wineboot and
# wineserver share state per prefix.
make_prefix() {
    local prefix="$1"
    shift
    local as=("$@")
    if [ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c/windows/system32" ]; then map_fonts "$prefix" "${as[@]}"; return; fi
    echo "== creating Wine prefix $prefix (about 20 s)"
    "${as[@]}" mkdir -p "$prefix"
    "${as[@]}" env WINEPREFIX="$prefix" timeout 300 wineboot -i >/dev/null 2>&1 || true
    "${as[@]}" env WINEPREFIX="$prefix" timeout 120 wineserver -w || true
    # Without a window manager, closing a dialog stalls unless Wine manages no windows.
    "${as[@]}" env WINEPREFIX="$prefix" timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "${as[@]}" env WINEPREFIX="$prefix" timeout 60 wineserver -w || true
    [ -d "$prefix/drive_c/windows/system32" ] || { echo "Wine prefix creation failed" >&2; return 1; }
    map_fonts "$prefix" "${as[@]}"
}

# Wine has no "ＭＳ Ｐゴシック", the dialogs' font: IPAPGothic has its metrics,
# so layouts and screenshots show what Windows shows. And it finds no
# Marlett, the glyphs of the caption buttons (without it the close box is a
# bare "r"), unless the font lies in the prefix's own Fonts folder.
# Idempotent.
map_fonts() {
    local prefix="$1"
    shift
    "$@" mkdir -p "$prefix/drive_c/windows/Fonts"
    [ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] ||
        "$@" cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    [ -f "$prefix/.qvd-fonts" ] && return 0
    "$@" env WINEPREFIX="$prefix" timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v "ＭＳ Ｐゴシック" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1 || return 1
    "$@" env WINEPREFIX="$prefix" timeout 60 wineserver -w || true
    "$@" touch "$prefix/.qvd-fonts"
}

build_windows() {
    cmake -S "$ROOT" -B "$BUILD/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD/windows"
}

# The demo without a display: under Xvfb the driver stand-in starts the
# program, the demo client uses it (with $2 as its extra argument) and a
# screenshot is taken of each named step ($3...) into the folder $1; then
# prints what the driver read before and after. Run in $BUILD/windows.
demo_under_xvfb() {
    local shots="$1" extra="$2"
    shift 2
    rm -rf "$shots" && mkdir -p "$shots"
    # The X server's own farewells go to a log; what the driver reads goes to the terminal.
    timeout 300 xvfb-run -a -s "-screen 0 800x600x24" bash -c '
        shots="$1" extra="$2"
        shift 2
        wine faxdriver.exe "Demo FAX Driver" >"$shots/driver.log" 2>/dev/null & driver=$!
        wine democlient.exe "Z:$shots" $extra >/dev/null 2>&1 & client=$!
        for shot in "$@"; do
            for i in $(seq 300); do [ -f "$shots/$shot.ready" ] && break; sleep 0.1; done
            import -window root "$shots/$shot.png"
            touch "$shots/$shot.done"
        done
        wait $client; wait $driver' _ "$shots" "$extra" "$@" >"$shots/xvfb.log" 2>&1 || true
    cat "$shots/driver.log"
}

# The demo's directory: the tests' entries on 127.0.0.1:38979, and the
# policy of the demo prefix ($WINEPREFIX) naming it (start); stopped (stop).
demo_directory() {
    if [ "$1" = stop ]; then "$ROOT/scripts/directory-server" stop "$BUILD/demo-directory"; return; fi
    "$ROOT/scripts/directory-server" start "$BUILD/demo-directory" 38979 38980 >/dev/null
    local key='HKLM\SOFTWARE\Policies\qvdutil\Directory'
    timeout 60 wine reg add "$key" /v Enabled /t REG_DWORD /d 1 /f >/dev/null
    timeout 60 wine reg add "$key" /v Anonymous /t REG_DWORD /d 1 /f >/dev/null
    timeout 60 wine reg add "$key" /v Server /t REG_SZ /d 127.0.0.1:38979 /f >/dev/null
    timeout 60 wine reg add "$key" /v Filter /t REG_SZ /d '(&(objectClass=inetOrgPerson)(facsimileTelephoneNumber=*))' /f >/dev/null
}
