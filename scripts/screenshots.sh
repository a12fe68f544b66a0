#!/usr/bin/env bash
# Saves PNG screenshots of the four pages of 飞梭助手 under a fresh Xvfb:
# build/screenshots/page0.png .. page3.png (or into the folder given).
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"

prepare_host
build_flavour "$TEST_TOOLCHAIN"
out=${1:-$BUILD/screenshots}
mkdir -p "$out"

trap 'stop_wine; stop_version_service; stop_display' EXIT
start_display
ensure_prefix
start_version_service
# A folder of its own, so no config.ini of an earlier run is read.
run=$(mktemp -d)
cp "$BUILD/$TEST_TOOLCHAIN/飞梭助手.exe" "$run/"
(cd "$run" && "$WINE_LOADER" ./飞梭助手.exe >/dev/null 2>&1 &)
for page in 0 1 2 3; do
  "$WINE_LOADER" "$BUILD/$TEST_TOOLCHAIN/tests/tools/select_page.exe" "$page" || { log "window not found"; exit 1; }
  sleep 1
  import -display "$DISPLAY" -window root -crop 500x338+50+50 +repage "$out/page$page.png"
  log "saved $out/page$page.png"
done
rm -rf "$run"
