#!/usr/bin/env bash
# A machine where the web engine's helper programs are missing (a broken or
# partial install): the search window still opens with its controls, the web
# view's area says why no page can be shown, and 搜索 does no harm.
set -euo pipefail
source "${TAVIK_SOURCE_DIR:?TAVIK_SOURCE_DIR must name the source directory}/tests/e2e/lib/reliability.bash"
rel_setup
command -v unshare >/dev/null || fail "unshare is needed"

# The helpers sit in webkit2gtk-4.1 beside the engine's library or under libexec.
library=$(ldd "$program_binary" | awk '/libwebkit2gtk-4\.1/ { found = $3 } END { print found }')
[ -n "$library" ] || fail "the program is not linked with the web engine"
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

# The message: the web view's area is not a blank box but has text in it.
sleep 1
import -window "$window_id" "$work/window.png"
colours=$(convert "$work/window.png" -crop 400x60+60+80 +repage -format %k info:)
[ "$colours" -gt 2 ] || fail "the web view's area shows no message"

# 搜索, a few times, with and without text: nothing loads, nothing breaks.
rel_search "no engine"
rel_search ""
click_at "$search_button_x" "$search_button_y"
sleep 1
program_alive || fail "the program died on 搜索: $(cat "$work/program.err")"
[ ! -s "$service_log" ] || fail "something was requested without an engine: $(cat "$service_log")"
echo "ok: the search window works without the engine's helpers"

rel_close_with_escape 3
[ "$close_result" = 0 ] || fail "Esc: program ended with '$close_result'"
echo "ok: Esc ends it normally"
