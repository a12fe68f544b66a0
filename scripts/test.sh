#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests, and runs every
# test under Wine on a display of its own.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"

prepare_host
# The program under test asks the tests' own version service (tests/tools).
VERSION_SERVICE_HOST="127.0.0.1:$(test_service_port)"
log "the program under test asks its version service at $VERSION_SERVICE_HOST"
build_all

trap 'stop_wine; stop_display' EXIT
start_display
ensure_prefix
"$WINESERVER" -p 600   # keep one server up for the whole run: starts are fast
"$WINE_LOADER" cmd.exe /c exit >/dev/null 2>&1 || true   # start Wine's services now

cd "$BUILD/$TEST_TOOLCHAIN"
ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@"
