#!/usr/bin/env bash
# The installed layout, checked where a user finds it.
#
#   check-install.sh install BUILD_DIR GUI   `cmake --install` into a temporary prefix
#   check-install.sh package BUILD_DIR       the Debian package CPack makes, unpacked with
#                                            dpkg-deb -x into a temporary root: its layout, its
#                                            Depends against the libraries the programs load,
#                                            and the unpacked programs started from there
set -euo pipefail

mode="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The files a prefix must hold; the GUI's only in a build with the GUI.
expect_layout() {
  local prefix="$1" gui="$2"
  local expected=(
    bin/lumivale-cli
    share/lumivale/AirportDirectory/AD_World.txt
    "share/lumivale/AirportDirectory/AD_Europe.txt"
    share/doc/lumivale/README.md
    share/doc/lumivale/DATA.md
    share/doc/lumivale/manual/Manual.htm
  )
  if [ "$gui" = ON ]; then
    expected+=(bin/lumivale share/applications/lumivale.desktop share/icons/hicolor/scalable/apps/lumivale.svg)
  fi
  local file
  for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "$prefix/$file is missing"
  done
  for file in bin/lumivale-cli bin/lumivale; do
    if [ -e "$prefix/$file" ] && [ ! -x "$prefix/$file" ]; then
      fail "$prefix/$file is not executable"
    fi
  done
  # Every list the program carries, and nothing else, byte for byte.
  local source_dir
  source_dir="$(dirname "$0")/../../data/AirportDirectory"
  if ! diff -r -q "$source_dir" "$prefix/share/lumivale/AirportDirectory" >/dev/null; then
    fail "the installed airport directory differs from data/AirportDirectory"
  fi
  if [ "$gui" = ON ]; then
    local entry="$prefix/share/applications/lumivale.desktop"
    grep -qx 'Exec=lumivale' "$entry" || fail "the desktop entry does not start lumivale"
    grep -qx 'Icon=lumivale' "$entry" || fail "the desktop entry does not name the icon lumivale"
    if command -v desktop-file-validate >/dev/null; then
      desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
    fi
  fi
}

case "$mode" in
install)
  gui="$3"
  cmake --install "$build" --prefix "$work/prefix" >/dev/null
  expect_layout "$work/prefix" "$gui"
  ;;
package)
  (cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
  deb=$(ls "$work"/package/*.deb)
  dpkg-deb -x "$deb" "$work/root"
  expect_layout "$work/root/usr" ON

  # Every library the two programs load comes from a package the .deb depends on.
  depends=$(dpkg-deb -f "$deb" Depends)
  # The package names alone, one a line.
  depended=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
  for program in "$work/root/usr/bin/lumivale" "$work/root/usr/bin/lumivale-cli"; do
    for library in $(readelf -d "$program" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p'); do
      path=$(ldd "$program" | awk -v l="$library" '$1 == l { print $3 }')
      owner=""
      for candidate in "$path" "$(readlink -f "$path")" "/usr$path" "/usr$(readlink -f "$path")"; do
        owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1) && [ -n "$owner" ] && break
      done
      if [ -z "$owner" ]; then
        fail "no package holds $library ($path), which $(basename "$program") loads"
      elif ! grep -Fxq "$owner" <<<"$depended"; then
        fail "$(basename "$program") loads $library from $owner, which Depends does not name: $depends"
      fi
    done
  done

  # The unpacked command line makes a demo installation and reports on it.
  export HOME="$work/user" XDG_DATA_HOME="$work/user" LUMIVALE_HOME="$work/home"
  mkdir -p "$HOME"
  "$work/root/usr/bin/lumivale-cli" demo "$work/demo" >/dev/null || fail "lumivale-cli demo failed"
  export WINEPREFIX="$work/demo" LUMIVALE_HOME="$work/demo/lumivale-home"
  if info=$("$work/root/usr/bin/lumivale-cli" info 2>&1); then
    grep -q 'Flight Simulator 2002' <<<"$info" || fail "lumivale-cli info does not name the simulator: $info"
  else
    fail "lumivale-cli info failed: $info"
  fi
  # The unpacked window opens on it and keeps running until it is ended.
  QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/lumivale" >"$work/window.log" 2>&1 &
  window=$!
  sleep 4
  if kill -0 "$window" 2>/dev/null; then
    kill "$window"
    wait "$window" 2>/dev/null || true
  else
    wait "$window" && status=0 || status=$?
    fail "the window ended by itself (exit $status): $(cat "$work/window.log")"
  fi
  ;;
*)
  echo "usage: $0 install|package BUILD_DIR [GUI]" >&2
  exit 2
  ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "install layout ($mode): all as expected"
