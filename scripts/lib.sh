# Shared by the test and run commands: set-up, build, and a private X display.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${ORB_BUILD_DIR:-$ROOT/build}"

# Builds from different checkouts share the compiler cache (CI builds a fresh clone).
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1

# Extra arguments go to the configure step.
orb_build() {
  bash "$ROOT/scripts/setup"
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# Starts Xvfb with a window manager when no display is set; stopped by orb_stop_display.
orb_start_display() {
  ORB_XVFB_PID=""
  ORB_WM_PID=""
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local fifo
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  ORB_XVFB_PID=$!
  local num
  read -r -t 20 num <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$num" ]; then
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$num"
  openbox >/dev/null 2>&1 &
  ORB_WM_PID=$!
}

orb_stop_display() {
  [ -n "${ORB_WM_PID:-}" ] && kill "$ORB_WM_PID" 2>/dev/null || true
  [ -n "${ORB_XVFB_PID:-}" ] && kill "$ORB_XVFB_PID" 2>/dev/null || true
}

# Splits tests/sanitizers.supp into one file per sanitizer in $BUILD_DIR and points the
# sanitizers' options at them.
orb_sanitizer_options() {
  local supp="$ROOT/tests/sanitizers.supp"
  local body
  body="$(grep -v '^[[:space:]]*#' "$supp" | grep -v '^[[:space:]]*$' || true)"
  grep '^leak:' <<<"$body" >"$BUILD_DIR/lsan.supp" || true
  grep -E '^(interceptor_name|interceptor_via_fun|interceptor_via_lib|odr_violation):' \
    <<<"$body" >"$BUILD_DIR/asan.supp" || true
  grep -vE '^(leak|interceptor_name|interceptor_via_fun|interceptor_via_lib|odr_violation):' \
    <<<"$body" >"$BUILD_DIR/ubsan.supp" || true
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_init_order=1:suppressions=$BUILD_DIR/asan.supp"
  export LSAN_OPTIONS="print_suppressions=0:suppressions=$BUILD_DIR/lsan.supp"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$BUILD_DIR/ubsan.supp"
}
