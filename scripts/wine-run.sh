#!/usr/bin/env bash
# Runs one Windows program under the test run's private Wine (see wine-env.sh).
env_dir=${BRINDLEMAX_WINE_ENV:?BRINDLEMAX_WINE_ENV names the wine-env.sh directory}
# shellcheck disable=SC1091
. "$env_dir/env" || exit 1
# One wineserver for the whole run, started with its descriptors away from ctest's pipe.
{
    flock 9
    wineserver -p30 </dev/null >/dev/null 2>&1 9>&-
} 9>"$env_dir/server.lock"
exec wine "$@"
