#!/usr/bin/env bash
# Installs what is missing, builds, and runs Brindlemax.scr under Wine.
#   scripts/run.sh [arguments]     default arguments: /s (the full-screen saver)
# With DISPLAY set it runs on that display in the user's own Wine. Without one it starts a
# private Xvfb and Wine prefix, puts a test picture on its screen as the "desktop", runs the
# saver over it for a few seconds and leaves screenshots of the drift in build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32 --target Brindlemax desktop_picture
program=$PWD/build/bin/Brindlemax.scr
picture=$PWD/build/bin/desktop_picture.exe
[ $# -gt 0 ] || set -- /s

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$program" "$@"
fi

env_dir=$PWD/build/run-env
shots=$PWD/build/screenshots
trap 'scripts/wine-env.sh stop "$env_dir"' EXIT
scripts/wine-env.sh start "$env_dir"
# shellcheck disable=SC1091
. "$env_dir/env"
rm -rf "$shots" && mkdir -p "$shots"
shot() { xwd -root -silent | convert xwd:- "$shots/$1.png"; }

# An empty Xvfb screen would roll as plain black: show a picture first.
wine "$picture" </dev/null >"$env_dir/picture.log" 2>&1 &
sleep 5
shot 0-before
wine "$program" "$@" </dev/null >"$env_dir/saver.log" 2>&1 &
saver=$!
for i in 1 2 3 4 5; do
    sleep 2
    shot "$i-running"
done
kill "$saver" 2>/dev/null || true
wait "$saver" 2>/dev/null || true
echo "run: screenshots in $shots:"
ls "$shots"
