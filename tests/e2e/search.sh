#!/usr/bin/env bash
# Searching from the real search window against the sample service: the typed
# text reaches the service byte for byte as escaped GB18030, every click of
# "搜索" loads (also while a page is still loading), Enter does not search, and
# the results page can be used inside the view (expand a result, play).
set -euo pipefail

source "$(dirname "$0")/lib/search.bash"
search_own_display "$@"

work=$(mktemp -d)
trap 'search_stop; rm -rf "$work"' EXIT
log="$work/requests.log"

search_start_service "$work"
search_start_program

# Clicks 搜索 and waits until the service has the request for TARGET and the
# results page has reported its load.
search_and_wait() {
  local target=$1 requested loaded
  requested=$(search_count "$target")
  loaded=$(search_loaded_count results)
  search_click_button
  search_wait_count "$target" $((requested + 1)) || search_fail "no request for $target"
  search_wait_loaded results $((loaded + 1)) || search_fail "$target: the results page did not load"
}

# True once the visible part of the view shows at least MIN pixels of KIND.
view_shows() {
  local kind=$1 min=$2
  for _ in $(seq 50); do
    [ "$(search_view_pixels "$kind")" -ge "$min" ] && return 0
    sleep 0.1
  done
  return 1
}

# 1. Before the first search the view is blank and nothing has been requested.
[ "$(search_view_pixels non-white)" -eq 0 ] || search_fail "the view is not blank before any search"
[ ! -s "$log" ] || search_fail "requests before any search: $(cat "$log")"
echo "ok: blank view, no request before the first search"

# 2. Typed text | the query value the service receives. Every byte of the
#    GB18030 text outside A-Z a-z 0-9 - . _ ~ is escaped, so "&", "#", "?", "%",
#    "+" and spaces (leading and trailing too) arrive as part of the one value.
cases=(
  '卧虎 藏龙&2|%CE%D4%BB%A2%20%B2%D8%C1%FA%262'
  ' a#b?c=d%e+f |%20a%23b%3Fc%3Dd%25e%2Bf%20'
  'Az09-._~|Az09-._~'
  '㐀€·|%819%EE9%A2%E3%A1%A4'
  '|'
)
# A long name (2000 characters, 4000 bytes): no length limit on the way.
long=$(printf '长%.0s' $(seq 2000))
cases+=("$long|$(printf '%%B3%%A4%.0s' $(seq 2000))")
for case in "${cases[@]}"; do
  text=${case%%|*} expected=${case#*|}
  search_set_text "$text"
  search_and_wait "$SEARCH_PREFIX$expected"
  view_shows dark-red 40 || search_fail "'$text': no result titles in the view"
  echo "ok: '${text:0:20}' requested as k=${expected:0:60} and shown"
done

# 3. Enter in the edit box (main and keypad) starts no request.
search_set_text 'enter'
before=$(wc -l <"$log")
xdotool key Return KP_Enter
sleep 1.5
[ "$(wc -l <"$log")" -eq "$before" ] || search_fail "Enter made requests: $(tail -n +$((before + 1)) "$log")"
echo "ok: Enter does not search"

# 4. The same text searched twice in a row: two requests, two loads.
target="${SEARCH_PREFIX}twice"
search_set_text 'twice'
search_and_wait "$target"
search_and_wait "$target"
[ "$(search_count "$target")" -eq 2 ] || search_fail "two clicks gave $(search_count "$target") requests"
echo "ok: two clicks, two requests"

# 5. A click while the previous page is still loading starts a new request at
#    once: the second __slow__ request comes before the first one's answer
#    (3 s) would have, and the page then shows.
target="${SEARCH_PREFIX}__slow__"
search_set_text '__slow__'
loaded=$(search_loaded_count results)
search_click_button
search_wait_count "$target" 1 || search_fail "no request for __slow__"
search_click_button
search_wait_count "$target" 2 3 || search_fail "a click during a slow load started no request"
gap=$(($(search_time "$target" 2) - $(search_time "$target" 1)))
[ "$gap" -lt 3000000 ] || search_fail "the second __slow__ request came ${gap} µs after the first"
search_wait_loaded results $((loaded + 1)) 15 || search_fail "the slow results page did not load"
echo "ok: a click during a slow load requests at once (${gap} µs later)"

#    A page that never answers does not keep the next search from loading.
search_set_text '__hang__'
search_click_button
search_wait_count "${SEARCH_PREFIX}__hang__" 1 || search_fail "no request for __hang__"
search_set_text 'after'
search_and_wait "${SEARCH_PREFIX}after"
echo "ok: a search after a hanging one loads"

# 6. Expanding a result and following a play address stays in the view: the
#    play page loads there and the program opens no other window. The first
#    row's "+" is at (41, 67) of the page; its play links are 40 px apart from
#    x 53 on the row y 116 (the layout of the sample service's results page).
name='卧虎 藏龙&2' value='%CE%D4%BB%A2%20%B2%D8%C1%FA%262'
search_set_text "$name"
search_and_wait "$SEARCH_PREFIX$value"
view_shows dark-red 40 || search_fail "no result titles before expanding"
search_click_view 41 67
sleep 0.5
search_click_view 93 116
play="http://$SEARCH_HOST/play.asp?id=1&ep=2&k=$value"
search_wait_count "$play" 1 || search_fail "no request for $play"
search_wait_loaded play 1 || search_fail "the play page did not load"
view_shows black 5000 || search_fail "the play page is not shown in the view"
windows=$(search_program_windows | tr '\n' ' ')
[ "$windows" = "$SEARCH_WINDOW " ] || search_fail "the program's visible windows: '$windows', expected '$SEARCH_WINDOW'"
echo "ok: a play address loads inside the view, no other window"
