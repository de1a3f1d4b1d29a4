#!/usr/bin/env bash
# The shipped desktop files validate, and the Debian package, unpacked into a
# temporary root, holds a program that answers and a sample course that checks clean.
# Arguments: the source folder and the build folder.
set -euo pipefail
src=$1
build=$2
desktop-file-validate "$src/packaging/vorsanit.desktop"
desktop-file-validate "$src/packaging/vorsanit-editor.desktop"
appstreamcli validate --no-net "$src/packaging/vorsanit.metainfo.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/vorsanit_*_amd64.deb)
# grep -c reads its input whole; grep -q may quit early, and under pipefail the writer then fails.
dpkg-deb -f "$deb" Depends | grep -c libqt6widgets6 >/dev/null
dpkg-deb -f "$deb" Depends | grep -c libpq5 >/dev/null  # the records server client
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
for f in bin/vorsanit bin/vorsanit-check share/vorsanit/course/main.txt share/vorsanit/course/graph.txt \
         share/applications/vorsanit.desktop share/metainfo/ru.vorsanit.Vorsanit.metainfo.xml \
         share/icons/hicolor/scalable/apps/vorsanit.svg share/man/man1/vorsanit.1 \
         bin/vorsanit-results share/man/man1/vorsanit-results.1 bin/vorsanit-convert \
         share/man/man1/vorsanit-convert.1 share/man/man5/vorsanit-course.5 share/doc/vorsanit/guide.md \
         share/doc/vorsanit/copyright share/doc/vorsanit/changelog.gz share/doc/vorsanit/template/main.txt \
         bin/vorsanit-editor share/applications/vorsanit-editor.desktop \
         share/icons/hicolor/scalable/apps/vorsanit-editor.svg share/man/man1/vorsanit-editor.1 \
         share/man/ru/man1/vorsanit-editor.1; do
  test -f "$root/$f" || { echo "missing in the package: /usr/$f"; exit 1; }
done
"$root/bin/vorsanit" --version | grep -c '^vorsanit ' >/dev/null
"$root/bin/vorsanit" --help | grep -c -- '--sample' >/dev/null
"$root/bin/vorsanit-editor" --version | grep -c '^vorsanit-editor ' >/dev/null
# The installed checker finds nothing to fault in the installed sample course
# (run in the course folder, where graph.txt is looked up).
(cd "$root/share/vorsanit/course" && "$root/bin/vorsanit-check" .)
# The manual pages render without a warning, Cyrillic included, in a plain UTF-8 locale.
for page in "$root"/share/man/man1/*.1 "$root"/share/man/man5/*.5 "$root"/share/man/ru/man1/*.1; do
  warnings=$(LANG=C.UTF-8 LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "man -l $page: $warnings"; exit 1; }
  warnings=$(LC_ALL=C.UTF-8 groff -k -Tutf8 -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "groff $page: $warnings"; exit 1; }
done
man -l "$root/share/man/man1/vorsanit.1" 2>/dev/null | grep -c 'vorsanit-course(5)' >/dev/null
grep -q '^# Ворсанит: как написать свой курс' "$root/share/doc/vorsanit/guide.md"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$root/share/doc/vorsanit/copyright"
changelog=$(gzip -dc "$root/share/doc/vorsanit/changelog.gz")  # whole: a pipe cut short fails under pipefail
[[ $changelog == "vorsanit (0.1)"* ]]
# The template course checks clean: no error and no warning.
(cd "$root/share/doc/vorsanit/template" && "$root/bin/vorsanit-check" . | grep -c 'ошибок 0, предупреждений 0' >/dev/null)
echo "package ok: $(basename "$deb")"
