#!/usr/bin/env bash
# Takes the raw screenshots that the usage pictures are made from: our own search
# window, and the sample service's results page shown in it, collapsed and with one
# row's play addresses opened. Runs on a fresh virtual screen, so nothing on the
# desktop gets in the way.
#
# Regenerating the usage pictures:
#
#   cmake -S . -B build -G Ninja && cmake --build build      # program and sample service
#   tools/usage_pictures/capture.sh build                     # -> build/usage_pictures/captures
#   cp build/usage_pictures/captures/*.png tools/usage_pictures/captures/   # if they should change
#   cmake --build build --target usage_pictures_resources     # -> resources/usage_picture_*.jpg
#
# The last step runs the picture tool (tools/usage_pictures, not built by default) on the
# committed captures, so it needs no display; by hand:
#   build/tools/usage_pictures/usage_pictures tools/usage_pictures/captures resources
# Look at new captures before committing them: the picture tool cuts them at fixed offsets
# that suit our window's frame (529 pixels wide) and the sample page's row layout.
#
#   tools/usage_pictures/capture.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd)
output_dir=${2:-$build_dir/usage_pictures/captures}

if [ "${USAGE_CAPTURE_ON_DISPLAY:-}" != yes ]; then
  export USAGE_CAPTURE_ON_DISPLAY=yes
  exec "$source_dir/tools/with-display" --fresh --size 1024x768 "$0" "$build_dir" "$output_dir"
fi

film_name="英雄"
# Where the search window's controls sit in its client area, and the page's rows.
search_button_in_client=(395 20)
web_view_in_client=(8 40)
first_row_top_in_page=54
row_pitch_in_page=29
expander_centre_x_in_page=41
# Enough of the page for both results pictures.
page_capture_size=470x400
# The desktop that shows to the right of the window in the first picture.
desktop_strip_width=24
desktop_colour='#3a6ea5'

mkdir -p "$output_dir"
work=$(mktemp -d)
service_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "capture: $*" >&2; exit 1; }

wait_for() {  # wait_for SECONDS command...: polls until the command succeeds
  local tries=$(($1 * 10)); shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A plain desktop colour instead of the bare X root.
convert -size 8x8 "xc:$desktop_colour" "$work/desktop.png"
display -window root "$work/desktop.png" || true  # sets the root background, then fails to open a window

"$build_dir/tools/sample_service/sample-search-service" --port 0 --log "$work/requests.log" \
  >"$work/service.out" 2>"$work/service.err" &
service_pid=$!
wait_for 5 grep -q '^port ' "$work/service.out" || fail "no port from the sample service"
port=$(awk '$1 == "port" { print $2; exit }' "$work/service.out")

# Keep the pointer off the buttons: hovering turns a button's band orange.
xdotool mousemove 0 0

http_proxy="http://127.0.0.1:$port" GIO_USE_PROXY_RESOLVER=libproxy \
  "$build_dir/tavik-search" >"$work/program.out" 2>&1 &
program_pid=$!
# geometry WINDOW: "x y width height" of the window on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
# The toolkit maps small helper windows of its own too; the search window is the big one.
find_search_window() {
  local candidate width
  for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
    width=$(geometry "$candidate" 2>/dev/null | awk '{ print $3 }')
    if [ "${width:-0}" -gt 300 ]; then window=$candidate; return 0; fi
  done
  return 1
}
window=""
wait_for 20 find_search_window || fail "the search window did not appear"
sleep 1.5
frame=$(xwininfo -children -id "$window" | awk '/Parent window id/ { print $4 }')
read -r frame_x frame_y frame_width frame_height < <(geometry "$frame")
read -r client_x client_y _ _ < <(geometry "$window")

screen_shot() { import -window root "$work/screen.png"; }
cut() {  # cut GEOMETRY FILE: saves that part of the last screen shot
  convert "$work/screen.png" -crop "$1" +repage -strip "$output_dir/$2"
}

# 1. The search window as it starts: empty edit box, empty web view, the desktop beside it.
screen_shot
cut "$((frame_width + desktop_strip_width))x${frame_height}+${frame_x}+${frame_y}" window.png

# 2. Search, maximised so that the page has room for ten rows.
xdotool windowactivate --sync "$window"
xdotool type --delay 60 "$film_name"
xdotool mousemove --window "$window" "${search_button_in_client[@]}" click 1
xdotool mousemove 0 0
wait_for 20 grep -q 'event=onload&page=results' "$work/requests.log" ||
  fail "the results page did not load"
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
sleep 1.5
read -r client_x client_y _ _ < <(geometry "$window")
page_x=$((client_x + web_view_in_client[0]))
page_y=$((client_y + web_view_in_client[1]))
screen_shot
cut "${page_capture_size}+${page_x}+${page_y}" results.png

# 3. The second row's play addresses opened with its "+".
row=2
xdotool mousemove "$((page_x + expander_centre_x_in_page))" \
  "$((page_y + first_row_top_in_page + (row - 1) * row_pitch_in_page + 13))" click 1
xdotool mousemove 0 0
sleep 1
screen_shot
cut "${page_capture_size}+${page_x}+${page_y}" results-opened.png

echo "captures in $output_dir"
