#!/usr/bin/env bash
# A private Wine set-up for one test run: its own prefix and its own Xvfb display, so tests never
# touch the user's Wine and never share state.
#   wine-env.sh start DIR    make DIR/prefix, start Xvfb and the wineserver, write DIR/env
#   wine-env.sh stop DIR     stop them and remove DIR
# BRINDLEMAX_SCREEN sets the display's size and depth (default 1024x768x24).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=${1:?start or stop}
dir=${2:?directory}

stop() {
    if [ -f "$dir/env" ]; then
        # shellcheck disable=SC1091
        . "$dir/env"
        wineserver -k >/dev/null 2>&1 </dev/null || true
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$dir"
}

start() {
    stop
    mkdir -p "$dir"
    local screen=${BRINDLEMAX_SCREEN:-1024x768x24}
    local display=
    for n in $(seq 90 190); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
    done
    [ -n "$display" ] || { echo "wine-env: no free display" >&2; return 1; }
    Xvfb ":$display" -screen 0 "$screen" -noreset -nolisten tcp </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

    cat >"$dir/env" <<ENV
export WINEPREFIX="$dir/prefix"
export DISPLAY=":$display"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
ENV
    # shellcheck disable=SC1091
    . "$dir/env"
    # The server and the services that the first process starts must not hold on to the
    # caller's output: ctest waits for every holder of its pipe to close it.
    wineserver -p30 </dev/null >/dev/null 2>&1
    timeout -k 5 600 wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || {
        echo "wine-env: wineboot failed" >&2; cat "$dir/wineboot.log" >&2; return 1; }

    # No window manager under Xvfb: Wine draws the captions and takes the focus itself. Wine's
    # own fonts give captions and controls their proper look. A crash must not start winedbg.
    # DirectDraw works without OpenGL with the no3d renderer.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    cat >"$dir/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Direct3D]
"renderer"="no3d"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="0"
REG
    wine regedit /S "Z:${dir//\//\\}/settings.reg" </dev/null >/dev/null 2>&1
    echo "wine-env: prefix $WINEPREFIX on display :$display ($screen)"
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
