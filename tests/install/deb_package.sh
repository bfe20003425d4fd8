#!/usr/bin/env bash
# Builds the Debian package, checks that it depends on runtime packages
# only, unpacks it and starts the unpacked program: it answers --version and
# finds Qt's German texts in its own folder.
#   deb_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/package" > "$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack"; }
debs=("$tmp"/package/tannbuch_*.deb)
[ -f "${debs[0]}" ] || fail "no .deb made"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6core6 libqt6widgets6 libzip4 libsqlite3-0 libodbc2 libqt6sql6-odbc tdsodbc; do
  grep -q "\b$needed\b" <<< "$depends" || fail "the package does not depend on $needed"
done
if grep -q -- '-dev\b' <<< "$depends"; then fail "the package depends on a -dev package"; fi

dpkg-deb -x "$deb" "$tmp/x"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$tmp/x/usr/bin/tannbuch" --version) \
  || fail "the unpacked program does not answer --version"
echo "$version"
grep -q '^Tannbuch [0-9]' <<< "$version" || fail "no name and version"
grep -qF "Qt-Texte: $tmp/x/usr/share/tannbuch/translations/qtbase_de.qm" <<< "$version" \
  || fail "the unpacked program does not take Qt's texts from its own folder"
echo "package good: $(basename "$deb")"
