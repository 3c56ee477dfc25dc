#!/usr/bin/env bash
# The usage window as a user meets it: "使用说明" opens it centred on the whole
# screen with its fixed 833x577 frame, off the taskbar, owned by the run time's
# invisible window, without maximise, minimise or resize; while it is open the
# search window takes no input; Esc, Alt+F4 and the window manager's close
# each close it and give the search window back; a moved window opens centred
# again; and its picture boxes are stacked as described (picture 3 on top, the
# hyperlink box over picture 2's box, a face-coloured line under picture 1).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/search.bash"
# A command that fails outside a check (xdotool, xprop) ends the script: say which.
set -o errtrace
trap 'e2e_status=$?; [ "$BASH_SUBSHELL" -gt 0 ] || echo "FAIL: line $LINENO: \"$BASH_COMMAND\" exited with status $e2e_status" >&2' ERR

USAGE_TITLE='使用说明'
USAGE_W=833 USAGE_H=577
# "使用说明" is at (440, 8), 72x24, in the search window's client area.
USAGE_BUTTON_X=476 USAGE_BUTTON_Y=20
FACE='246 245 244' # #f6f5f4

# find_usage_window PID: the id of the process's window titled "使用说明".
find_usage_window() {
  local id
  for id in $(xdotool search --all --pid "$1" --name "$USAGE_TITLE" 2>/dev/null); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$USAGE_TITLE" ] && window_is_viewable "$id"; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
usage_window_gone() { ! find_usage_window "$E2E_PID" >/dev/null; }

# Clicks "使用说明" in the search window and sets USAGE_WIN once the window is
# up (framed, when there is a window manager) and painted.
open_usage_window() {
  activate "$E2E_WIN"
  local x y
  read -r x y < <(client_to_screen "$E2E_WIN" "$USAGE_BUTTON_X" "$USAGE_BUTTON_Y")
  xdotool mousemove "$x" "$y" click 1
  wait_until 15 find_usage_window "$E2E_PID" >/dev/null || fail "a click on 使用说明 opened no usage window"
  USAGE_WIN=$(find_usage_window "$E2E_PID")
  if wm_running; then
    wait_until 10 has_frame_extents "$USAGE_WIN" || fail "the usage window has no frame from the window manager"
  fi
  sleep 0.8
}

# close_usage_window HOW: one of the ways a user closes it.
close_usage_window() {
  case "$1" in
    Escape | alt+F4)
      activate "$USAGE_WIN"
      xdotool key "$1"
      ;;
    wmctrl) wmctrl -i -c "$USAGE_WIN" ;;
    *) fail "unknown way to close: $1" ;;
  esac
  wait_until 10 usage_window_gone || fail "closing with $1 left the usage window open"
  process_running "$E2E_PID" || fail "closing the usage window with $1 ended the program"
  window_is_viewable "$E2E_WIN" || fail "closing the usage window with $1 hid the search window"
}

# --- placement ---------------------------------------------------------------

# check_placement SIZE "X Y" ["X Y"]: the frame (the window itself without a
# window manager) is 833x577 at X, Y, or at the second place, where a window
# manager may move a window that the program placed partly off the screen.
check_placement() {
  local size=$1 expected="$2 $USAGE_W $USAGE_H" wm_may_clamp_to=
  [ -n "${3:-}" ] && wm_may_clamp_to="$3 $USAGE_W $USAGE_H"
  start_program
  open_usage_window
  local actual
  if wm_running; then
    actual=$(frame_geometry "$USAGE_WIN")
  else
    actual=$(client_geometry "$USAGE_WIN")
  fi
  if [ "$actual" != "$expected" ] && [ -n "$wm_may_clamp_to" ] && [ "$actual" = "$wm_may_clamp_to" ]; then
    note "$size: the window manager moved the usage window from '$expected' to '$actual'"
    return 0
  fi
  [ "$actual" = "$expected" ] ||
    fail "on $size the usage window is at/size '$actual', expected '$expected' (x y width height)"
  note "$size$(wm_running || echo ' without window manager'): usage window $actual"
}

# --- window-manager properties -------------------------------------------------

check_frame_properties() {
  start_program
  open_usage_window
  local state
  state=$(xprop -id "$USAGE_WIN" _NET_WM_STATE)
  grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" || fail "the usage window has a taskbar entry: $state"

  # Owned by an invisible window of the program, not by the search window.
  local owner
  owner=$(xprop -id "$USAGE_WIN" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')
  [ -n "$owner" ] || fail "the usage window is transient for no window"
  [ $((owner)) -ne $((E2E_WIN)) ] || fail "the usage window is owned by the search window"
  xwininfo -id "$owner" | grep -q 'Map State: IsUnMapped' || fail "the owner $owner of the usage window is visible"
  xprop -id "$owner" _NET_WM_PID | grep -q "= $E2E_PID\$" || fail "the owner $owner is not the program's window"
  note "owner: $owner '$(xdotool getwindowname "$owner")', search window $E2E_WIN"

  # What the program asks for: Motif functions move and close only (no
  # resize, minimise or maximise). Flags bit 0 says the functions word counts.
  local motif flags functions
  motif=$(xprop -id "$USAGE_WIN" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ',')
  read -r flags functions _ <<<"$motif"
  [ -n "$flags" ] && [ $((flags & 1)) -eq 1 ] || fail "the usage window asks for no Motif functions: '$motif'"
  # bit | function: 1 all, 2 resize, 4 move, 8 minimise, 16 maximise, 32 close
  [ $((functions & (1 | 2 | 8 | 16))) -eq 0 ] && [ $((functions & (4 | 32))) -eq $((4 | 32)) ] ||
    fail "the usage window's Motif functions are $functions, expected move and close (0x24)"

  # What the window manager lets the user do with it. Openbox takes the
  # resize and maximise part from the fixed size, but keeps minimise (and
  # fullscreen) for every normal window whatever the Motif functions say.
  local actions action
  actions=$(xprop -id "$USAGE_WIN" _NET_WM_ALLOWED_ACTIONS)
  for action in MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; do
    if grep -q "_NET_WM_ACTION_$action\b" <<<"$actions"; then
      fail "the window manager allows $action on the usage window: $actions"
    fi
  done
  for action in MOVE CLOSE; do
    grep -q "_NET_WM_ACTION_$action\b" <<<"$actions" || fail "the usage window cannot be ${action,,}d: $actions"
  done
  note "Motif functions $functions; allowed actions: ${actions#*= }"

  # Asking to maximise it anyway changes nothing.
  wmctrl -i -r "$USAGE_WIN" -b add,maximized_vert,maximized_horz
  sleep 1
  frame_is "$USAGE_WIN" "95 95 $USAGE_W $USAGE_H" ||
    fail "asking to maximise changed the usage window to $(frame_geometry "$USAGE_WIN")"

  # Dragging a corner or an edge of the frame leaves its size alone.
  local grips=(
    "bottom-right-corner $((95 + USAGE_W - 1)) $((95 + USAGE_H - 1)) 60 50"
    "left-edge           95 $((95 + USAGE_H / 2)) -50 0"
    "bottom-edge         $((95 + USAGE_W / 2)) $((95 + USAGE_H - 1)) 0 50"
  )
  local row name x y dx dy
  for row in "${grips[@]}"; do
    read -r name x y dx dy <<<"$row"
    activate "$USAGE_WIN"
    drag "$x" "$y" "$dx" "$dy"
    frame_size_is "$USAGE_WIN" "$USAGE_W $USAGE_H" ||
      fail "dragging the $name by $dx,$dy resized the usage window: $(frame_geometry "$USAGE_WIN")"
  done
  # The title bar still moves it, which shows that the drags reach the frame.
  read -r x y _ < <(frame_geometry "$USAGE_WIN")
  drag $((x + 200)) $((y + 5)) 40 30
  wait_until 5 frame_is "$USAGE_WIN" "$((x + 40)) $((y + 30)) $USAGE_W $USAGE_H" ||
    fail "dragging the title bar by 40,30 gave $(frame_geometry "$USAGE_WIN")"
  note "not resizable by dragging; movable by its title bar"
}

# --- modality ------------------------------------------------------------------

# On 1600x1200 the search window's 搜索 is clear of the usage window once that
# is moved to the top-left corner, so clicks can reach the disabled window.
check_modal() {
  search_start_service "$E2E_TMP"
  E2E_PIDS+=("$SEARCH_SERVICE_PID") # ended with the program when the check ends
  start_program -u no_proxy -u NO_PROXY http_proxy="http://127.0.0.1:$SEARCH_PORT" GIO_USE_PROXY_RESOLVER=libproxy
  activate "$E2E_WIN"
  local button_x button_y edit_x edit_y
  read -r button_x button_y < <(client_to_screen "$E2E_WIN" "$SEARCH_BUTTON_X" "$SEARCH_BUTTON_Y")
  read -r edit_x edit_y < <(client_to_screen "$E2E_WIN" "$SEARCH_EDIT_X" "$SEARCH_EDIT_Y")
  xdotool mousemove "$edit_x" "$edit_y" click 1
  xdotool type --delay 20 abc
  sleep 0.3

  local how searches=0
  for how in Escape alt+F4 wmctrl; do
    open_usage_window
    xdotool windowmove "$USAGE_WIN" 0 0
    sleep 0.5
    local fx fy fw fh
    read -r fx fy fw fh < <(frame_geometry "$USAGE_WIN")
    [ "$button_x" -ge $((fx + fw)) ] || [ "$button_y" -ge $((fy + fh)) ] ||
      fail "the usage window ($fx $fy $fw $fh) still covers 搜索 at $button_x,$button_y"

    # Mouse and keyboard meant for the search window go nowhere.
    xdotool mousemove "$button_x" "$button_y" click 1
    xdotool mousemove "$edit_x" "$edit_y" click 1
    xdotool windowactivate "$E2E_WIN" 2>/dev/null || true
    sleep 0.3
    xdotool type --delay 20 xyz
    xdotool key Return space
    xdotool mousemove "$button_x" "$button_y" click 1
    sleep 2
    [ "$(search_count_prefix "$SEARCH_PREFIX")" -eq "$searches" ] ||
      fail "a click on 搜索 searched while the usage window was open: $(cat "$SEARCH_WORK/requests.log")"
    find_usage_window "$E2E_PID" >/dev/null || fail "input to the search window closed the usage window"

    close_usage_window "$how"
    # The search window takes input again, and took none while disabled.
    activate "$E2E_WIN"
    xdotool mousemove "$button_x" "$button_y" click 1
    searches=$((searches + 1))
    search_wait_count "${SEARCH_PREFIX}abc" "$searches" 10 ||
      fail "after closing the usage window with $how, a click on 搜索 gave no search for 'abc': $(cat "$SEARCH_WORK/requests.log")"
    note "$how: closed, no search while open, search window works again"
  done
  [ "$(search_count_prefix "$SEARCH_PREFIX")" -eq "$searches" ] ||
    fail "other searches than those for 'abc': $(cat "$SEARCH_WORK/requests.log")"
}

# A moved usage window, closed and opened again, comes up centred.
check_reopens_centred() {
  start_program
  open_usage_window
  frame_is "$USAGE_WIN" "95 95 $USAGE_W $USAGE_H" || fail "the usage window opens at $(frame_geometry "$USAGE_WIN")"
  xdotool windowmove "$USAGE_WIN" 20 30
  wait_until 5 eval '! frame_is "$USAGE_WIN" "95 95 $USAGE_W $USAGE_H"' || fail "xdotool windowmove did not move the usage window"
  note "moved to $(frame_geometry "$USAGE_WIN")"
  close_usage_window Escape
  open_usage_window
  frame_is "$USAGE_WIN" "95 95 $USAGE_W $USAGE_H" ||
    fail "opened again after a move, the usage window is at $(frame_geometry "$USAGE_WIN"), expected 95 95"
  close_usage_window Escape
}

# --- pixels --------------------------------------------------------------------

# client_pixels SHOT X Y W H: "x y r g b" for each pixel of the usage window's
# client rectangle, in client coordinates.
client_pixels() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5 ox oy
  read -r ox oy _ < <(client_geometry "$USAGE_WIN")
  convert "$shot" -crop "${w}x${h}+$((ox + x))+$((oy + y))" +repage -depth 8 txt:- | pixels_of_txt "$x" "$y"
}

# picture_pixels FILE X Y W H DX DY: the same for a picture file's rectangle,
# the coordinates moved by DX, DY (into client coordinates).
picture_pixels() {
  local file=$1 x=$2 y=$3 w=$4 h=$5 dx=$6 dy=$7
  convert "$file" -crop "${w}x${h}+$x+$y" +repage -depth 8 txt:- | pixels_of_txt $((x + dx)) $((y + dy))
}

pixels_of_txt() {
  awk -v dx="$1" -v dy="$2" '
    match($0, /^[0-9]+,[0-9]+:/) {
      split(substr($0, 1, RLENGTH - 1), at, ",")
      match($0, /\(([0-9.]+),([0-9.]+),([0-9.]+)/)
      split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
      print at[1] + dx, at[2] + dy, c[1] + 0, c[2] + 0, c[3] + 0
    }'
}

# mismatches A B TOLERANCE: how many pixels of A (as client_pixels prints)
# differ from the pixel of B at the same place by more than TOLERANCE in a channel.
mismatches() {
  awk -v tolerance="$3" '
    function far(a, b) { return a - b > tolerance || b - a > tolerance }
    FNR == NR { want[$1 " " $2] = $3 " " $4 " " $5; next }
    {
      if (!(($1 " " $2) in want)) { n++; next }
      split(want[$1 " " $2], w, " ")
      if (far($3, w[1]) || far($4, w[2]) || far($5, w[3])) n++
    }
    END { print n + 0 }' "$2" "$1"
}

# colour_count PIXELS "R G B" TOLERANCE: pixels within TOLERANCE of the colour.
colour_count() {
  awk -v colour="$2" -v tolerance="$3" '
    function near(a, b) { return a - b <= tolerance && b - a <= tolerance }
    BEGIN { split(colour, k, " ") }
    near($3, k[1]) && near($4, k[2]) && near($5, k[3]) { n++ }
    END { print n + 0 }' "$1"
}

check_pixels() {
  start_program
  open_usage_window
  # The pointer off the window: no hover colour on the hyperlink box.
  xdotool mousemove 0 0
  sleep 0.5
  local shot="$E2E_TMP/usage.png" dir="$E2E_TMP" cw ch
  screenshot "$shot"
  read -r _ _ cw ch < <(client_geometry "$USAGE_WIN")
  note "client area ${cw}x$ch"
  local pictures="$E2E_SOURCE_DIR/resources"

  # Where 图片框3 (376,152) overlaps 图片框1 and 图片框2, picture 3 is seen and
  # not what lies below (picture 1 from (-8,-8), picture 2 from (0,240)).
  # overlap | x y w h in client coordinates | the box below | its picture's offset
  local overlaps=(
    "over-picture-1 376 152 96 88  usage_picture_1.jpg -8 -8"
    "over-picture-2 376 240 63 144 usage_picture_2.jpg 0 240"
  )
  local row name x y w h below bx by seen bad under
  for row in "${overlaps[@]}"; do
    read -r name x y w h below bx by <<<"$row"
    client_pixels "$shot" "$x" "$y" "$w" "$h" >"$dir/seen.txt"
    picture_pixels "$pictures/usage_picture_3.jpg" $((x - 376)) $((y - 152)) "$w" "$h" 376 152 >"$dir/three.txt"
    picture_pixels "$pictures/$below" $((x - bx)) $((y - by)) "$w" "$h" "$bx" "$by" >"$dir/below.txt"
    seen=$(wc -l <"$dir/seen.txt")
    bad=$(mismatches "$dir/seen.txt" "$dir/three.txt" 12)
    under=$(mismatches "$dir/seen.txt" "$dir/below.txt" 12)
    note "$name: $seen pixels, $bad unlike picture 3, $under unlike $below"
    [ "$seen" -eq $((w * h)) ] || fail "$name: read $seen pixels of the screenshot, expected $((w * h))"
    # JPEG decoders may differ slightly on a few edge pixels.
    [ "$bad" -le $((seen / 200)) ] || fail "$name: $bad of $seen pixels differ from usage picture 3 by more than 12"
    # The check can tell the pictures apart here.
    [ "$under" -ge $((seen / 20)) ] || fail "$name: picture 3 and $below look alike here ($under differ): move the sample"
  done

  # Picture 3 is 445 pixels wide in a 464-pixel box: its background strip from
  # x 821 shows as far as the client area reaches.
  if [ "$cw" -gt 822 ]; then
    client_pixels "$shot" 821 152 $((cw - 821)) 232 >"$dir/strip.txt"
    [ "$(colour_count "$dir/strip.txt" "$FACE" 0)" -eq "$(wc -l <"$dir/strip.txt")" ] ||
      fail "the strip right of usage picture 3 (x 821-$((cw - 1))) is not all face colour"
  fi

  # Client row 239, x 0-375: the bottom row of 图片框1 that its picture (247
  # rows from y -8) leaves uncovered, in the face colour.
  client_pixels "$shot" 0 239 376 1 >"$dir/row.txt"
  [ "$(colour_count "$dir/row.txt" "$FACE" 0)" -eq 376 ] ||
    fail "client row 239, x 0-375, is not all #f6f5f4: $(awk '$3" "$4" "$5 != "246 245 244"' "$dir/row.txt" | head -5 | tr '\n' ';')"
  # ...between two pictures: the rows just above and below are not plain face colour.
  client_pixels "$shot" 0 238 376 1 >"$dir/above.txt"
  [ "$(colour_count "$dir/above.txt" "$FACE" 0)" -lt 300 ] || fail "client row 238 is mostly face colour: picture 1 is missing"
  client_pixels "$shot" 0 240 376 1 >"$dir/below-row.txt"
  [ "$(colour_count "$dir/below-row.txt" "$FACE" 0)" -lt 300 ] || fail "client row 240 is mostly face colour: picture 2 is missing"

  # 超级链接框1 (464..695, 416..439) lies over 图片框2 at x 464-479: only the
  # hyperlink box's face-coloured background and its blue text are seen there.
  client_pixels "$shot" 464 416 16 24 >"$dir/link.txt"
  local odd blue
  odd=$(awk '!(($3 == 246 && $4 == 245 && $5 == 244) || ($5 > $3 + 20 && $5 > $4 + 20))' "$dir/link.txt" | wc -l)
  blue=$(awk '$3 <= 100 && $4 <= 100 && $5 >= 180' "$dir/link.txt" | wc -l)
  note "hyperlink box over 图片框2: $odd pixels neither face colour nor blue, $blue blue text pixels"
  [ "$odd" -eq 0 ] || fail "at x 464-479, y 416-439 something else than the hyperlink box shows: $(awk '!(($3 == 246 && $4 == 245 && $5 == 244) || ($5 > $3 + 20 && $5 > $4 + 20))' "$dir/link.txt" | head -5 | tr '\n' ';')"
  [ "$blue" -gt 0 ] || fail "no blue text of the hyperlink box at x 464-479, y 416-439"
}
e2e_dispatch "$@"

# screen | where the frame goes: ((W-833)/2, (H-577)/2), halves truncated.
run_fresh 1024x768 check_placement 1024x768 "95 95"
run_fresh 1280x1024 check_placement 1280x1024 "223 223"
# Smaller than the window: the program asks for (-16, 11), partly off the screen.
run_fresh --no-wm 800x600 check_placement 800x600 "-16 11"
# Openbox keeps the left edge of a window that places itself on the screen.
run_fresh 800x600 check_placement 800x600 "-16 11" "0 11"
run_fresh 1024x768 check_frame_properties
run_fresh 1600x1200 check_modal
run_fresh 1024x768 check_reopens_centred
run_fresh 1024x768 check_pixels
echo "PASS"
