#!/usr/bin/env bash
# The program under faults of the engine, the service and the user: each case
# runs a fresh program against a fresh sample service. Afterwards the program
# must be alive and answering (unless the case ends it), and where the service
# is still there the next search must reach it.
set -euo pipefail
source "${TAVIK_SOURCE_DIR:?TAVIK_SOURCE_DIR must name the source directory}/tests/e2e/lib/reliability.bash"
rel_setup

# Searches and waits until the results page has run its scripts.
search_and_wait_for_results() {
  local before
  before=$(count_logged "page=results")
  rel_search "$1"
  wait_for 20 eval '[ "$(count_logged "page=results")" -gt "$before" ]' ||
    fail "the results page for '$1' did not load"
}

# --- the cases: each does its fault and checks what follows -----------------

web_process_killed() {
  search_and_wait_for_results "before crash"
  local web_process
  web_process=$(helper_pid WebKitWebProcess) || fail "no web process"
  kill -9 "$web_process"
  wait_for 10 eval '[[ "$(page_text)" == *网页已停止运行* ]]' ||
    fail "no message in the view after the crash; it shows: $(page_text)"
}

network_process_killed() {
  search_and_wait_for_results "before network crash"
  local network_process
  network_process=$(helper_pid WebKitNetworkProcess) || fail "no network process"
  kill -9 "$network_process"
  sleep 1 # let the engine notice before the next search
}

service_unreachable() {
  rel_stop_service
  rel_search "nobody there"
  sleep 3 # the engine tries, fails and shows its own error page
}

service_never_answers() {
  rel_search "__hang__"
  wait_for 10 logged "so.asp?k=__hang__" || fail "__hang__ did not reach the service"
  rel_close_with_escape 3
  [ "$close_result" = 0 ] || fail "Esc while a page hangs: program ended with '$close_result'"
}

page_of_50_megabytes() {
  rel_search "__big__"
  wait_for 10 logged "so.asp?k=__big__" || fail "__big__ did not reach the service"
  sleep 5 # a good part of it arrives and is laid out meanwhile
}

# The page opens 50 windows when it loads (no click of the user's: refused),
# then once more when its link is followed with a key press (the user's own
# gesture): only a few of those open. They end with the program.
fifty_pop_ups() {
  rel_search "__popups__"
  wait_for 20 logged "page=popups" || fail "the pop-up page did not load"
  sleep 2
  [ "$(shown_window_count)" -eq 1 ] || fail "windows opened without the user: $(shown_window_count) shown"
  click_at "$web_view_x" "$web_view_y"
  xdotool key Tab Return
  wait_for 10 eval '[ "$(shown_window_count)" -gt 1 ]' || fail "the user's own click opened no window"
  sleep 2
  local shown
  shown=$(shown_window_count)
  [ "$shown" -le 5 ] || fail "one click opened $((shown - 1)) windows"
  rel_close_with_escape 3
  [ "$close_result" = 0 ] || fail "Esc with pop-ups open: program ended with '$close_result'"
}

hundred_clicks_while_loading() {
  rel_search "__slow__"
  xdotool mousemove --window "$window_id" "$search_button_x" "$search_button_y" \
    click --repeat 100 --delay 8 1
  wait_for 10 eval '[ "$(count_logged "so.asp?k=__slow__")" -ge 50 ]' ||
    fail "only $(count_logged "so.asp?k=__slow__") of the clicks reached the service"
}

# case | what the case leaves: running (the next search must work), no-service
# (the program must still answer Esc), ended (the case closed it itself)
cases=(
  "web_process_killed|running"
  "network_process_killed|running"
  "service_unreachable|no-service"
  "service_never_answers|ended"
  "page_of_50_megabytes|running"
  "fifty_pop_ups|ended"
  "hundred_clicks_while_loading|running"
)

for case in "${cases[@]}"; do
  name=${case%%|*} leaves=${case#*|}
  rel_start_service
  rel_start_program
  "$name"
  case "$leaves" in
    running)
      program_alive || fail "$name: the program died"
      search_and_wait_for_results "after $name"
      rel_close_with_escape 3
      [ "$close_result" = 0 ] || fail "$name: Esc afterwards ended the program with '$close_result'"
      ;;
    no-service)
      program_alive || fail "$name: the program died"
      rel_close_with_escape 3
      [ "$close_result" = 0 ] || fail "$name: Esc afterwards ended the program with '$close_result'"
      ;;
    ended) ;;
  esac
  rel_stop_service
  echo "ok: $name"
done
