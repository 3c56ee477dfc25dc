# Helpers for the end-to-end tests of searching: the sample service, the program
# pointed at it as its HTTP proxy, input through xdotool and the clipboard, and
# looks at the request log and the screen. Source it from a test script; the
# script's EXIT trap should call search_stop.

SEARCH_HOST=so.tavik.example
SEARCH_PREFIX="http://$SEARCH_HOST/so.asp?k="
SEARCH_TITLE='Tavik高清在线电影搜索工具  tavik.example'
# Client-area places of the controls the tests touch.
SEARCH_EDIT_X=260 SEARCH_EDIT_Y=20
SEARCH_BUTTON_X=396 SEARCH_BUTTON_Y=20
SEARCH_VIEW_X=8 SEARCH_VIEW_Y=40

search_fail() {
  echo "FAIL: $*" >&2
  if [ -n "${SEARCH_WORK:-}" ]; then
    echo "--- request log" >&2; cat "$SEARCH_WORK/requests.log" >&2 2>/dev/null || true
    echo "--- program output" >&2; tail -20 "$SEARCH_WORK/program.out" >&2 2>/dev/null || true
  fi
  exit 1
}

# Runs the calling script again on a display of its own, unless it already has
# one: input and focus must not be shared with tests running beside it.
search_own_display() {
  if [ -z "${SEARCH_OWN_DISPLAY:-}" ]; then
    export SEARCH_OWN_DISPLAY=1
    exec "${TAVIK_SOURCE_DIR:?}/tools/with-display" --fresh bash "$0" "$@"
  fi
}

# search_start_service WORKDIR: the sample service on a free port, logging to
# WORKDIR/requests.log. Sets SEARCH_PORT.
search_start_service() {
  SEARCH_WORK=$1
  local service="${TAVIK_BUILD_DIR:?}/tools/sample_service/sample-search-service"
  : >"$SEARCH_WORK/requests.log"
  "$service" --port 0 --log "$SEARCH_WORK/requests.log" >"$SEARCH_WORK/service.out" 2>&1 &
  SEARCH_SERVICE_PID=$!
  for _ in $(seq 100); do grep -q '^port ' "$SEARCH_WORK/service.out" && break; sleep 0.05; done
  SEARCH_PORT=$(awk '$1 == "port" { print $2; exit }' "$SEARCH_WORK/service.out")
  [ -n "$SEARCH_PORT" ] || search_fail "the sample service printed no port: $(cat "$SEARCH_WORK/service.out")"
}

# Starts the program with the service as its proxy and waits for its window.
# Sets SEARCH_PROGRAM_PID, SEARCH_WINDOW and the client area's screen place
# SEARCH_ORIGIN_X, SEARCH_ORIGIN_Y and size SEARCH_CLIENT_W, SEARCH_CLIENT_H.
search_start_program() {
  env -u no_proxy -u NO_PROXY http_proxy="http://127.0.0.1:$SEARCH_PORT" GIO_USE_PROXY_RESOLVER=libproxy \
    "${TAVIK_BINARY:?}" >"$SEARCH_WORK/program.out" 2>&1 &
  SEARCH_PROGRAM_PID=$!
  SEARCH_WINDOW=""
  for _ in $(seq 200); do
    SEARCH_WINDOW=$(xdotool search --onlyvisible --name "^${SEARCH_TITLE}\$" 2>/dev/null | head -1) || true
    [ -n "$SEARCH_WINDOW" ] && break
    kill -0 "$SEARCH_PROGRAM_PID" 2>/dev/null || search_fail "the program ended at start-up"
    sleep 0.05
  done
  [ -n "$SEARCH_WINDOW" ] || search_fail "no search window appeared"
  local info
  info=$(xwininfo -id "$SEARCH_WINDOW")
  # (xdotool getwindowgeometry counts the frame twice under a reparenting window manager)
  SEARCH_ORIGIN_X=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
  SEARCH_ORIGIN_Y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
  SEARCH_CLIENT_W=$(awk '/^ *Width:/ { print $2 }' <<<"$info")
  SEARCH_CLIENT_H=$(awk '/^ *Height:/ { print $2 }' <<<"$info")
  # Let the window settle (mapped, placed, focused) before input reaches it.
  sleep 1
}

search_stop() {
  [ -n "${SEARCH_CLIPBOARD_PID:-}" ] && kill "$SEARCH_CLIPBOARD_PID" 2>/dev/null || true
  [ -n "${SEARCH_PROGRAM_PID:-}" ] && kill "$SEARCH_PROGRAM_PID" 2>/dev/null || true
  [ -n "${SEARCH_SERVICE_PID:-}" ] && kill "$SEARCH_SERVICE_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# search_click X Y: a left click at a point of the window's client area.
search_click() {
  xdotool mousemove $((SEARCH_ORIGIN_X + $1)) $((SEARCH_ORIGIN_Y + $2)) click 1
}

search_click_button() { search_click "$SEARCH_BUTTON_X" "$SEARCH_BUTTON_Y"; }

# search_click_view X Y: a click at a point of the page, relative to the web view.
search_click_view() { search_click $((SEARCH_VIEW_X + $1)) $((SEARCH_VIEW_Y + $2)); }

# search_set_text TEXT: focuses the edit box and replaces its text. ASCII is
# typed; anything else is pasted from the clipboard, which xdotool cannot type.
search_set_text() {
  local text=$1
  search_click "$SEARCH_EDIT_X" "$SEARCH_EDIT_Y"
  sleep 0.2
  xdotool key --clearmodifiers ctrl+a BackSpace
  [ -z "$text" ] && return 0
  if LC_ALL=C grep -q '^[ -~]*$' <<<"$text"; then
    xdotool type --delay 15 -- "$text"
  else
    search_paste "$text"
  fi
  sleep 0.2
}

# search_paste TEXT: puts TEXT on the clipboard and pastes it with Ctrl+V where
# the focus is (ASCII too, and any length: nothing is typed).
search_paste() {
  [ -n "${SEARCH_CLIPBOARD_PID:-}" ] && kill "$SEARCH_CLIPBOARD_PID" 2>/dev/null || true
  printf '%s' "$1" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  SEARCH_CLIPBOARD_PID=$!
  sleep 0.2
  xdotool key --clearmodifiers ctrl+v
}

# search_paste_text TEXT: focuses the edit box and replaces its text by pasting
# TEXT, whatever it holds.
search_paste_text() {
  search_click "$SEARCH_EDIT_X" "$SEARCH_EDIT_Y"
  sleep 0.2
  xdotool key --clearmodifiers ctrl+a BackSpace
  search_paste "$1"
  sleep 0.2
}

# search_read_box FILE: writes the edit box's whole text to FILE, byte for byte
# (newlines too). It selects all of the box (which must have the focus and not
# be empty) and reads the primary selection the box then owns; the clipboard is
# left alone. Repeated until two reads agree, so a paste still arriving is not
# read half-way.
search_read_box() {
  local file=$1 previous="$1.previous"
  rm -f "$previous"
  for _ in $(seq 50); do
    xdotool key --clearmodifiers ctrl+a
    if xclip -o -selection primary -t UTF8_STRING >"$file" 2>/dev/null && [ -s "$file" ]; then
      [ -f "$previous" ] && cmp -s "$file" "$previous" && { rm -f "$previous"; return 0; }
      cp "$file" "$previous"
    fi
    sleep 0.1
  done
  rm -f "$previous"
  return 1
}

# search_count TARGET: GET requests for exactly TARGET with the service's host.
search_count() {
  awk -v target="$1" -v host="Host=$SEARCH_HOST" \
    '$2 == "GET" && $3 == target && $4 == host { n++ } END { print n + 0 }' "$SEARCH_WORK/requests.log"
}

# search_count_prefix PREFIX: GET requests whose target starts with PREFIX.
search_count_prefix() {
  awk -v prefix="$1" '$2 == "GET" && index($3, prefix) == 1 { n++ } END { print n + 0 }' \
    "$SEARCH_WORK/requests.log"
}

# search_time TARGET N: the service's time (µs) of the Nth request for TARGET.
search_time() {
  awk -v target="$1" -v nth="$2" '$2 == "GET" && $3 == target && ++n == nth { print $1; exit }' \
    "$SEARCH_WORK/requests.log"
}

# search_wait_count TARGET COUNT [SECONDS]: true once TARGET has been requested COUNT times.
search_wait_count() {
  local deadline=$((SECONDS + ${3:-10}))
  while [ "$(search_count "$1")" -lt "$2" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

search_beacon() { echo "http://$SEARCH_HOST/beacon?event=onload&page=$1&"; }

# search_wait_loaded KIND COUNT [SECONDS]: true once COUNT pages of KIND
# ("results", "play") have reported their load.
search_wait_loaded() {
  local deadline=$((SECONDS + ${3:-10}))
  while [ "$(search_count_prefix "$(search_beacon "$1")")" -lt "$2" ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

search_loaded_count() { search_count_prefix "$(search_beacon "$1")"; }

# search_view_pixels KIND: how many pixels of the web view's visible part are of
# KIND: "dark-red" (result titles), "non-white", "black" (the player).
search_view_pixels() {
  local shot="$SEARCH_WORK/shot.png"
  local width=$((SEARCH_CLIENT_W - SEARCH_VIEW_X)) height=$((SEARCH_CLIENT_H - SEARCH_VIEW_Y))
  import -window root -crop "${width}x${height}+$((SEARCH_ORIGIN_X + SEARCH_VIEW_X))+$((SEARCH_ORIGIN_Y + SEARCH_VIEW_Y))" \
    "$shot"
  convert "$shot" -depth 8 txt:- | awk -v kind="$1" '
    /^[0-9]/ {
      colour = substr($0, index($0, "(") + 1)
      split(colour, c, /[,)]/)
      r = c[1] + 0; g = c[2] + 0; b = c[3] + 0
      if (kind == "dark-red" && r >= 110 && g <= 60 && b <= 60) n++
      else if (kind == "non-white" && (r < 250 || g < 250 || b < 250)) n++
      else if (kind == "black" && r <= 40 && g <= 40 && b <= 40) n++
    }
    END { print n + 0 }'
}

# The program's visible top-level windows.
search_program_windows() { xdotool search --onlyvisible --pid "$SEARCH_PROGRAM_PID" 2>/dev/null || true; }
