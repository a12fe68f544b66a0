#!/usr/bin/env bash
# Benchmarks JsonDocument and RegexObject under Wine against their peers (the
# splice-and-eval parse, the engine's JSON.parse, std::regex) and prints the
# figures. Every step is bounded in time; the run takes about two minutes.
#   bench/script/run.sh [scale]   scale divides the run counts (default 1)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"

prepare_host
dir="$BUILD/$TEST_TOOLCHAIN"
cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$TEST_TOOLCHAIN.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target script_bench >/dev/null

trap stop_wine EXIT
ensure_prefix
"$WINESERVER" -p 600
"$WINE_LOADER" cmd.exe /c exit >/dev/null 2>&1 || true
timeout 900 "$WINE_LOADER" "$dir/bench/script/script_bench.exe" "${1:-1}" | tr -d '\r' | grep -v '^RESULT'
