# Shared by the scripts: paths, the Wine environment, and the prefix set-up.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
export LANG=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates a Wine prefix at $1 unless it is there already. Never run two of
# these at once: wineboot and wineserver share state per prefix.
make_prefix() {
    local prefix="$1"
    if [ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c/windows/system32" ]; then return 0; fi
    echo "== creating Wine prefix $prefix (about 20 s)"
    mkdir -p "$prefix"
    WINEPREFIX="$prefix" timeout 300 wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" timeout 120 wineserver -w || true
    # Without a window manager, closing a dialog stalls unless Wine manages no windows.
    WINEPREFIX="$prefix" timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX="$prefix" timeout 60 wineserver -w || true
    [ -d "$prefix/drive_c/windows/system32" ] || { echo "Wine prefix creation failed" >&2; return 1; }
}

build_windows() {
    cmake -S "$ROOT" -B "$BUILD/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD/windows"
}
