#!/usr/bin/env bash
# Installation: `cmake --install` into a scratch prefix puts exactly the program,
# its desktop entry, its icons and its metainfo file in place, the two
# desktop files pass their validators and agree with each other, and the
# installed program starts. When the Debian tools are there, cpack builds a
# .deb (into a scratch folder; it is never installed here) that holds the same
# files under /usr and depends on the libraries and the run-time packages.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

APP_ID=example.tavik.TavikSearch
ICON_SIZES=(16x16 32x32 48x48 128x128)

# Every file an installation holds, relative to its prefix.
expected_files() {
  echo bin/tavik-search
  echo "$(awk -F= '/^CMAKE_INSTALL_LIBDIR:/ { print $2 }' "$E2E_BUILD_DIR/CMakeCache.txt")/tavik-search/tavik-web-engine.so"
  echo "share/applications/$APP_ID.desktop"
  echo "share/metainfo/$APP_ID.metainfo.xml"
  local size
  for size in "${ICON_SIZES[@]}"; do
    echo "share/icons/hicolor/$size/apps/tavik-search.png"
  done
}

# desktop_key FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_key() {
  awk -v key="$2" '
    /^\[/ { group = $0 }
    group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}

# The validators exit 0 on hints and warnings alike; a warning is a fault here too.
validate_desktop_entry() {
  local file=$1 output
  output=$(desktop-file-validate "$file" 2>&1) || fail "desktop-file-validate rejects $file: $output"
  if grep -Eq '(error|warning):' <<<"$output"; then
    fail "desktop-file-validate complains about $file: $output"
  fi
  note "desktop-file-validate: ${output:-clean}"
}

validate_metainfo() {
  local file=$1 output
  output=$(appstreamcli validate --no-net --no-color "$file" 2>&1) || fail "appstreamcli rejects $file: $output"
  if grep -Eq '^[EW]:' <<<"$output"; then
    fail "appstreamcli reports errors or warnings for $file: $output"
  fi
  note "appstreamcli validate: $(tail -n 1 <<<"$output")"
}

check_installed_tree() {
  local prefix=$1
  diff <(expected_files | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
    fail "the installation in $prefix holds other files than expected (diff above: < missing, > extra)"
  [ -x "$prefix/bin/tavik-search" ] || fail "bin/tavik-search is not executable"

  local size actual
  for size in "${ICON_SIZES[@]}"; do
    local icon="$prefix/share/icons/hicolor/$size/apps/tavik-search.png"
    cmp -s "$icon" "$E2E_SOURCE_DIR/resources/icons/$size/tavik-search.png" ||
      fail "the installed $size icon differs from resources/icons/$size/tavik-search.png"
    actual=$(identify -format '%wx%h' "$icon")
    [ "$actual" = "$size" ] || fail "the icon installed as $size is $actual"
  done

  local entry="$prefix/share/applications/$APP_ID.desktop"
  validate_desktop_entry "$entry"
  # key | value it must have
  local keys=(
    "Type Application"
    "Name Tavik高清在线电影搜索工具"
    "Exec tavik-search"
    "Icon tavik-search"
    "Terminal false"
  )
  local row key value
  for row in "${keys[@]}"; do
    read -r key value <<<"$row"
    actual=$(desktop_key "$entry" "$key")
    [ "$actual" = "$value" ] || fail "$key in the desktop entry is '$actual', expected '$value'"
  done
  # The comment says what the program does in both languages.
  local comment
  comment=$(desktop_key "$entry" Comment)
  grep -q '[A-Za-z]' <<<"$comment" && grep -qP '\p{Han}' <<<"$comment" ||
    fail "the desktop entry's Comment '$comment' is not in both Chinese and English"

  local metainfo="$prefix/share/metainfo/$APP_ID.metainfo.xml"
  validate_metainfo "$metainfo"
  # The metainfo's id, its launchable and the files' names must agree, or a
  # software centre shows the program without its desktop entry.
  grep -q "<id>$APP_ID</id>" "$metainfo" || fail "the metainfo's id is not $APP_ID"
  grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
    fail "the metainfo's launchable is not $APP_ID.desktop"
  grep -q '<binary>tavik-search</binary>' "$metainfo" || fail "the metainfo does not provide the binary tavik-search"
  note "installed tree: $(expected_files | wc -l) files as expected"
}

# The installed program, not the one in the build folder, starts and shows its window.
check_installed_program_starts() {
  E2E_BINARY=$1
  start_program
  process_running "$E2E_PID" || fail "the installed program ended at start-up"
  note "installed program shows window $E2E_WIN"
  # Its web engine module is found in the installed tree and loaded.
  wait_until 10 grep -q libwebkit2gtk "/proc/$E2E_PID/maps" ||
    fail "the installed program did not load its web engine"
  note "installed program loaded its web engine module"
  kill "$E2E_PID"
  wait_exit "$E2E_PID" 10
}

# deb_field DEB FIELD: a field of the package's control file.
deb_field() { dpkg-deb -f "$1" "$2"; }

check_debian_package() {
  local out="$E2E_TMP/deb"
  mkdir -p "$out"
  (cd "$out" && cpack -G DEB -B "$out" --config "$E2E_BUILD_DIR/CPackConfig.cmake" >"$out/cpack.log" 2>&1) ||
    fail "cpack -G DEB failed: $(tail -n 20 "$out/cpack.log")"
  local debs=("$out"/*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb in $out: $(ls "$out")"
  local deb=${debs[0]}
  dpkg-deb -I "$deb" >"$out/info.txt" || fail "dpkg-deb -I cannot read $deb"

  [ "$(deb_field "$deb" Package)" = tavik-search ] || fail "the package is named '$(deb_field "$deb" Package)'"
  local depends
  depends=$(deb_field "$deb" Depends)
  note "Depends: $depends"
  # Found by dpkg-shlibdeps from what the program links to, and named by hand
  # for what it needs only at run time.
  local needed=(libc6 libstdc++6 libgtk-3-0 libgtkmm-3.0-1v5 libwebkit2gtk-4.1-0 libjpeg62-turbo libx11-6
    fonts-wqy-zenhei fonts-arphic-uming bubblewrap xdg-dbus-proxy)
  local package names
  # The package names alone, one a line, without their version constraints.
  names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
  for package in "${needed[@]}"; do
    grep -qxF "$package" <<<"$names" || fail "the .deb does not depend on $package: Depends: $depends"
  done
  grep -q "Depends: " "$out/info.txt" || fail "dpkg-deb -I shows no Depends line"

  # The same files as `cmake --install`, under /usr.
  diff <(expected_files | sed 's|^|./usr/|' | sort) \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort) ||
    fail "the .deb holds other files than expected (diff above: < missing, > extra)"
  dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/tavik-search"' | grep -q '^-rwxr-xr-x root/root' ||
    fail "/usr/bin/tavik-search in the .deb is not an executable owned by root"
  note "$(basename "$deb"): files and Depends as expected"
}
e2e_dispatch "$@"

prefix="$E2E_TMP/prefix"
cmake --install "$E2E_BUILD_DIR" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$E2E_TMP/install.log")"
check_installed_tree "$prefix"
run_fresh 1024x768 check_installed_program_starts "$prefix/bin/tavik-search"

if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  check_debian_package
else
  note "SKIP the .deb: dpkg-deb or dpkg-shlibdeps is missing"
fi
echo "PASS"
