#!/usr/bin/env bash
# Awkward film names through the real edit box: only spaces, characters beyond
# the two-byte code page (emoji, Mongolian, CJK Extension B), a very long name,
# pasted control characters and line breaks, right-to-left marks. For each the
# box's text is read back, and one click of "搜索" must make exactly one results
# request, whose k= value is the box's text as escaped GB18030 bytes, and
# nothing else besides the results page's own load report.
set -euo pipefail

source "$(dirname "$0")/lib/search.bash"
search_own_display "$@"

work=$(mktemp -d)
trap 'search_stop; rm -rf "$work"' EXIT
log="$work/requests.log"

search_start_service "$work"
search_start_program

# query_value: the UTF-8 text on stdin as the query value the program must send:
# its GB18030 bytes, every byte outside A-Z a-z 0-9 - . _ ~ written as %XX.
# Fails when the text has no GB18030 form.
query_value() {
  iconv -f UTF-8 -t GB18030 | od -An -v -tx1 | awk '
    BEGIN { for (i = 0; i < 256; i++) byte[sprintf("%02x", i)] = i }
    {
      for (f = 1; f <= NF; f++) {
        n = byte[$f]
        if ((n >= 65 && n <= 90) || (n >= 97 && n <= 122) || (n >= 48 && n <= 57) ||
            n == 45 || n == 46 || n == 95 || n == 126)
          printf "%c", n
        else
          printf "%%%s", toupper($f)
      }
    }'
}

# shorten TEXT: TEXT itself, or its ends and length when it is long.
shorten() {
  local text=$1
  if [ "${#text}" -le 120 ]; then printf '%s' "$text"
  else printf '%s...%s (%d characters)' "${text:0:60}" "${text: -40}" "${#text}"; fi
}

# visible TEXT: TEXT with its control characters written as ^X.
visible() {
  local text=$1 code control
  for code in $(seq 1 31) 127; do
    printf -v control "\\x$(printf %02x "$code")"
    [[ $text == *"$control"* ]] || continue
    text=${text//"$control"/^$(printf "\\x$(printf %02x $(((code + 64) % 128)))")}
  done
  printf '%s' "$text"
}

# The results requests (so.asp, any host) among log lines FROM+1.., shortened.
results_requests_since() {
  awk -v from="$1" 'NR > from && tolower($3) ~ /\/so\.asp/ { print $2, $3, $4 }' "$log" |
    while IFS= read -r line; do shorten "$line"; echo; done
}

# check_requests FROM TO TARGET: the log lines FROM+1..TO, made by one click,
# are exactly one GET of TARGET from the search host plus the results page's
# load reports. Prints what is wrong, nothing when all is right.
check_requests() {
  awk -v from="$1" -v to="$2" -v target="$3" -v host="Host=$SEARCH_HOST" \
    -v beacon="$(search_beacon results)" '
    NR > from && NR <= to {
      if ($2 == "GET" && $3 == target && $4 == host) { hits++; next }
      if ($2 == "GET" && index($3, beacon) == 1 && $4 == host) next
      print "  unexpected request: " substr($0, 1, 160) (length($0) > 160 ? "..." : "")
    }
    END { if (hits != 1) print "  requests for the expected target: " hits + 0 }' "$log"
}

# The guard of query_value itself: worked out by hand from the GB18030 tables
# (U+1F600 and U+20000 are four-byte sequences whose second and fourth bytes
# are ASCII digits and stay unescaped).
guards=(
  '   |%20%20%20'
  '😀|%949%FC6'
  '𠀀|%952%826'
  $'a\tb|a%09b'
  $'第一行\n第二行|%B5%DA%D2%BB%D0%D0%0A%B5%DA%B6%FE%D0%D0'
)
for guard in "${guards[@]}"; do
  text=${guard%%|*} hand=${guard#*|}
  got=$(printf '%s' "$text" | query_value)
  [ "$got" = "$hand" ] || search_fail "query_value of '$text' gives $got, worked out by hand: $hand"
done
echo "ok: query_value agrees with ${#guards[@]} values worked out by hand"

printf -v long '%32767s' ''
long=${long// /a}

# Name | how it goes into the box | text | what the box must then hold ("=": the
# text itself, "?": whatever it keeps) | value worked out by hand, or "-".
# Control characters are not pinned to a box behaviour; the request must carry
# what the box holds. (Seen: the box keeps pasted tabs, line breaks, CR and other
# controls; a lone line break is drawn as nothing, so "第一行第二行" is shown
# while the request carries %0A between the lines.)
rows=(
  'only spaces'         type  '   '                          '='  '%20%20%20'
  'emoji'               paste '😀'                           '='  '%949%FC6'
  'Mongolian (not 936)' paste 'ᠠᠡ'                           '='  '-'
  'CJK Ext. B'          paste '𠀀'                           '='  '%952%826'
  'mixed with Chinese'  paste '卧虎😀藏龙 𪚥🎬!'             '='  '-'
  '32767 x a'           paste "$long"                        '='  '-'
  'tab'                 paste $'a\tb'                        '?'  '-'
  'line break'          paste $'第一行\n第二行'              '?'  '-'
  'CR LF'               paste $'x\r\ny'                      '?'  '-'
  'C0 controls, DEL'    paste $'a\x01b\x07c\x1bd\x7fe'       '?'  '-'
  'RLM, RLO in Latin'   paste $'abc\u200Fdef\u202Eghi'       '='  '-'
  'RLO, RLM at ends'    paste $'\u202E\u200Fmovie\u202C\u200F' '=' '-'
  'BOM, NBSP, ZWJ'      paste $'\uFEFFa\u00A0b\u200Dc'       '='  '-'
)

box="$work/box.txt"
checks=()
for ((i = 0; i < ${#rows[@]}; i += 5)); do
  name=${rows[i]} how=${rows[i + 1]} text=${rows[i + 2]} keeps=${rows[i + 3]} hand=${rows[i + 4]}
  if [ "$how" = type ]; then search_set_text "$text"; else search_paste_text "$text"; fi
  search_read_box "$box" || search_fail "$name: the edit box's text could not be read back"
  held=$(cat "$box"; printf x) held=${held%x}
  if [ "$keeps" = '=' ] && [ "$held" != "$text" ]; then
    search_fail "$name: pasted '$(shorten "$text")' ($(printf '%s' "$text" | od -An -tx1 | head -c 120)), the box holds '$(shorten "$held")' ($(od -An -tx1 "$box" | head -c 120))"
  fi
  value=$(query_value <"$box") || search_fail "$name: the box's text has no GB18030 form"
  [ "$hand" = - ] || [ "$value" = "$hand" ] || search_fail "$name: expected value $value, by hand $hand"
  target="$SEARCH_PREFIX$value"

  from=$(wc -l <"$log")
  loaded=$(search_loaded_count results)
  search_click_button
  search_wait_count "$target" 1 ||
    search_fail "$name: no request for $(shorten "$target"); results requests made: $(results_requests_since "$from")"
  search_wait_loaded results $((loaded + 1)) || search_fail "$name: the results page did not load"
  echo "ok: $name: box '$(visible "$(shorten "$held")")' requested as k=$(shorten "$value")"
  checks+=("$from|$target|$name")
done

# A last plain search ends the last row's requests; each click's requests are
# the log lines up to the next click.
end_from=$(wc -l <"$log")
search_set_text 'end'
search_click_button
search_wait_count "${SEARCH_PREFIX}end" 1 || search_fail "no request for the last search"
for ((j = 0; j < ${#checks[@]}; j++)); do
  entry=${checks[j]} from=${entry%%|*} rest=${entry#*|} target=${rest%|*} name=${rest##*|}
  to=$end_from
  ((j + 1 < ${#checks[@]})) && to=${checks[j + 1]%%|*}
  wrong=$(check_requests "$from" "$to" "$target")
  [ -z "$wrong" ] || search_fail "$name: one click, other requests than the one expected:"$'\n'"$wrong"
done
echo "ok: every click made exactly one results request and nothing else"
