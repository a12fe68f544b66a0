# Sourced by run.sh and test.sh: installs what is missing, prepares a private
# Wine prefix inside the build folder and starts/stops a display of our own.
# Needs ROOT (the checkout) and BUILD (the build folder) set by the caller.

set -euo pipefail

APT_PACKAGES=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest
  wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  locales python3 openssl)

log() { printf '[env] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() pkg
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    as_root dpkg --add-architecture i386
    missing+=(force-update)
  fi
  for pkg in "${APT_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  as_root apt-get update -q >&2
  local want=()
  for pkg in "${missing[@]}"; do [ "$pkg" = force-update ] || want+=("$pkg"); done
  [ ${#want[@]} -eq 0 ] && return 0
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends "${want[@]}" >&2
}

# Without a generated zh_CN locale Wine still reports code page 936, but
# Chinese arguments and file names arrive garbled.
ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    log "generating the zh_CN.UTF-8 locale"
    as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

# Picks the Wine flavour this host can run. Kernels without 32-bit user mode
# (some virtual machines) cannot start the 32-bit loader; there the tests run
# a 64-bit build of the same sources under the 64-bit Wine.
select_wine() {
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINE_ARCH=win32
    WINE_LOADER=/usr/lib/wine/wine
    TEST_TOOLCHAIN=i686
  else
    WINE_ARCH=win64
    WINE_LOADER=/usr/lib/wine/wine64
    TEST_TOOLCHAIN=x86_64
  fi
  export WINE_ARCH WINE_LOADER TEST_TOOLCHAIN
  export WINEARCH=$WINE_ARCH
  export WINEPREFIX="$BUILD/wineprefix-$WINE_ARCH"
  export WINEDEBUG=-all
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export WINESERVER=/usr/lib/wine/wineserver
  [ "$WINE_ARCH" = win64 ] && WINESERVER=/usr/lib/wine/wineserver64
  # Let wine-exec find the same environment when CTest is run by hand.
  mkdir -p "$BUILD"
  cat >"$BUILD/wine-env.sh" <<EOF
export WINE_ARCH=$WINE_ARCH WINE_LOADER=$WINE_LOADER WINEARCH=$WINE_ARCH
export WINEPREFIX="$WINEPREFIX" WINESERVER=$WINESERVER WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
EOF
  log "Wine: $WINE_ARCH ($WINE_LOADER), prefix $WINEPREFIX"
}

ensure_prefix() {
  if [ -f "$WINEPREFIX/.prepared" ]; then return 0; fi
  log "creating the Wine prefix (once)"
  rm -rf "$WINEPREFIX"
  # No display for the boot: Wine's first-run dialogs are not wanted.
  DISPLAY= "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
  "$WINESERVER" -w
  # Draw the program's font with the installed CJK face, under its own name too.
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  local face
  for face in "Microsoft YaHei" "微软雅黑" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
    DISPLAY= "$WINE_LOADER" reg add "$key" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  "$WINESERVER" -w
  [ -d "$WINEPREFIX/drive_c/windows" ] || { log "wineboot failed"; return 1; }
  touch "$WINEPREFIX/.prepared"
}

DISPLAY_PID=""
start_display() {
  local n
  for n in $(seq 91 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    DISPLAY_PID=$!
    local i
    for i in $(seq 1 100); do
      # Ours only if it is still alive: another Xvfb may have won the number.
      if xdpyinfo -display ":$n" >/dev/null 2>&1 && kill -0 "$DISPLAY_PID" 2>/dev/null; then
        export DISPLAY=":$n"
        log "Xvfb on $DISPLAY (pid $DISPLAY_PID)"
        return 0
      fi
      kill -0 "$DISPLAY_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$DISPLAY_PID" 2>/dev/null || true
    DISPLAY_PID=""
  done
  log "no free display for Xvfb"
  return 1
}

# Ends a process that this script started in the background, and waits for it.
end_child() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

stop_display() {
  if [ -n "$DISPLAY_PID" ]; then
    end_child "$DISPLAY_PID"
    DISPLAY_PID=""
  fi
}

stop_wine() {
  [ -n "${WINESERVER:-}" ] && "$WINESERVER" -k 2>/dev/null || true
  [ -n "${WINESERVER:-}" ] && "$WINESERVER" -w 2>/dev/null || true
}

# The version service that the program asks at start-up (service/serve.py).
# Builds of the run command ask 127.0.0.1:18731; test.sh builds for a test
# port (test_service_port), which a service left running never answers.
VERSION_SERVICE_PORT=18731
VERSION_SERVICE_HOST="127.0.0.1:$VERSION_SERVICE_PORT"

# 18732 for the default build folder; for another one a port derived from
# its path, so that test runs of several build folders can run at once.
# VERSION_TEST_PORT chooses one.
test_service_port() {
  if [ -n "${VERSION_TEST_PORT:-}" ]; then
    echo "$VERSION_TEST_PORT"
  elif [ "$BUILD" = "$ROOT/build" ]; then
    echo 18732
  else
    echo $((18733 + $(printf '%s' "$BUILD" | cksum | cut -d' ' -f1) % 1000))
  fi
}

service_answers() { (exec 3<>"/dev/tcp/127.0.0.1/$VERSION_SERVICE_PORT") 2>/dev/null; }

# Starts the repository's version service (requests logged to
# $BUILD/version-service.log) unless one answers on its port already.
SERVICE_PID=""
start_version_service() {
  if service_answers; then
    log "a version service answers on 127.0.0.1:$VERSION_SERVICE_PORT already: using it"
    return 0
  fi
  : >"$BUILD/version-service.log"
  python3 "$ROOT/service/serve.py" --port "$VERSION_SERVICE_PORT" --log "$BUILD/version-service.log" \
    >/dev/null 2>&1 &
  SERVICE_PID=$!
  local i
  for i in $(seq 1 100); do
    if service_answers; then
      log "version service on 127.0.0.1:$VERSION_SERVICE_PORT (pid $SERVICE_PID)"
      return 0
    fi
    kill -0 "$SERVICE_PID" 2>/dev/null || break
    sleep 0.1
  done
  log "the version service did not start"
  return 1
}

# Stops the service that start_version_service started, if it did.
stop_version_service() {
  if [ -n "$SERVICE_PID" ]; then
    end_child "$SERVICE_PID"
    SERVICE_PID=""
  fi
}

# Configures and builds one flavour: i686 (the shipped exe) or x86_64.
build_flavour() {
  local arch=$1 dir="$BUILD/$1"
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$arch.cmake" \
    -DVERSION_SERVICE_HOST="$VERSION_SERVICE_HOST" \
    -DUPDATE_DEV_KEY_DIR="$BUILD/dev-update-key" >/dev/null
  # BUILD_TARGETS (space-separated) limits the build to those targets.
  local targets=()
  [ -n "${BUILD_TARGETS:-}" ] && read -r -a targets <<<"$BUILD_TARGETS"
  cmake --build "$dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
}

# What every command does first: the packages, the locale and the Wine flavour.
prepare_host() {
  ensure_packages
  ensure_locale
  select_wine
}

# The shipped 32-bit build, and the flavour the tests run when that differs.
build_all() {
  build_flavour i686
  [ "$TEST_TOOLCHAIN" = i686 ] || build_flavour "$TEST_TOOLCHAIN"
}
