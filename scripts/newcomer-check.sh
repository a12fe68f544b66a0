#!/usr/bin/env bash
# A newcomer's first start, checked. Copies the checkout as a fresh clone
# holds it (tracked and new files, no build folders) into a temporary folder,
# runs its scripts/run.sh there on a display of our own, and passes when the
# program's window is up, its start-up checks have asked the version service,
# and a few seconds later the window is still there with no box beside it.
# Then it closes the program and checks that run.sh ends and stops the
# service it started. The copy is built from nothing (the program only) in a
# Wine prefix of its own: a few minutes.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FRESH=$(mktemp -d /tmp/feisuo-newcomer.XXXXXX)
BUILD=$FRESH/build
. "$ROOT/scripts/env.sh"

RUN_PID=""
finish() {
  local status=$?
  if [ -n "$RUN_PID" ]; then end_child "$RUN_PID"; fi
  [ -f "$BUILD/wine-env.sh" ] && (. "$BUILD/wine-env.sh" && "$WINESERVER" -k 2>/dev/null || true)
  stop_display
  if [ "$status" = 0 ]; then rm -rf "$FRESH"; else log "kept $FRESH for a look (run.log)"; fi
}
trap finish EXIT

fail() {
  log "FAILED: $*"
  [ -f "$FRESH/run.log" ] && tail -n 20 "$FRESH/run.log" >&2
  exit 1
}

# Named top-level windows of the program on our display: "飞梭助手" is its main
# window; any other name is a box (Wine's X windows carry the window text).
program_windows() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*\)": ("飞梭助手.exe".*/\1/p' |
    grep -vx 'Default IME' || true
}

manifest_requests() {
  cat "$BUILD/version-service.log" 2>/dev/null | grep -c '^GET /Soft/VER/SVERS.json ' || true
}

prepare_host
git -C "$ROOT" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$ROOT/$file" ] && printf '%s\0' "$file"; done |
  tar -C "$ROOT" --null -T - -cf - | tar -C "$FRESH" -xf -
log "fresh copy in $FRESH"

start_display
service_was_running=false
service_answers && service_was_running=true
BUILD_TARGETS=feisuo BUILD= "$FRESH/scripts/run.sh" >"$FRESH/run.log" 2>&1 &
RUN_PID=$!

log "waiting for the build and the window (minutes)"
for _ in $(seq 1 1800); do
  program_windows | grep -qx '飞梭助手' && break
  kill -0 "$RUN_PID" 2>/dev/null || fail "run.sh ended before the window appeared"
  sleep 0.5
done
program_windows | grep -qx '飞梭助手' || fail "no window"
if [ "$service_was_running" = false ]; then
  for _ in $(seq 1 120); do [ "$(manifest_requests)" -ge 2 ] && break; sleep 0.5; done
  [ "$(manifest_requests)" -ge 2 ] || fail "the start-up checks did not ask the service run.sh started"
else
  log "a version service already answered on port $VERSION_SERVICE_PORT: run.sh uses it"
fi
sleep 5
windows=$(program_windows)
[ "$windows" = '飞梭助手' ] || fail "windows besides the main window: $(echo "$windows" | tr '\n' ' ')"
kill -0 "$RUN_PID" 2>/dev/null || fail "the program ended"
log "the program runs past its start-up checks, no box shown"

(. "$BUILD/wine-env.sh" && "$WINE_LOADER" taskkill /im 飞梭助手.exe >/dev/null 2>&1) || fail "taskkill"
for _ in $(seq 1 60); do kill -0 "$RUN_PID" 2>/dev/null || break; sleep 0.5; done
kill -0 "$RUN_PID" 2>/dev/null && fail "run.sh did not end with the program"
wait "$RUN_PID" || fail "run.sh ended with an error"
RUN_PID=""
if [ "$service_was_running" = false ] && service_answers; then fail "the service run.sh started is still running"; fi
log "passed"
