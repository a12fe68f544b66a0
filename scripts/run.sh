#!/usr/bin/env bash
# Installs what is missing, builds 飞梭助手.exe and starts it under Wine on the
# user's display, or on a fresh Xvfb when there is none.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"

prepare_host
build_all

trap 'stop_display' EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_display
fi
ensure_prefix
exe="$BUILD/$TEST_TOOLCHAIN/飞梭助手.exe"
log "starting $exe"
"$WINE_LOADER" "$exe"
