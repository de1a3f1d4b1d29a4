#!/usr/bin/env bash
# The shipped desktop files validate, and the Debian package, unpacked into a
# temporary root, holds a program that answers and a sample course that checks clean.
# Arguments: the source folder and the build folder.
set -euo pipefail
src=$1
build=$2
desktop-file-validate "$src/packaging/vorsanit.desktop"
appstreamcli validate --no-net "$src/packaging/vorsanit.metainfo.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/vorsanit_*_amd64.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
for f in bin/vorsanit bin/vorsanit-check share/vorsanit/course/main.txt share/vorsanit/course/graph.txt \
         share/applications/vorsanit.desktop share/metainfo/ru.vorsanit.Vorsanit.metainfo.xml \
         share/icons/hicolor/scalable/apps/vorsanit.svg share/man/man1/vorsanit.1 \
         bin/vorsanit-results share/man/man1/vorsanit-results.1; do
  test -f "$root/$f" || { echo "missing in the package: /usr/$f"; exit 1; }
done
"$root/bin/vorsanit" --version | grep -q '^vorsanit '
"$root/bin/vorsanit" --help | grep -q -- '--sample'
# The installed checker finds nothing to fault in the installed sample course
# (run in the course folder, where graph.txt is looked up).
(cd "$root/share/vorsanit/course" && "$root/bin/vorsanit-check" .)
echo "package ok: $(basename "$deb")"
