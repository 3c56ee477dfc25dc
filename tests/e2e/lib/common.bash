# Shared helpers of the end-to-end scripts: start the program, find its window,
# read the frame's geometry, drive it with xdotool and look at screenshots.
# Sourced by tests/e2e/*.sh; not a test itself.

E2E_TITLE='Tavik高清在线电影搜索工具  tavik.example'
E2E_SOURCE_DIR=${TAVIK_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
E2E_BUILD_DIR=${TAVIK_BUILD_DIR:-$E2E_SOURCE_DIR/build}
E2E_BINARY=${TAVIK_BINARY:-$E2E_BUILD_DIR/tavik-search}
E2E_WITH_DISPLAY=$E2E_SOURCE_DIR/tools/with-display

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tavik-e2e.XXXXXX")
E2E_PIDS=()

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${E2E_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "${E2E_KEEP_TMP:-}" ]; then
    echo "kept $E2E_TMP" >&2
  else
    rm -rf "$E2E_TMP"
  fi
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in "$E2E_TMP"/program-*.log; do
    [ -s "$log" ] || continue
    echo "--- $log" >&2
    tail -n 20 "$log" >&2
  done
  exit 1
}

note() { echo "# $*"; }

# In a check that wait_until retries: `condition || why "reason" || return 1`
# keeps the reason for the failure message.
why() {
  E2E_WHY=$*
  return 1
}

# A script that calls `run_fresh SIZE function args...` runs that function of
# itself on a new screen of that size with openbox; the script must call
# `e2e_dispatch "$@"` once its functions are defined, before its main part.
e2e_dispatch() {
  if [ "${1:-}" = --e2e-inner ]; then
    shift
    "$@"
    exit 0
  fi
}

run_fresh() {
  local options=()
  if [ "$1" = --no-wm ]; then
    options+=(--no-wm)
    shift
  fi
  local size=$1
  shift
  TAVIK_SOURCE_DIR=$E2E_SOURCE_DIR TAVIK_BUILD_DIR=$E2E_BUILD_DIR TAVIK_BINARY=$E2E_BINARY \
    "$E2E_WITH_DISPLAY" --fresh --size "$size" "${options[@]}" bash "$0" --e2e-inner "$@" ||
    fail "on a fresh $size screen${options:+ without window manager}: $* failed"
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# wait_until SECONDS command args...: true as soon as the command succeeds.
wait_until() {
  local seconds=$1
  shift
  local tries=$((seconds * 20))
  while [ "$tries" -gt 0 ]; do
    "$@" && return 0
    sleep 0.05
    tries=$((tries - 1))
  done
  return 1
}

# Starts the program in the background with an optional environment given as
# NAME=VALUE words; sets E2E_PID and E2E_WIN (its window, found by title and
# process id).
start_program() {
  local log="$E2E_TMP/program-${#E2E_PIDS[@]}.log"
  env "$@" "$E2E_BINARY" >"$log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  E2E_WIN=
  wait_until 30 find_window "$E2E_PID" >/dev/null || fail "no window titled '$E2E_TITLE' for process $E2E_PID"
  E2E_WIN=$(find_window "$E2E_PID")
  wait_until 10 window_is_viewable "$E2E_WIN" || fail "window $E2E_WIN is not mapped"
  if wm_running; then
    wait_until 10 has_frame_extents "$E2E_WIN" || fail "window $E2E_WIN has no frame from the window manager"
  fi
  # Let the first paint (and the web view's blank page) settle.
  sleep 0.7
}

# Prints the id of the program window of process $1 (by title; the run time's
# invisible helper window has another name).
find_window() {
  local pid=$1 id
  for id in $(xdotool search --all --pid "$pid" --name 'Tavik高清' 2>/dev/null); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$E2E_TITLE" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

window_is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
has_frame_extents() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '= '; }

process_running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "${state:0:1}" != Z ]
}
process_gone() { ! process_running "$1"; }

# wait_exit PID SECONDS: waits for a child to end and sets E2E_STATUS to its
# exit status (not in a subshell: only this shell can reap its children).
wait_exit() {
  local pid=$1 seconds=$2 p kept=()
  wait_until "$seconds" process_gone "$pid" || fail "process $pid still runs after ${seconds}s"
  E2E_STATUS=0
  wait "$pid" || E2E_STATUS=$?
  for p in "${E2E_PIDS[@]}"; do [ "$p" = "$pid" ] || kept+=("$p"); done
  E2E_PIDS=("${kept[@]}")
}

# client_geometry WIN: "x y width height" of the client area on the screen.
client_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
    /^  Width:/ {w=$NF} /^  Height:/ {h=$NF}
    END {print x, y, w, h}'
}

# frame_extents WIN: "left right top bottom".
frame_extents() {
  xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ','
}

# frame_geometry WIN: "x y width height" of the whole window, frame included.
frame_geometry() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(frame_extents "$1")
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

frame_is() { [ "$(frame_geometry "$1")" = "$2" ]; }
frame_size_is() { [ "$(frame_geometry "$1" | cut -d' ' -f3-)" = "$2" ]; }

screen_size() { xdpyinfo | awk '/dimensions:/ {sub("x", " ", $2); print $2; exit}'; }

# Brings the window to the front with the keyboard focus (through the window
# manager when there is one), so that xdotool's synthetic input (XTEST)
# reaches it like a user's.
activate() {
  if wm_running; then
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowactivate "$1"
    wait_until 5 is_active "$1" || fail "window $1 does not become active"
  else
    xdotool windowfocus --sync "$1"
  fi
  sleep 0.2
}
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

maximise() { wmctrl -i -r "$1" -b add,maximized_vert,maximized_horz; }
restore() { wmctrl -i -r "$1" -b remove,maximized_vert,maximized_horz; }

# client_fills_screen WIN: the client area is the screen less the frame.
client_fills_screen() {
  local sw sh x y w h l r t b
  read -r sw sh < <(screen_size)
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(frame_extents "$1")
  [ "$x" = "$l" ] && [ "$y" = "$t" ] && [ "$w" = $((sw - l - r)) ] && [ "$h" = $((sh - t - b)) ]
}

# screenshot FILE: the whole screen.
screenshot() { import -window root "$1"; }

# pixel_report FILE X Y W H CLASS: "count min_x max_x min_y max_y" of the
# pixels of the box (screen coordinates) that fall in a colour class, the
# bounds relative to the box (-1 when there are none). Text is antialiased, so
# a class takes the pixels near a pure colour, which blending with the light
# face colour of the window never produces.
pixel_report() {
  local file=$1 x=$2 y=$3 w=$4 h=$5 class=$6
  convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
    awk -v class="$class" '
      BEGIN { n = 0; x0 = y0 = 1e9; x1 = y1 = -1 }
      NR > 1 {
        if (!match($0, /^[0-9]+,[0-9]+:/)) next
        split(substr($0, 1, RLENGTH - 1), at, ",")
        if (!match($0, /\(([0-9.]+),([0-9.]+),([0-9.]+)/)) next
        split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
        r = c[1] + 0; g = c[2] + 0; b = c[3] + 0
        hit = 0
        if (class == "red")       hit = r >= 200 && g <= 60 && b <= 60
        if (class == "blue")      hit = r <= 60 && g <= 60 && b >= 200
        if (class == "purple")    hit = r >= 96 && r <= 170 && g <= 50 && b >= 96 && b <= 170
        if (class == "darkred")   hit = r >= 96 && r <= 170 && g <= 50 && b <= 50
        if (class == "green")     hit = r <= 60 && g >= 100 && g <= 160 && b <= 60
        if (class == "white")     hit = r >= 250 && g >= 250 && b >= 250
        if (class == "nonwhite")  hit = !(r >= 250 && g >= 250 && b >= 250)
        if (hit) {
          n++
          if (at[1] < x0) x0 = at[1]; if (at[1] > x1) x1 = at[1]
          if (at[2] < y0) y0 = at[2]; if (at[2] > y1) y1 = at[2]
        }
      }
      END { if (n == 0) x0 = y0 = -1; print n, x0, x1, y0, y1 }'
}

# count_pixels FILE X Y W H CLASS: just the count of pixel_report.
count_pixels() { pixel_report "$@" | cut -d' ' -f1; }

# Screen coordinates of a point given in the window's client coordinates.
client_to_screen() {
  local x y w h
  read -r x y w h < <(client_geometry "$1")
  echo "$((x + $2)) $((y + $3))"
}

# drag FROM_X FROM_Y DX DY: press the left button, move in steps, release.
drag() {
  local x=$1 y=$2 dx=$3 dy=$4 step
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for step in 1 2 3 4 5; do
    xdotool mousemove $((x + dx * step / 5)) $((y + dy * step / 5))
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 0.5
}
