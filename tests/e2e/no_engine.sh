#!/usr/bin/env bash
# Machines where the web engine cannot run (a broken or partial install): the
# engine's helper programs are missing, or the program's engine module is.
# Either way the search window still opens with its controls, the web view's
# area says why no page can be shown, and 搜索 does no harm.
set -euo pipefail
source "${TAVIK_SOURCE_DIR:?TAVIK_SOURCE_DIR must name the source directory}/tests/e2e/lib/reliability.bash"
rel_setup
command -v unshare >/dev/null || fail "unshare is needed"

# The message: the web view's area is not a blank box but has text in it;
# 搜索, a few times, with and without text: nothing loads, nothing breaks;
# and Esc still ends the program normally.
check_no_engine() {
  local case=$1
  sleep 1
  import -window "$window_id" "$work/window.png"
  colours=$(convert "$work/window.png" -crop 400x60+60+80 +repage -format %k info:)
  [ "$colours" -gt 2 ] || fail "$case: the web view's area shows no message"
  grep -q "web engine" "$work/program.err" || fail "$case: nothing said on stderr"

  rel_search "no engine"
  rel_search ""
  click_at "$search_button_x" "$search_button_y"
  sleep 1
  program_alive || fail "$case: the program died on 搜索: $(cat "$work/program.err")"
  [ ! -s "$service_log" ] || fail "$case: something was requested without an engine: $(cat "$service_log")"
  echo "ok: $case: the search window works without the engine"

  rel_close_with_escape 3
  [ "$close_result" = 0 ] || fail "$case: Esc: program ended with '$close_result'"
  echo "ok: $case: Esc ends it normally"
}

# The helpers sit in webkit2gtk-4.1 beside the engine's library or under libexec.
module="$(dirname "$program_binary")/tavik-web-engine.so"
[ -f "$module" ] || fail "the engine module is not beside the program"
library=$(ldd "$module" | awk '/libwebkit2gtk-4\.1/ { found = $3 } END { print found }')
[ -n "$library" ] || fail "the engine module is not linked with the web engine"
library_folder=$(dirname "$(readlink -f "$library")")
helpers=""
for folder in "$library_folder/webkit2gtk-4.1" "$(dirname "$library_folder")/libexec/webkit2gtk-4.1"; do
  [ -x "$folder/WebKitWebProcess" ] && helpers=$folder && break
done
[ -n "$helpers" ] || fail "the engine's helper programs were not found"

rel_start_service
# An empty folder over the helpers' one, for the program alone.
rel_start_program unshare --mount --propagation private \
  sh -c 'mount -t tmpfs none "$0" && exec "$@"' "$helpers"
check_no_engine "helpers missing"

# The program copied somewhere without its module.
mkdir -p "$work/alone/bin"
cp "$program_binary" "$work/alone/bin/tavik-search"
program_binary="$work/alone/bin/tavik-search"
: >"$service_log"
rel_start_program
check_no_engine "module missing"
