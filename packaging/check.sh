#!/usr/bin/env bash
# Builds the Debian package in a release build of its own, installs it on this
# machine (as root, or through sudo) and checks what it installed: the
# installed tessaro-cli calculates on a fresh copy of the installed template
# and in a fresh home, the desktop program starts, and the desktop entry, the
# AppStream file, the icons and the manual pages pass their checkers.
#
#   packaging/check.sh [BUILD]      (BUILD: the build folder, build/package)
#
# The exit status is the verdict; the package is left installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. ./deps.sh
tessaro_install_deps desktop-file-utils appstream dpkg-dev file man-db groff-base bsdextrautils

build=${1:-build/package}

fail() {
  echo "packaging/check.sh: $*" >&2
  exit 1
}

# The package.
tessaro_build "$build" all -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_TESTS=OFF -DTESSARO_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$build"/tessaro_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/tessaro_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "cpack made no single tessaro_*.deb in $build"; fi
deb=$(realpath "${debs[0]}")
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
contents=$(dpkg-deb --contents "$deb")
if grep -q ' \./usr/local/' <<<"$contents"; then fail "the package has files under /usr/local"; fi

# The same version again replaces what an earlier run installed.
tessaro_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$deb" >"$build/apt.log" 2>&1 ||
  { cat "$build/apt.log" >&2; fail "the package does not install"; }
installed=$(dpkg-query -L tessaro)
for f in /usr/bin/tessaro /usr/bin/tessaro-cli /usr/share/tessaro/数据库/KuTitle.ini; do
  grep -qx "$f" <<<"$installed" || fail "the package does not install $f"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the installed tessaro-cli as a user with an empty home: no data folder
# anywhere, no TESSARO_DIR.
fresh_cli() {
  env -u TESSARO_DIR HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" /usr/bin/tessaro-cli "$@"
}

# tessaro-cli calc with the arguments given: exit status 0, the passed
# verdict, and the two result records as JSON objects.
check_calc() {
  local status=0
  fresh_cli calc "$@" >"$work/calc.out" 2>"$work/calc.err" || status=$?
  if [ $status -ne 0 ] || [ "$(grep -c '^{.*"BH": "[12]＃配比"' "$work/calc.out")" -ne 2 ] ||
    ! grep -qx 'verdict: passed' "$work/calc.err"; then
    cat "$work/calc.out" "$work/calc.err" >&2
    fail "tessaro-cli calc $* exited with status $status; expected 0, the verdict and two result records"
  fi
}

mkdir -p "$work/home" "$work/copy"
cp -r /usr/share/tessaro/数据库 "$work/copy/"
check_calc --dir "$work/copy"
echo "tessaro-cli calc on a copy of the template: $(wc -l <"$work/calc.out") result records"
# Given no folder, the installed programs keep the user's data in the XDG
# data home, made from the installed template at the first start.
check_calc
[ -f "$work/home/.local/share/Tessaro/数据库/KuTitle.ini" ] ||
  fail "tessaro-cli calc made no data folder in XDG_DATA_HOME/Tessaro"
echo "tessaro-cli calc in a fresh home: $(wc -l <"$work/calc.out") result records"

# The desktop program starts and waits at its password dialog.
status=0
env -u TESSARO_DIR HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" QT_QPA_PLATFORM=offscreen \
  timeout 5 /usr/bin/tessaro >"$work/tessaro.log" 2>&1 || status=$?
if [ $status -ne 124 ]; then
  cat "$work/tessaro.log" >&2
  fail "/usr/bin/tessaro ended with status $status instead of running"
fi

# The desktop entry, the AppStream file and the icons.
desktop=$(grep -x '/usr/share/applications/.*\.desktop' <<<"$installed") || fail "no desktop entry installed"
id=$(basename "$desktop" .desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
appstreamcli validate --no-net --pedantic "/usr/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli refuses /usr/share/metainfo/$id.metainfo.xml"
grep -qx "Icon=$id" "$desktop" || fail "$desktop does not name the icon $id"
for size in 16 22 24 32 48 64 128 256; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [[ "$(file -b "$icon")" == "PNG image data, $size x $size,"* ]] || fail "$icon is no $size×$size PNG"
done
grep -q '<svg' "/usr/share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"

# The manual pages: no warnings, and every command of tessaro-cli's usage
# text described.
for page in tessaro tessaro-cli; do
  zcat "/usr/share/man/man1/$page.1.gz" | groff -k -man -Tutf8 -ww -z 2>"$work/groff.err"
  [ ! -s "$work/groff.err" ] || { cat "$work/groff.err" >&2; fail "groff warns on the manual page $page(1)"; }
  lexgrog "/usr/share/man/man1/$page.1.gz" >/dev/null || fail "lexgrog finds no NAME section in $page(1)"
done
MANWIDTH=200 man -l /usr/share/man/man1/tessaro-cli.1.gz 2>/dev/null | col -b | sed -n '/^COMMANDS/,/^EXIT STATUS/p' \
  >"$work/manual.txt"
fresh_cli --help 2>"$work/usage.txt" || true
commands=$(sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' "$work/usage.txt")
[ -n "$commands" ] || fail "tessaro-cli --help lists no commands"
for c in $commands; do
  grep -qE "^ {7}$c( |$)" "$work/manual.txt" || fail "the manual page tessaro-cli(1) does not describe the command $c"
done

echo "packaging/check.sh: the package $(basename "$deb") installs and works"
