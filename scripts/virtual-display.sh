# Sourced by test.sh and run.sh: starts Xvfb on a free display number, exports
# DISPLAY, and stops it again when the calling script exits.
start_virtual_display() {
  local number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  KELTO_XVFB_PID=$!
  trap 'kill "$KELTO_XVFB_PID" 2>/dev/null || true' EXIT
  local waited=0
  until [ -e "/tmp/.X11-unix/X$number" ]; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 100 ]; then
      echo "Xvfb did not start on :$number" >&2
      return 1
    fi
  done
  export DISPLAY=":$number"
}
