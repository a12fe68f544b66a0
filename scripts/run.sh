#!/usr/bin/env bash
# Installs what is missing, builds 飞梭助手.exe and starts it under Wine on the
# user's display, or on a fresh Xvfb when there is none, with the repository's
# version service (service/) on 127.0.0.1:18731 while it runs.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"

prepare_host
build_all

trap 'stop_version_service; stop_display' EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_display
fi
ensure_prefix
# The program ends at start-up unless its version service answers.
start_version_service
exe="$BUILD/$TEST_TOOLCHAIN/飞梭助手.exe"
log "starting $exe"
"$WINE_LOADER" "$exe"
