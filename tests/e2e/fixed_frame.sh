#!/usr/bin/env bash
# The frame is fixed: dragging its corners or edges leaves the size alone,
# while the title bar still moves the window.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

stop_program() {
  kill "$E2E_PID" 2>/dev/null || true
  wait_exit "$E2E_PID" 10
}

# Each drag starts from a freshly started window at its centred place.
check_fixed_frame() {
  local fx=247 fy=272 fw=529 fh=223
  # grip | where the button goes down | drag by
  local grips=(
    "bottom-right-corner $((fx + fw - 1)) $((fy + fh - 1)) 100 80"
    "right-edge          $((fx + fw - 1)) $((fy + fh / 2)) 100 0"
    "bottom-edge         $((fx + fw / 2)) $((fy + fh - 1)) 0 80"
    "top-left-corner     $fx $fy -60 -40"
    "left-edge           $fx $((fy + fh / 2)) -60 0"
  )
  local row name x y dx dy
  for row in "${grips[@]}"; do
    read -r name x y dx dy <<<"$row"
    start_program
    activate "$E2E_WIN"
    frame_is "$E2E_WIN" "$fx $fy $fw $fh" || fail "the window starts at $(frame_geometry "$E2E_WIN")"
    drag "$x" "$y" "$dx" "$dy"
    frame_size_is "$E2E_WIN" "529 223" ||
      fail "dragging the $name of the frame by $dx,$dy resized it: frame now $(frame_geometry "$E2E_WIN") (x y width height)"
    note "drag $name: $(frame_geometry "$E2E_WIN")"
    stop_program
  done

  # The same input on the title bar moves the window, size unchanged; this
  # also shows that the drags above reached the window manager.
  start_program
  activate "$E2E_WIN"
  drag $((fx + 100)) $((fy + 5)) 30 20
  wait_until 5 frame_is "$E2E_WIN" "$((fx + 30)) $((fy + 20)) 529 223" ||
    fail "dragging the title bar by 30,20 gave $(frame_geometry "$E2E_WIN"), expected $((fx + 30)) $((fy + 20)) 529 223"
  process_running "$E2E_PID" || fail "the program ended while its frame was dragged"
}
e2e_dispatch "$@"

run_fresh 1024x768 check_fixed_frame
echo "PASS"
