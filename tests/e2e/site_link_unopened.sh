#!/usr/bin/env bash
# The site link with nothing on the desktop to open http addresses or HTML
# documents: a click opens nothing and the link stays (or turns back) blue.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/site_link.bash"
e2e_dispatch "$@"

# The only application of the test's desktop takes PNG pictures.
run_fresh 1024x768 check_case no-handler "image/png;" image/png nothing
run_fresh 1024x768 check_visited_then_failed
echo "PASS"
