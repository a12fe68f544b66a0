#!/usr/bin/env bash
# Benchmarks the real program under Wine on a display of its own: 飞梭助手.exe
# is started, set up and started by its own button from another process, and
# clicks 500 times into a click target (a third process) at intervals 1, 10
# and 100 ms; then `xdotool click --repeat 500 --delay D` clicks into the same
# target as the peer. Both are printed side by side. Every step is bounded in
# time; the run takes about two minutes.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"
CLICKS=${CLICKS:-500}
INTERVALS=(1 10 100)

# Only the program and the two bench programs, in the flavour this host runs.
build_bench() {
  local dir="$BUILD/$1"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$1.cmake" \
    -DVERSION_SERVICE_HOST="$VERSION_SERVICE_HOST" >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target feisuo click_target click_bench >/dev/null
}

prepare_host
build_bench "$TEST_TOOLCHAIN"

PIDS=()
WORK=$(mktemp -d)
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  stop_wine
  stop_version_service
  stop_display
  rm -rf "$WORK"
}
trap cleanup EXIT
start_display
ensure_prefix
start_version_service  # the program ends at start-up without one
"$WINESERVER" -p 600
"$WINE_LOADER" cmd.exe /c exit >/dev/null 2>&1 || true

out="$BUILD/$TEST_TOOLCHAIN"
mkdir -p "$WORK/app"
cp "$out/飞梭助手.exe" "$WORK/app/"
cd "$WORK"
"$WINE_LOADER" "$out/bench/click_target.exe" >/dev/null 2>&1 &
PIDS+=($!)
(cd "$WORK/app" && exec "$WINE_LOADER" "$WORK/app/飞梭助手.exe") >/dev/null 2>&1 &
PIDS+=($!)
bench() { timeout 300 "$WINE_LOADER" "$out/bench/click_bench.exe" "$@" | tr -d '\r'; }

read -r cx cy < <(bench centre)
[ -n "${cy:-}" ] || { log "the click target did not start"; exit 1; }
log "target centre ($cx, $cy); ours: 飞梭助手.exe started by its button"
for d in "${INTERVALS[@]}"; do
  bench ours "$d" times.txt "$CLICKS" | tee -a ours.txt | grep -v '^RESULT'
done

log "peer: xdotool click --repeat $CLICKS --delay D"
for d in "${INTERVALS[@]}"; do
  bench reset times.txt
  timeout 10 xdotool mousemove "$cx" "$cy"
  timeout 200 xdotool click --repeat "$CLICKS" --delay "$d" 1
  bench peer "$d" times.txt "$CLICKS" | tee -a peer.txt | grep -v '^RESULT'
done
bench close

echo
echo "ours = 飞梭助手.exe, started by its own button from another process (pointer already on the target)"
echo "peer = xdotool click --repeat $CLICKS --delay D"
echo "all in ms, at the target window: p99 of |gap - D|, smallest gap, drift = last - (first + (n-1)*D),"
echo "first = first click - (press + 1000 ms), ours only"
awk '
  $1 == "RESULT" { key = $2 " " $3; n[key] = $4; p99[key] = $5; gap[key] = $6; drift[key] = $7; first[key] = $8 }
  END {
    printf "%-5s | %-20s | %-20s | %-20s | %-9s\n", "D ms", "p99 |gap-D| ours/peer", "smallest gap ours/peer", "drift ours/peer", "first ours"
    split("'"${INTERVALS[*]}"'", ds, " ")
    for (i = 1; i in ds; ++i) {
      d = ds[i]; o = "ours " d; p = "peer " d
      printf "%-5s | %9.3f %9.3f  | %9.3f %9.3f  | %9.3f %9.3f  | %8.3f\n", d, p99[o], p99[p], gap[o], gap[p], drift[o], drift[p], first[o]
      if (n[o] != '"$CLICKS"' || n[p] != '"$CLICKS"') printf "      (clicks received: ours %s, peer %s)\n", n[o], n[p]
    }
  }' ours.txt peer.txt
