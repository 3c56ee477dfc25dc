#!/usr/bin/env bash
# The site link at the far right (seen when maximised) opens its address with
# the desktop's default handler for http addresses, or failing that with the
# default application for HTML documents. A recording script stands in for
# the user's browser. The link is purple under the pointer and dark red once
# the pointer has left after a click that opened it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/site_link.bash"
e2e_dispatch "$@"

# name | types the recorder claims | types it is the default for
cases=(
  "scheme-and-html  x-scheme-handler/http;text/html;  x-scheme-handler/http,text/html"
  "scheme-only      x-scheme-handler/http;            x-scheme-handler/http"
  "html-only        text/html;                        text/html"
)
for row in "${cases[@]}"; do
  read -r name mime_types defaults <<<"$row"
  run_fresh 1024x768 check_case "$name" "$mime_types" "$defaults" opened
done
echo "PASS"
