# Sourced by test.sh and run.sh: starts Xvfb on a free display number, exports
# DISPLAY, and stops it again when the calling script exits.
start_virtual_display() {
  local number=90 waited
  while [ "$number" -lt 200 ]; do
    # A display taken elsewhere may show no file here (another chroot, the abstract
    # socket of another file system's server): then Xvfb ends at once, and the next
    # number is tried.
    if [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; then
      number=$((number + 1))
      continue
    fi
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KELTO_XVFB_PID=$!
    trap 'kill "$KELTO_XVFB_PID" 2>/dev/null || true' EXIT
    waited=0
    until [ -e "/tmp/.X11-unix/X$number" ] || ! kill -0 "$KELTO_XVFB_PID" 2>/dev/null ||
          [ "$waited" -gt 100 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$KELTO_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$number"
      return 0
    fi
    kill "$KELTO_XVFB_PID" 2>/dev/null || true
    wait "$KELTO_XVFB_PID" 2>/dev/null || true
    number=$((number + 1))
  done
  echo "Xvfb did not start on any display from :90 to :199" >&2
  return 1
}
