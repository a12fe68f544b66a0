#!/usr/bin/env bash
# Benchmarks WebRequest under Wine beside curl, against our test server on
# 127.0.0.1 (tests/net/test_server.py), and prints both with their ratio:
#   - requests per second for a short page whose server closes every
#     connection, so that both open a new connection per request;
#   - MB/s for a 20 MB body.
# Each figure is the best of ROUNDS rounds. Every step is bounded in time.
#   bench/net/run.sh [requests per round] [downloads per round] [rounds]
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"
REQUESTS=${1:-500}
DOWNLOADS=${2:-5}
ROUNDS=${3:-3}
SIZE=$((20 * 1024 * 1024))

APT_PACKAGES+=(curl)  # the peer
prepare_host
dir="$BUILD/$TEST_TOOLCHAIN"
cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$TEST_TOOLCHAIN.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target net_bench >/dev/null

WORK=$(mktemp -d)
SERVER_PID=""
cleanup() {
  if [ -n "$SERVER_PID" ]; then
    exec 3>&-  # the server ends when its standard input closes
    for _ in $(seq 1 50); do kill -0 "$SERVER_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
  stop_wine
  rm -rf "$WORK"
}
trap cleanup EXIT
ensure_prefix
"$WINESERVER" -p 600
"$WINE_LOADER" cmd.exe /c exit >/dev/null 2>&1 || true

mkfifo "$WORK/stdin"
/usr/bin/python3 "$ROOT/tests/net/test_server.py" --lifetime 1800 <"$WORK/stdin" >"$WORK/port" &
SERVER_PID=$!
exec 3>"$WORK/stdin"
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
PORT=$(head -n1 "$WORK/port")
[ -n "$PORT" ] || { log "the test server did not start"; exit 1; }
SMALL="http://127.0.0.1:$PORT/small"
BIG="http://127.0.0.1:$PORT/big?size=$SIZE"
log "server on 127.0.0.1:$PORT; $ROUNDS rounds of $REQUESTS requests and $DOWNLOADS downloads of $SIZE bytes"

# ours URL COUNT [bare] -> "count failures bytes seconds"
ours() {
  timeout 600 "$WINE_LOADER" "$dir/bench/net/net_bench.exe" "$@" | tr -d '\r' | awk '$1 == "RESULT" { print $2, $3, $4, $5 }'
}

# peer URL COUNT -> the same, from one curl fetching the URL COUNT times
peer() {
  local config="$WORK/curl.cfg" i start end
  : >"$config"
  for i in $(seq 1 "$2"); do printf 'url = "%s"\noutput = "/dev/null"\n' "$1" >>"$config"; done
  start=$(date +%s.%N)
  timeout 600 curl -s -K "$config" -w '%{http_code} %{size_download}\n' >"$WORK/curl.out"
  end=$(date +%s.%N)
  awk -v n="$2" -v s="$start" -v e="$end" '
    { if ($1 != 200) failures++; bytes += $2 }
    END { printf "%d %d %d %.6f\n", n, failures + (n - NR), bytes, e - s }' "$WORK/curl.out"
}

: >"$WORK/results"
for round in $(seq 1 "$ROUNDS"); do
  echo "requests ours $(ours "$SMALL" "$REQUESTS")" >>"$WORK/results"
  echo "requests bare $(ours "$SMALL" "$REQUESTS" bare)" >>"$WORK/results"
  echo "requests peer $(peer "$SMALL" "$REQUESTS")" >>"$WORK/results"
  echo "download ours $(ours "$BIG" "$DOWNLOADS")" >>"$WORK/results"
  echo "download bare $(ours "$BIG" "$DOWNLOADS" bare)" >>"$WORK/results"
  echo "download peer $(peer "$BIG" "$DOWNLOADS")" >>"$WORK/results"
  log "round $round done"
done

echo
echo "ours = WebRequest under Wine (one call after another, each with its own session and connection)"
echo "bare = the least any WinHTTP client does for the same exchange, under Wine (what WinHTTP itself allows here)"
echo "peer = curl $(curl --version | head -n1 | cut -d' ' -f2), one process fetching the same URL, a new connection per request"
awk '
  {
    kind = $1; who = $2; n = $3; failed[kind " " who] += $4; bytes = $5; secs = $6
    rate = (kind == "requests") ? n / secs : bytes / 1048576 / secs
    if (rate > best[kind " " who]) best[kind " " who] = rate
  }
  function ratio(a, b) { return b > 0 ? a / b : 0 }
  function line(kind, unit, goal,   o, b, p) {
    o = best[kind " ours"]; b = best[kind " bare"]; p = best[kind " peer"]
    printf "%-18s %9.1f %9.1f %9.1f %10.2fx %10.2fx  (goal %.1fx)\n", kind " (" unit ")", o, b, p, ratio(o, p), ratio(b, p), goal
    if (failed[kind " ours"] + failed[kind " bare"] + failed[kind " peer"] > 0)
      printf "  failed transfers: ours %d, bare %d, peer %d\n", failed[kind " ours"], failed[kind " bare"], failed[kind " peer"]
  }
  END {
    printf "%-18s %9s %9s %9s %11s %11s\n", "best of rounds", "ours", "bare", "peer", "ours/peer", "bare/peer"
    line("requests", "per s", 0.8)
    line("download", "MB/s", 0.9)
  }' "$WORK/results"
