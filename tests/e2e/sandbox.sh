#!/usr/bin/env bash
# Web content runs confined by bubblewrap, and a session with a search leaves
# nothing behind in the user's folders: no cookies, cache or local storage.
set -euo pipefail
source "${TAVIK_SOURCE_DIR:?TAVIK_SOURCE_DIR must name the source directory}/tests/e2e/lib/reliability.bash"
rel_setup

home="$work/home"
runtime_dir="$work/runtime"
mkdir -p "$home" "$runtime_dir"
chmod 700 "$runtime_dir"

rel_start_storing_service
# A fresh user: every per-user folder of the desktop under one empty home.
# The runtime folder holds sockets only while the program runs; it is outside.
# The desktop's session bus is there before the program, as in a real session
# (else the first use of the bus would start one and note it in the home).
rel_start_program dbus-run-session -- env HOME="$home" XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
  XDG_CONFIG_HOME="$home/.config" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$runtime_dir"
rel_search "sandbox test"
wait_for 20 logged "so.asp?k=sandbox%20test" || fail "the search did not reach the service"
wait_for 20 logged "/stored?all" || fail "the page did not store its data: $(cat "$service_log")"

# 1. The web process is a child of bwrap, in a pid namespace of its own.
web_process=$(helper_pid WebKitWebProcess) || fail "no web process found under the program"
parent=$(awk '$1 == "PPid:" { print $2 }' "/proc/$web_process/status")
[ "$(cat "/proc/$parent/comm")" = bwrap ] || fail "the web process's parent is $(cat "/proc/$parent/comm"), not bwrap"
pid_levels=$(awk '$1 == "NSpid:" { print NF - 1 }' "/proc/$web_process/status")
[ "$pid_levels" -ge 2 ] || fail "the web process shares the program's pid namespace"
echo "ok: the web process runs inside bwrap"

# 2. What the page stored stays in memory and goes with the program.
rel_close_with_escape 5
[ "$close_result" = 0 ] || fail "Esc: program ended with '$close_result'"
left=$(cd "$home" && find . -mindepth 1 | sort)
[ -z "$left" ] || fail "files left in the fresh home: $left"
echo "ok: nothing written to the user's folders"

# 3. Where bwrap cannot run (here: replaced by a program that always fails),
# pages are shown unconfined rather than not at all.
rel_stop_service
rel_start_service
rel_start_program unshare --mount --propagation private \
  sh -c 'mount --bind /bin/false /usr/bin/bwrap && exec "$@"' sh
rel_search "no bwrap"
wait_for 20 logged "so.asp?k=no%20bwrap" || fail "without bwrap: the search did not reach the service"
wait_for 20 logged "page=results" || fail "without bwrap: the results page did not run"
grep -q "unconfined" "$work/program.err" || fail "without bwrap: no word of running unconfined"
rel_close_with_escape 5
[ "$close_result" = 0 ] || fail "without bwrap: program ended with '$close_result'"
echo "ok: without a working bwrap pages run unconfined"
