#!/usr/bin/env bash
# The search window comes up centred on the whole screen with its fixed outer
# size of 529x223, frame and title bar included, on screens of several sizes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

check_placement() {
  local size=$1 expected=$2
  start_program
  local actual
  actual=$(frame_geometry "$E2E_WIN")
  [ "$actual" = "$expected" ] ||
    fail "on $size the frame is at/size '$actual', expected '$expected' (x y width height)"
  # Shown normally: neither maximised nor minimised.
  if xprop -id "$E2E_WIN" _NET_WM_STATE | grep -Eq 'MAXIMIZED|HIDDEN'; then
    fail "on $size the window is not shown in the normal state: $(xprop -id "$E2E_WIN" _NET_WM_STATE)"
  fi
  note "$size: frame $actual"
}
e2e_dispatch "$@"

# screen size | frame x y width height: left = (W-529)/2, top = (H-223)/2,
# halves truncated.
cases=(
  "1024x768  247 272 529 223"
  "1280x1024 375 400 529 223"
  "800x600   135 188 529 223"
  "1366x768  418 272 529 223"
  "1025x769  248 273 529 223"
)
for row in "${cases[@]}"; do
  read -r size x y w h <<<"$row"
  run_fresh "$size" check_placement "$size" "$x $y $w $h"
done
echo "PASS"
