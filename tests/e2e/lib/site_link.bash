# Helpers of the site-link scripts: a desktop database of the test's own in
# which a recording script stands in for the user's browser, and checks of
# the link's colours on screen. Sourced after common.bash.

ADDRESS=http://tavik.example
LINK_X=592 LINK_Y=8 LINK_W=128 LINK_H=24

# make_desktop DIR MIME_TYPES DEFAULTS: a desktop database in DIR in which a
# recording "browser" claims MIME_TYPES (";"-separated) and is the default
# for DEFAULTS (","-separated); prints the environment words that select it.
make_desktop() {
  local dir=$1 mime_types=$2 defaults=$3 type
  mkdir -p "$dir/data/applications" "$dir/config" "$dir/data-dirs" "$dir/config-dirs"
  cat >"$dir/recorder" <<SCRIPT
#!/bin/sh
env >"$dir/environment"
printf '%s\n' "\$@" >>"$dir/opened"
SCRIPT
  chmod +x "$dir/recorder"
  cat >"$dir/data/applications/tavik-test-recorder.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Recorder
Exec=$dir/recorder %u
MimeType=$mime_types
NoDisplay=true
DESKTOP
  {
    echo "[Default Applications]"
    for type in ${defaults//,/ }; do echo "$type=tavik-test-recorder.desktop"; done
  } >"$dir/config/mimeapps.list"
  echo "XDG_DATA_HOME=$dir/data XDG_CONFIG_HOME=$dir/config XDG_DATA_DIRS=$dir/data-dirs XDG_CONFIG_DIRS=$dir/config-dirs"
}

link_screenshot() { # file -> "count x0 x1 y0 y1" for the class
  local sx sy
  read -r sx sy < <(client_to_screen "$E2E_WIN" "$LINK_X" "$LINK_Y")
  pixel_report "$1" "$sx" "$sy" "$LINK_W" "$LINK_H" "$2" | cut -d' ' -f1
}

# link_shows CLASS: the link's text is drawn in that colour and in no other
# of the three link colours.
link_shows() {
  local want=$1 shot="$E2E_TMP/link.png" class n
  screenshot "$shot"
  [ "$(link_screenshot "$shot" "$want")" -ge 30 ] || return 1
  for class in blue purple darkred; do
    [ "$class" = "$want" ] && continue
    [ "$(link_screenshot "$shot" "$class")" -eq 0 ] || return 1
  done
}

link_colours() {
  local shot="$E2E_TMP/link.png" class
  screenshot "$shot"
  for class in blue purple darkred; do echo -n "$class=$(link_screenshot "$shot" "$class") "; done
}

# start_maximised PREFIX ENVIRONMENT...: starts the program, maximised so that
# the link shows, and sets the caller's far_x far_y (a point away from the
# link) and link_x link_y (the link's middle). PREFIX begins a failure message.
start_maximised() {
  local prefix=$1
  shift
  start_program "$@"
  activate "$E2E_WIN"
  maximise "$E2E_WIN"
  wait_until 15 client_fills_screen "$E2E_WIN" || fail "${prefix}the window does not maximise"
  read -r far_x far_y < <(client_to_screen "$E2E_WIN" 400 400)
  read -r link_x link_y < <(client_to_screen "$E2E_WIN" $((LINK_X + LINK_W / 2)) $((LINK_Y + LINK_H / 2)))
}

# check_case NAME MIME_TYPES DEFAULTS EXPECT(opened|nothing)
check_case() {
  local name=$1 mime_types=$2 defaults=$3 expect=$4 dir="$E2E_TMP/$1" environment
  environment=$(make_desktop "$dir" "$mime_types" "$defaults")

  # What the desktop itself says about these settings.
  local scheme_handler html_handler
  scheme_handler=$(env $environment gio mime x-scheme-handler/http 2>&1)
  html_handler=$(env $environment gio mime text/html 2>&1)
  scheme_handler=${scheme_handler%%$'\n'*}
  html_handler=${html_handler%%$'\n'*}
  note "$name: $scheme_handler / $html_handler"
  if [ "$expect" = nothing ]; then
    case "$scheme_handler$html_handler" in
      *tavik-test-recorder*|*"Default application"*)
        fail "$name: the test's desktop still offers a handler: $scheme_handler / $html_handler" ;;
    esac
  fi

  local far_x far_y link_x link_y
  start_maximised "$name: " $environment
  xdotool mousemove "$far_x" "$far_y"
  wait_until 10 link_shows blue || fail "$name: before any click the link is not blue ($(link_colours))"

  xdotool mousemove "$link_x" "$link_y"
  wait_until 10 link_shows purple || fail "$name: under the pointer the link is not purple ($(link_colours))"
  xdotool mousemove $((link_x + 20)) $((link_y + 3))
  sleep 0.3
  link_shows purple || fail "$name: moving within the link lost the hover colour ($(link_colours))"

  xdotool click 1
  if [ "$expect" = opened ]; then
    wait_until 20 test -s "$dir/opened" || fail "$name: a click on the link opened nothing"
    sleep 1
    [ "$(cat "$dir/opened")" = "$ADDRESS" ] ||
      fail "$name: the browser was given '$(tr '\n' '|' <"$dir/opened")', expected '$ADDRESS' once"
    # What the program sets for its web engine stays with the program.
    ! grep -E '^(WEBKIT_DISABLE_DMABUF_RENDERER|MESA_SHADER_CACHE_DISABLE|GDK_GL)=' "$dir/environment" ||
      fail "$name: the browser was started with the program's engine settings"
    link_shows purple || fail "$name: after the click, still under the pointer, the link is not purple ($(link_colours))"
    xdotool mousemove "$far_x" "$far_y"
    wait_until 10 link_shows darkred || fail "$name: after the pointer left the opened link it is not dark red ($(link_colours))"
  else
    sleep 2
    [ ! -e "$dir/opened" ] || fail "$name: the click opened '$(cat "$dir/opened")' with no handler for it"
    xdotool mousemove "$far_x" "$far_y"
    wait_until 10 link_shows blue || fail "$name: after a click that opened nothing the link is not blue ($(link_colours))"
  fi
  process_running "$E2E_PID" || fail "$name: the program ended"
  note "$name: $expect, link colours $(link_colours)"
}

# A click that opens something, then one that cannot: the visited colour goes
# back to blue.
check_visited_then_failed() {
  local dir="$E2E_TMP/then-failed" environment
  environment=$(make_desktop "$dir" "x-scheme-handler/http;" "x-scheme-handler/http")
  local far_x far_y link_x link_y
  start_maximised "" $environment
  xdotool mousemove "$link_x" "$link_y" click 1
  wait_until 20 test -s "$dir/opened" || fail "the first click opened nothing"
  xdotool mousemove "$far_x" "$far_y"
  wait_until 10 link_shows darkred || fail "after the first click the link is not dark red ($(link_colours))"
  # The handler goes away (the running program reads the desktop database
  # anew for each click).
  rm "$dir/data/applications/tavik-test-recorder.desktop" "$dir/config/mimeapps.list" "$dir/opened"
  sleep 1
  xdotool mousemove "$link_x" "$link_y" click 1
  sleep 2
  [ ! -e "$dir/opened" ] || fail "the second click still reached the removed handler"
  xdotool mousemove "$far_x" "$far_y"
  wait_until 10 link_shows blue || fail "after a click that opened nothing the link is not back to blue ($(link_colours))"
  note "visited, then a failed click: blue again"
}
