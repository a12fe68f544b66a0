#!/usr/bin/env bash
# Benchmarks the file downloader under Wine: a 50 MiB download from our local
# server (tests/update/download_server.py) by FileDownloader, beside curl and
# a bare WinHTTP read loop in the same run, first as fast as loopback allows
# and then with the server pacing the body to 10 MiB/s, as a fast line would.
# Prints MB/s, the ratio to curl, the program's peak working set and the
# cadence of the progress events. Takes one to two minutes.
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build}
. "$ROOT/scripts/env.sh"
SIZE=$((50 * 1024 * 1024))
PACE=$((10 * 1024 * 1024))
RUNS=5

prepare_host
dir="$BUILD/$TEST_TOOLCHAIN"
cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$TEST_TOOLCHAIN.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target download_bench >/dev/null

SERVER_PID=""
WORK=$(mktemp -d)
cleanup() {
  exec 3>&- 2>/dev/null || true   # the server ends when its input closes
  if [ -n "$SERVER_PID" ]; then
    sleep 0.5
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

mkfifo "$WORK/hold"
python3 "$ROOT/tests/update/download_server.py" <"$WORK/hold" >"$WORK/port" &
SERVER_PID=$!
exec 3>"$WORK/hold"
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
PORT=$(head -n1 "$WORK/port")
[ -n "$PORT" ] || { log "the download server did not start"; exit 1; }
log "download server on 127.0.0.1:$PORT"

bench=$dir/bench/update/download_bench.exe
target_win=$("$WINE_LOADER" winepath -w "$WORK/ours.bin" 2>/dev/null | tr -d '\r')

# RESULT lines: who, bytes, seconds, then (ours) working set and cadence.
run_curl() {  # label, url
  curl -s -o "$WORK/curl.bin" -w "RESULT $1 %{size_download} %{time_total}\n" "$2" 3>&-
}
run_wine() {  # mode, label, url
  timeout 300 "$WINE_LOADER" "$bench" "$1" "$3" "$target_win" 3>&- | tr -d '\r' | sed "s/^RESULT $1 /RESULT $2 /"
}
url="http://127.0.0.1:$PORT/body?size=$SIZE&piece=524288"
paced="$url&rate=$PACE"
for i in $(seq 1 "$RUNS"); do
  log "round $i of $RUNS"
  run_curl curl "$url"
  run_wine ours ours "$url"
  run_wine winhttp winhttp "$url"
done >"$WORK/fast.txt"
log "paced to $((PACE / 1024 / 1024)) MiB/s"
{ run_curl curl "$paced"; run_wine ours ours "$paced"; } >"$WORK/paced.txt"

awk -v size="$SIZE" '
  function median(list, n,   i, j, t, a) {
    split(list, a, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return a[int((n + 1) / 2)]
  }
  FNR == 1 { phase++ }
  $1 != "RESULT" { next }
  $3 != size { printf "%s: %s bytes instead of %s\n", $2, $3, size; bad = 1 }
  phase == 1 { rate[$2] = rate[$2] " " size / $4 / 1e6; n[$2]++; ws[$2] = ws[$2] " " $5 }
  phase == 2 { paced[$2] = size / $4 / 1e6; if ($2 == "ours") { events = $6; first = $7; gmed = $8; gmin = $9; gmax = $10 } }
  END {
    c = median(rate["curl"], n["curl"]); o = median(rate["ours"], n["ours"]); w = median(rate["winhttp"], n["winhttp"])
    printf "\n50 MiB from 127.0.0.1, median of %d rounds (MB = 10^6 bytes)\n", n["curl"]
    printf "  %-26s %9s %10s %20s\n", "", "MB/s", "x curl", "peak working set"
    printf "  %-26s %9.1f %10.2f\n", "curl", c, 1
    printf "  %-26s %9.1f %10.2f %16.1f MiB\n", "FileDownloader", o, o / c, median(ws["ours"], n["ours"]) / 1024
    printf "  %-26s %9.1f %10.2f %16.1f MiB\n", "bare WinHTTP read loop", w, w / c, median(ws["winhttp"], n["winhttp"]) / 1024
    printf "\nthe same, paced by the server to %.1f MB/s\n", '"$PACE"' / 1e6
    printf "  %-26s %9.1f %10.2f\n", "curl", paced["curl"], 1
    printf "  %-26s %9.1f %10.2f\n", "FileDownloader", paced["ours"], paced["ours"] / paced["curl"]
    printf "  progress events: %d, the first %d ms after Start, then every %d ms (median; min %d, max %d)\n",
      events, first, gmed, gmin, gmax
    exit bad
  }' "$WORK/fast.txt" "$WORK/paced.txt"
