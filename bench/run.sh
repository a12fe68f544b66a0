#!/usr/bin/env bash
# Benchmarks the click worker under Wine on a display of its own: 200 clicks
# at intervals 0, 1, 10 and 100 ms into the click target, then the same with
# `xdotool click --repeat 200 --delay D` as the peer, and prints both side by
# side. Every step is bounded in time; the run takes about a minute.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"
CLICKS=200
INTERVALS=(0 1 10 100)

# Only the two bench programs, in the flavour this host runs.
build_bench() {
  local dir="$BUILD/$1"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$1.cmake" >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target click_target click_bench >/dev/null
}

prepare_host
build_bench "$TEST_TOOLCHAIN"

TARGET_PID=""
WORK=$(mktemp -d)
cleanup() {
  if [ -n "$TARGET_PID" ]; then kill "$TARGET_PID" 2>/dev/null || true; wait "$TARGET_PID" 2>/dev/null || true; fi
  stop_wine
  stop_display
  rm -rf "$WORK"
}
trap cleanup EXIT
start_display
ensure_prefix
"$WINESERVER" -p 600
"$WINE_LOADER" cmd.exe /c exit >/dev/null 2>&1 || true

bin="$BUILD/$TEST_TOOLCHAIN/bench"
cd "$WORK"
"$WINE_LOADER" "$bin/click_target.exe" >/dev/null 2>&1 &
TARGET_PID=$!
bench() { timeout 180 "$WINE_LOADER" "$bin/click_bench.exe" "$@" | tr -d '\r'; }

read -r cx cy < <(bench centre)
[ -n "${cy:-}" ] || { log "the click target did not start"; exit 1; }
log "target centre ($cx, $cy); ours: the click worker"
bench ours times.txt "$CLICKS" | tee ours.txt | grep -v '^RESULT'

log "peer: xdotool click --repeat $CLICKS --delay D"
for d in "${INTERVALS[@]}"; do
  bench reset times.txt
  timeout 10 xdotool mousemove "$cx" "$cy"
  timeout 120 xdotool click --repeat "$CLICKS" --delay "$d" 1
  bench peer "$d" times.txt "$CLICKS" | tee -a peer.txt | grep -v '^RESULT'
done
bench close

echo
echo "ours = the click worker (deadline of click k: 1000 + (k-1)*D ms after its start)"
echo "peer = xdotool click --repeat $CLICKS --delay D (deadline: (k-1)*D ms after its first click)"
echo "lateness in ms; at D=0 every click is due at once, so only clicks/s compares"
awk '
  $1 == "RESULT" { key = $2 " " $3; n[key] = $4; rate[key] = $5; p99[key] = $7; max[key] = $8; last[key] = $9 }
  function ratio(a, b) { return (b + 0 == 0) ? "-" : sprintf("%.2f", a / b) }
  END {
    printf "%-5s | %-22s | %-22s | %-22s | %-22s\n", "D ms", "clicks/s ours/peer (x)", "p99 late ours/peer", "max late ours/peer", "last click late ours/peer"
    split("0 1 10 100", ds, " ")
    for (i = 1; i <= 4; ++i) {
      d = ds[i]; o = "ours " d; p = "peer " d
      printf "%-5s | %7.0f %7.0f (%5s) | %8.3f %8.3f     | %8.3f %8.3f     | %8.3f %8.3f\n", d, rate[o], rate[p], ratio(rate[o], rate[p]), p99[o], p99[p], max[o], max[p], last[o], last[p]
      if (n[o] != '"$CLICKS"' || n[p] != '"$CLICKS"') printf "      (clicks received: ours %s, peer %s)\n", n[o], n[p]
    }
  }' ours.txt peer.txt
