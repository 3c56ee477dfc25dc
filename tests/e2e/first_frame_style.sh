#!/usr/bin/env bash
# The push buttons and the edit box wear the olive-green scheme from the first
# frame the window shows: the first screenshot in which "搜索" is painted at
# all already has its olive frame, and the edit box its olive border.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

# The colour of one screen pixel as "r,g,b".
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
    awk 'NR == 2 { match($0, /\(([0-9.]+),([0-9.]+),([0-9.]+)/); print substr($0, RSTART + 1, RLENGTH - 1) }'
}

check_first_frame() {
  "$E2E_BINARY" >"$E2E_TMP/program.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  wait_until 30 find_window "$E2E_PID" >/dev/null || fail "no window"
  local window shot="$E2E_TMP/first.png" painted="" x y
  window=$(find_window "$E2E_PID")
  wait_until 10 window_is_viewable "$window" || fail "window not mapped"
  read -r x y < <(client_to_screen "$window" 0 0)
  # Search button: client (360,8) 72x24; its frame's top edge at row 9
  # (a one-pixel ring of face colour outside it). Edit box: (168,8), border at column 168.
  for _ in $(seq 40); do
    screenshot "$shot"
    if [ "$(pixel "$shot" $((x + 396)) $((y + 20)))" != "$(pixel "$shot" $((x + 4)) $((y + 36)))" ]; then
      painted=yes
      break
    fi
    sleep 0.05
  done
  [ -n "$painted" ] || fail "the search button was never painted"
  local frame border
  frame=$(pixel "$shot" $((x + 396)) $((y + 9)))
  border=$(pixel "$shot" $((x + 168)) $((y + 20)))
  [ "$frame" = "55,98,6" ] || fail "first painted frame: the search button's frame is $frame, not 55,98,6"
  [ "$border" = "164,185,127" ] || fail "first painted frame: the edit box border is $border, not 164,185,127"
  note "first painted frame: button frame $frame, edit box border $border"
}
e2e_dispatch "$@"

run_fresh 1024x768 check_first_frame
echo "PASS"
