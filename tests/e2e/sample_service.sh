#!/usr/bin/env bash
# The sample search service: answers proxy-form requests for any host with a
# code page 936 page, logs every request target byte for byte, and a request
# that never gets an answer (__hang__) does not hold up the others.
set -euo pipefail

service="${TAVIK_BUILD_DIR:?TAVIK_BUILD_DIR must name the build directory}/tools/sample_service/sample-search-service"
work=$(mktemp -d)
service_pid=""
hang_pid=""
cleanup() {
  [ -n "$hang_pid" ] && kill "$hang_pid" 2>/dev/null || true
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

"$service" --port 0 --log "$work/requests.log" >"$work/stdout" 2>"$work/stderr" &
service_pid=$!
for _ in $(seq 100); do grep -q '^port ' "$work/stdout" && break; sleep 0.05; done
port=$(awk '$1 == "port" { print $2; exit }' "$work/stdout")
[ -n "$port" ] || fail "the service printed no port: $(cat "$work/stderr")"

# Sends a request line exactly as given (curl would tidy some of these targets)
# and stores the whole answer.
raw_request() {
  local target=$1 answer=$2
  timeout 10 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$0"
    printf "GET %s HTTP/1.1\r\nHost: so.tavik.example\r\nConnection: close\r\n\r\n" "$1" >&3
    cat <&3' "$port" "$target" >"$answer"
}

# True when the log has a line "<time> GET <target> Host=<host>" with these exact bytes.
logged() {
  awk -v target="$1" -v host="Host=$2" \
    '$1 ~ /^[0-9]+$/ && $2 == "GET" && $3 == target && $4 == host { found = 1 } END { exit !found }' \
    "$work/requests.log"
}

chinese=$(printf '\xD6\xD0\xCE\xC4' | iconv -f GBK -t UTF-8)

# 1. The program's request through http_proxy: absolute form, percent-encoded GB18030.
target='http://so.tavik.example/so.asp?k=%D6%D0%CE%C4%20A%26B'
curl -sS -m 10 -x "http://127.0.0.1:$port" -D "$work/headers" -o "$work/body" "$target"
grep -q '^HTTP/1.1 200' "$work/headers" || fail "proxy request: $(head -1 "$work/headers")"
grep -qi '^Content-Type: text/html; charset=gbk' "$work/headers" || fail "proxy request: no gbk charset"
grep -q '<meta charset="gbk">' "$work/body" || fail "proxy request: no meta charset"
# (grep reads a file: grep -q in a pipe can end iconv with SIGPIPE, failing under pipefail)
iconv -f GBK -t UTF-8 "$work/body" >"$work/page"
grep -qF "$chinese A&amp;B" "$work/page" || fail "proxy request: name not in page"
logged "$target" so.tavik.example || fail "proxy request: log lacks the raw target and host"
echo "ok: proxy request"

# 2. Targets as the program sends typed text, unencoded: target | name as the page shows it.
cases=(
  "/so.asp?k=100%|100%"
  "/so.asp?k=a%zz|a%zz"
  "/so.asp?k=a+b%2B|a b+"
  "/SO.ASP?k=%D6%D0%CE%C4&k=second|$chinese"
  "/so.asp?k=%FF%D6|&#65533;"
  "/so.asp?k=|影视资源"
)
for case in "${cases[@]}"; do
  target=${case%%|*} name=${case#*|}
  raw_request "$target" "$work/answer"
  head -1 "$work/answer" | grep -q '^HTTP/1.1 200' || fail "$target: $(head -1 "$work/answer")"
  iconv -f GBK -t UTF-8 "$work/answer" >"$work/page"
  grep -qF "$name" "$work/page" || fail "$target: '$name' not in page"
  logged "$target" so.tavik.example || fail "$target: not logged byte for byte"
  echo "ok: $target"
done

# 3. A hanging request stays unanswered while the next one is answered.
curl -sS -m 60 -o /dev/null "http://127.0.0.1:$port/so.asp?k=__hang__" 2>/dev/null &
hang_pid=$!
for _ in $(seq 100); do logged "/so.asp?k=__hang__" "127.0.0.1:$port" && break; sleep 0.05; done
logged "/so.asp?k=__hang__" "127.0.0.1:$port" || fail "__hang__ request not received"
status=$(curl -sS -m 10 -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/so.asp?k=after")
[ "$status" = 200 ] || fail "request after __hang__: status $status"
kill -0 "$hang_pid" 2>/dev/null || fail "__hang__ was answered"
echo "ok: __hang__ does not block"
