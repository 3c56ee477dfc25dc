#!/usr/bin/env bash
# An answer the engine cannot show is downloaded, as a browser would, into the
# user's download folder, and the program goes on.
set -euo pipefail
source "${TAVIK_SOURCE_DIR:?TAVIK_SOURCE_DIR must name the source directory}/tests/e2e/lib/reliability.bash"
rel_setup

home="$work/home"
downloads="$home/下载"
mkdir -p "$home/.config" "$downloads"
echo 'XDG_DOWNLOAD_DIR="$HOME/下载"' >"$home/.config/user-dirs.dirs"

rel_start_file_service "film file 0123456789"
rel_start_program dbus-run-session -- env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share"
rel_search "download"
wait_for 10 logged "so.asp?k=download" || fail "the search did not reach the service"

downloaded() { grep -rlqF "film file 0123456789" "$downloads" 2>/dev/null; }
wait_for 15 downloaded || fail "nothing downloaded to $downloads: $(cd "$home" && find . -type f)"
echo "ok: the file is in the download folder: $(cd "$downloads" && ls)"

program_alive || fail "the program died after the download"
rel_close_with_escape 3
[ "$close_result" = 0 ] || fail "Esc: program ended with '$close_result'"
