#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and prints the demo list
# unattended from the installed files alone: the installed generator writes
# the demo database, templates and ini file, the installed program prints.
#   installed_demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr > "$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }
usr="$tmp/root/usr"
for f in bin/tannbuch bin/tannbuch-demo share/applications/tannbuch.desktop \
         share/icons/hicolor/scalable/apps/tannbuch.svg share/man/man1/tannbuch.1.gz \
         share/doc/tannbuch/examples/kelmora.ini share/doc/tannbuch/examples/schema.sql \
         share/tannbuch/translations/qtbase_de.qm; do
  [ -s "$usr/$f" ] || fail "$f is not installed"
done
gzip -dc "$usr/share/man/man1/tannbuch.1.gz" | grep -q '^\.TH TANNBUCH 1' || fail "the manual page is no manual page"
grep -qx 'Exec=tannbuch "|/etc/tannbuch/kelmora.ini"' "$usr/share/applications/tannbuch.desktop" \
  || fail "the desktop entry starts something else"

# From here on nothing of the build or source folder is used.
cd "$tmp"
"$usr/bin/tannbuch-demo" database demo/forst.sqlite
"$usr/bin/tannbuch-demo" templates demo/templates
"$usr/bin/tannbuch-demo" ini demo/kelmora.ini --database "$tmp/demo/forst.sqlite" --templates "$tmp/demo/templates"
mkdir out
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_STATE_HOME="$tmp/state" \
  TANNBUCH_INSTANCE_KEY="installed-demo-$$" \
  "$usr/bin/tannbuch" "|$tmp/demo/kelmora.ini|||4711|1|DEMO|out" || fail "the installed program did not print"
[ -s out/DEMO_4711.xlsx ] || fail "no out/DEMO_4711.xlsx"
grep -q "	4711	1	DEMO	gedruckt	$tmp/out/DEMO_4711.xlsx	" "$tmp/state/tannbuch/runs.log" \
  || fail "no line in the run log: $(cat "$tmp/state/tannbuch/runs.log" 2>&1)"
echo "installed demo printed"
