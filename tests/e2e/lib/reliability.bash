# Helpers for end-to-end tests of the web view under faults: a sample search
# service, the real program pointed at it through http_proxy, and input sent
# with xdotool. Source it from a test script that runs under set -euo pipefail.
#
# After rel_setup: $work (a fresh folder removed at exit), $service_log.
# After rel_start_program: $program_pid (the program itself), $launcher_pid
# (what was started: the program or a wrapper around it), $window_id.

service_binary="${TAVIK_BUILD_DIR:?TAVIK_BUILD_DIR must name the build directory}/tools/sample_service/sample-search-service"
program_binary="${TAVIK_BINARY:?TAVIK_BINARY must name the program}"

# Client coordinates of the controls of the search window.
readonly edit_box_x=200 edit_box_y=20
readonly search_button_x=396 search_button_y=20
readonly web_view_x=200 web_view_y=100

work=""
service_pid=""
service_port=""
service_log=""
program_pid=""
launcher_pid=""
window_id=""

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rel_cleanup() {
  [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
  [ -n "$launcher_pid" ] && kill -9 "$launcher_pid" 2>/dev/null || true
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  [ -n "$work" ] && rm -rf "$work"
}

rel_setup() {
  work=$(mktemp -d)
  trap rel_cleanup EXIT
  command -v xdotool >/dev/null || fail "xdotool is needed"
}

# Polls a command until it succeeds or the seconds are up; its status.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

rel_start_service() {
  service_log="$work/requests.log"
  : >"$service_log"
  "$service_binary" --port 0 --log "$service_log" >"$work/service.out" 2>"$work/service.err" &
  service_pid=$!
  wait_for 10 grep -q '^port ' "$work/service.out" || fail "the service printed no port"
  service_port=$(awk '$1 == "port" { print $2; exit }' "$work/service.out")
}

rel_stop_service() {
  kill "$service_pid" 2>/dev/null || true
  wait "$service_pid" 2>/dev/null || true
  service_pid=""
}

# The started process when it is the program, else its descendant that is.
find_program_pid() {
  local pid
  for pid in "$launcher_pid" $(descendants "$launcher_pid"); do
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = tavik-search ]; then
      program_pid=$pid
      return 0
    fi
  done
  return 1
}

program_window() {
  window_id=$(xdotool search --all --pid "$program_pid" --name 'tavik\.example' 2>/dev/null | head -1)
  [ -n "$window_id" ] && xdotool getwindowgeometry "$window_id" >/dev/null 2>&1
}

# Starts the program against the service (or the proxy port given in
# $proxy_port) and waits for its search window. Extra words go before the
# program: a wrapper such as env, bwrap or dbus-run-session and its arguments.
rel_start_program() {
  local port=${proxy_port:-$service_port}
  http_proxy="http://127.0.0.1:$port" GIO_USE_PROXY_RESOLVER=libproxy \
    "$@" "$program_binary" >"$work/program.out" 2>"$work/program.err" &
  launcher_pid=$!
  wait_for 10 find_program_pid || fail "the program did not start: $(cat "$work/program.err")"
  wait_for 30 program_window || fail "no search window appeared: $(cat "$work/program.err")"
  # A window manager may still be mapping it.
  wait_for 10 xdotool windowactivate --sync "$window_id" || true
}

program_alive() { kill -0 "$launcher_pid" 2>/dev/null; }

click_at() {
  xdotool mousemove --window "$window_id" "$1" "$2" click 1
}

# Types the film name into the edit box (replacing what was there) and clicks 搜索.
rel_search() {
  xdotool windowactivate --sync "$window_id" 2>/dev/null || true
  click_at "$edit_box_x" "$edit_box_y"
  xdotool key --clearmodifiers ctrl+a BackSpace
  [ -z "$1" ] || xdotool type --delay 20 "$1"
  click_at "$search_button_x" "$search_button_y"
}

# True when the service has logged a request whose target contains the text.
logged() { grep -qF -- "$1" "$service_log"; }
count_logged() { grep -cF -- "$1" "$service_log" || true; }

# Presses Esc in the search window and waits up to the given seconds for the
# program to end. Sets close_result to its exit status then, or to "alive".
close_result=""
rel_close_with_escape() {
  local seconds=${1:-5}
  xdotool windowactivate --sync "$window_id" 2>/dev/null || true
  click_at "$edit_box_x" "$edit_box_y"
  xdotool key Escape
  if wait_for "$seconds" program_ended; then
    close_result=0
    wait "$launcher_pid" || close_result=$?
    launcher_pid=""
    program_pid=""
  else
    close_result=alive
  fi
}

program_ended() { ! program_alive; }

# Descendants of a process, one pid a line.
descendants() {
  local child
  for child in $(pgrep -P "$1"); do
    echo "$child"
    descendants "$child"
  done
}

# Pid of the program's process running the named engine helper, e.g. WebKitWebProcess.
helper_pid() {
  local pid
  for pid in $(descendants "$program_pid"); do
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "${1:0:15}" ]; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# X windows of the program that are shown (its own and the engine's).
shown_window_count() {
  xdotool search --all --onlyvisible --pid "$program_pid" --name '' 2>/dev/null | wc -l
}

# The text the page in the web view shows, read through the X selection:
# click into the page, select all, copy.
page_text() {
  click_at "$web_view_x" "$web_view_y"
  xdotool key ctrl+a ctrl+c
  sleep 0.3
  xclip -o -selection clipboard 2>/dev/null || true
}

# A stand-in search service (an HTTP proxy) that gives every request the same
# answer: the header lines HEADERS (each ending in CRLF) and BODY. Logs
# request lines to $service_log. WHAT names it in a failure.
rel_start_fixed_service() {
  local what=$1 headers=$2 body=$3
  service_log="$work/requests.log"
  : >"$service_log"
  perl -MIO::Socket::INET -e '
    my ($log_file, $headers, $body) = @ARGV;
    my $server = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => 0, Listen => 16,
                                       ReuseAddr => 1) or die "listen: $!";
    open(my $log, ">>", $log_file) or die; $log->autoflush(1); $| = 1;
    print "port ", $server->sockport, "\n";
    while (my $client = $server->accept) {
      my $request = <$client>;
      next unless defined $request;
      while (my $header = <$client>) { last if $header =~ /^\r?\n$/; }
      print $log $request;
      print $client "HTTP/1.1 200 OK\r\n", $headers,
        "Content-Length: ", length($body), "\r\nConnection: close\r\n\r\n", $body;
      close $client;
    }' "$service_log" "$headers" "$body" >"$work/service.out" 2>"$work/service.err" &
  service_pid=$!
  wait_for 10 grep -q '^port ' "$work/service.out" || fail "the $what service printed no port"
  service_port=$(awk '$1 == "port" { print $2; exit }' "$work/service.out")
}

# A stand-in search service whose page keeps everything a page can keep: a
# lasting cookie, local storage, an IndexedDB database and a response that may
# be cached for a year. When the page has stored it all it requests /stored.
rel_start_storing_service() {
  local page
  page=$(cat <<'PAGE'
<!DOCTYPE html><html><head><meta charset="utf-8"><title>stored</title><script>
      function store() {
        document.cookie = "seen=1; max-age=31536000; path=/";
        localStorage.setItem("seen", "1");
        var opening = indexedDB.open("visits", 1);
        opening.onupgradeneeded = function () { opening.result.createObjectStore("visits"); };
        opening.onsuccess = function () {
          var writing = opening.result.transaction("visits", "readwrite");
          writing.objectStore("visits").put(1, "seen");
          writing.oncomplete = function () { new Image().src = "/stored?all"; };
        };
      }
    </script></head><body onload="store()"><p>stored</p></body></html>
PAGE
  )
  rel_start_fixed_service storing $'Content-Type: text/html; charset=utf-8\r\nSet-Cookie: visitor=1; Max-Age=31536000; Path=/\r\nCache-Control: public, max-age=31536000\r\n' "$page"
}

# A stand-in search service whose every answer is a file a browser cannot
# show (application/octet-stream) holding the given text.
rel_start_file_service() {
  rel_start_fixed_service file $'Content-Type: application/octet-stream\r\n' "$1"
}
