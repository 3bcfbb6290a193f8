# Sourced: start_xvfb starts an Xvfb of 1024x768 on the first free display
# from :99 upward and exports DISPLAY; XVFB_PID is its process id (kill it
# with stop_xvfb).
XVFB_PID=""

start_xvfb() {
  local n
  for n in $(seq 99 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # In a session of its own, so that Ctrl+C in the terminal reaches the
    # script, which stops Wine before the X server.
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        echo "Started Xvfb on $DISPLAY (pid $XVFB_PID)"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    # Lost a race for this display (or it never came up): try the next.
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  done
  echo "No free X display for Xvfb" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    timeout 10 tail --pid="$XVFB_PID" -f /dev/null 2>/dev/null || kill -9 "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
