#!/usr/bin/env bash
# Maximising makes the client area fill the screen less the frame, stretches
# the web view to it and brings the forum label, the site link and the author
# credit into view; restoring takes all that back.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

# Screen boxes of the far-right controls, from client coordinates.
box() { # name client_x client_y w h
  local sx sy
  read -r sx sy < <(client_to_screen "$E2E_WIN" "$2" "$3")
  echo "$sx $sy $4 $5"
}

# The screen once maximised; false with the reason in E2E_WHY until it is
# right (the web view may still be repainting).
maximised_view_ok() {
  local shot="$E2E_TMP/maximised.png"
  screenshot "$shot"
  cp "$shot" "${E2E_SHOT_DIR:-$E2E_TMP}/maximised.png" 2>/dev/null || true
  E2E_REPORT=()

  # control | client box | colour class | least number of such pixels | how
  # the text sits in its box: labels from the left edge, the link centred;
  # all of them centred vertically.
  local boxes=(
    "forum-label  528 8 56 24  red   15 left"
    "site-link    592 8 128 24 blue  30 centre"
    "author       728 8 48 24  blue  15 left"
  )
  local row name x y w h class least align n x0 x1 y0 y1
  for row in "${boxes[@]}"; do
    read -r name x y w h class least align <<<"$row"
    read -r n x0 x1 y0 y1 < <(pixel_report "$shot" $(box "$name" "$x" "$y" "$w" "$h") "$class")
    [ "$n" -ge "$least" ] || why "maximised: $name at ($x,$y) ${w}x$h shows $n $class pixels, expected at least $least" || return 1
    E2E_REPORT+=("maximised: $name has $n $class pixels, x $x0..$x1 y $y0..$y1 in its box")
    if [ "$align" = left ]; then
      [ "$x0" -le 3 ] || why "maximised: the text of $name starts $x0 pixels right of its box's left edge" || return 1
    else
      { [ $(( (x0 + x1 - w + 1) / 2 )) -ge -3 ] && [ $(( (x0 + x1 - w + 1) / 2 )) -le 3 ]; } ||
        why "maximised: the text of $name spans x $x0..$x1 of its ${w}-pixel box, not centred" || return 1
    fi
    { [ $(( (y0 + y1 - h + 1) / 2 )) -ge -3 ] && [ $(( (y0 + y1 - h + 1) / 2 )) -le 3 ]; } ||
      why "maximised: the text of $name spans y $y0..$y1 of its ${h}-pixel box, not centred vertically" || return 1
  done
  # Nothing of them spills into the gaps between the boxes.
  for row in "584 8 8 24" "720 8 8 24" "776 8 40 24"; do
    read -r x y w h <<<"$row"
    n=$(( $(count_pixels "$shot" $(box gap "$x" "$y" "$w" "$h") red) + $(count_pixels "$shot" $(box gap "$x" "$y" "$w" "$h") blue) ))
    [ "$n" -eq 0 ] || why "maximised: $n red/blue pixels between the far-right controls at ($x,$y) ${w}x$h" || return 1
  done

  # The web view: white from x=8 to the right edge and from y=40 to the bottom
  # of the client area (it overhangs both, unseen).
  local cx cy cw ch
  read -r cx cy cw ch < <(client_geometry "$E2E_WIN")
  n=$(count_pixels "$shot" $((cx + 8)) $((cy + 40)) $((cw - 8)) $((ch - 40)) nonwhite)
  [ "$n" -eq 0 ] || why "maximised: the web view area (8,40)-(${cw},${ch}) has $n pixels that are not white" || return 1
  # Left of the web view and above it is the window's face, not white.
  n=$(count_pixels "$shot" $((cx + 0)) $((cy + 40)) 8 $((ch - 40)) white)
  [ "$n" -eq 0 ] || why "maximised: the 8-pixel margin left of the web view has $n white pixels" || return 1
  n=$(count_pixels "$shot" $((cx + 520)) $((cy + 33)) $((cw - 520)) 7 white)
  [ "$n" -eq 0 ] || why "maximised: the row between the top controls and the web view has $n white pixels" || return 1
}

restored_view_ok() {
  local shot="$E2E_TMP/restored.png" cx cy cw ch sw sh class n
  screenshot "$shot"
  read -r cx cy cw ch < <(client_geometry "$E2E_WIN")
  # Red and blue are gone from the top row: the far-right controls lie past
  # the client area's right edge. (The screen outside the window is the bare
  # root window.)
  read -r sw sh < <(screen_size)
  for class in red blue; do
    n=$(count_pixels "$shot" 0 "$cy" "$sw" 32 "$class")
    [ "$n" -eq 0 ] || why "restored: $n $class pixels in the top row, the far-right controls should be out of view" || return 1
  done
  n=$(count_pixels "$shot" $((cx + 8)) $((cy + 40)) $((cw - 8)) $((ch - 40)) nonwhite)
  [ "$n" -eq 0 ] || why "restored: the web view area is not all white ($n other pixels)" || return 1
}

check_maximise() {
  start_program
  activate "$E2E_WIN"
  maximise "$E2E_WIN"
  wait_until 15 client_fills_screen "$E2E_WIN" ||
    fail "maximised, the client area is $(client_geometry "$E2E_WIN") with frame $(frame_extents "$E2E_WIN"); screen $(screen_size)"
  wait_until 15 maximised_view_ok || fail "$E2E_WHY"
  local line
  for line in "${E2E_REPORT[@]}"; do note "$line"; done

  restore "$E2E_WIN"
  wait_until 15 frame_size_is "$E2E_WIN" "529 223" || fail "restored, the frame is $(frame_geometry "$E2E_WIN"), expected 529x223"
  wait_until 15 restored_view_ok || fail "$E2E_WHY"
}
e2e_dispatch "$@"

run_fresh 1024x768 check_maximise
run_fresh 1280x1024 check_maximise
echo "PASS"
