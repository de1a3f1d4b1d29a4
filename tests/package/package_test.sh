#!/usr/bin/env bash
# The shipped desktop files validate, and the Debian package, unpacked into a
# temporary root, holds a program that answers and a sample course that checks
# clean; lintian passes it.
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
# Lintian takes a few seconds: it runs while the contents are checked below, and
# must find nothing, no error, warning, informational or pedantic tag (overrides
# in packaging/lintian-overrides say why they are there).
lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$deb" >"$work/lintian.txt" 2>&1 &
lintian_pid=$!
trap 'kill "$lintian_pid" 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
# grep -c reads its input whole; grep -q may quit early, and under pipefail the writer then fails.
dpkg-deb -f "$deb" Depends | grep -c libqt6widgets6 >/dev/null
dpkg-deb -f "$deb" Depends | grep -c libpq5 >/dev/null  # the records server client
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
for f in bin/vorsanit bin/vorsanit-check share/vorsanit/course/main.txt share/vorsanit/course/graph.txt \
         share/applications/vorsanit.desktop share/metainfo/ru.vorsanit.Vorsanit.metainfo.xml \
         share/icons/hicolor/scalable/apps/vorsanit.svg share/man/man1/vorsanit.1.gz \
         bin/vorsanit-results share/man/man1/vorsanit-results.1.gz bin/vorsanit-convert \
         share/man/man1/vorsanit-convert.1.gz share/man/man5/vorsanit-course.5.gz share/doc/vorsanit/guide.md \
         share/doc/vorsanit/copyright share/doc/vorsanit/changelog.gz share/doc/vorsanit/template/main.txt \
         bin/vorsanit-editor share/applications/vorsanit-editor.desktop \
         share/icons/hicolor/scalable/apps/vorsanit-editor.svg share/man/man1/vorsanit-editor.1.gz \
         share/man/ru/man1/vorsanit-editor.1.gz; do
  test -f "$root/$f" || { echo "missing in the package: /usr/$f"; exit 1; }
done
"$root/bin/vorsanit" --version | grep -c '^vorsanit ' >/dev/null
"$root/bin/vorsanit" --help | grep -c -- '--sample' >/dev/null
"$root/bin/vorsanit-editor" --version | grep -c '^vorsanit-editor ' >/dev/null
# The installed checker finds nothing to fault in the installed sample course
# (run in the course folder, where graph.txt is looked up).
(cd "$root/share/vorsanit/course" && "$root/bin/vorsanit-check" .)
# Every manual page has its Russian translation, with the same sections and
# options, and every page renders without a warning, Cyrillic included, in a
# plain UTF-8 locale.
outline() {  # the section count and the options a page names
  gzip -dc "$1" | grep -c '^\.S[HS]'
  gzip -dc "$1" | grep -o '\\-\\-[a-z][a-z-]*' | sort -u
}
for page in "$root"/share/man/man[1-9]/*; do
  name=${page#"$root/share/man/"}
  russian=$root/share/man/ru/$name
  test -f "$russian" || { echo "no Russian manual page: /usr/share/man/ru/$name"; exit 1; }
  if [ "$(outline "$page")" != "$(outline "$russian")" ]; then
    echo "/usr/share/man/ru/$name lags behind /usr/share/man/$name (sections, options):"
    diff <(outline "$page") <(outline "$russian") || true
    exit 1
  fi
done
for page in "$root"/share/man/man[1-9]/* "$root"/share/man/ru/man[1-9]/*; do
  warnings=$(LANG=C.UTF-8 LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "man -l $page: $warnings"; exit 1; }
  warnings=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -k -Tutf8 -man -ww -z 2>&1)
  [ -z "$warnings" ] || { echo "groff $page: $warnings"; exit 1; }
done
# A Russian reader gets the Russian page, everyone else the English one.
[ "$(MANPATH=$root/share/man man -L ru -w 5 vorsanit-course)" = "$root/share/man/ru/man5/vorsanit-course.5.gz" ]
[ "$(MANPATH=$root/share/man man -L en -w 5 vorsanit-course)" = "$root/share/man/man5/vorsanit-course.5.gz" ]
man -l "$root/share/man/man1/vorsanit.1.gz" 2>/dev/null | grep -c 'vorsanit-course(5)' >/dev/null
grep -q '^# Ворсанит: как написать свой курс' "$root/share/doc/vorsanit/guide.md"
# The guide's example launcher for a course folder is a valid desktop entry.
awk '/^\[Desktop Entry\]/ { on = 1 } on && /^```/ { exit } on' "$root/share/doc/vorsanit/guide.md" \
  >"$work/launcher.desktop"
grep -c '^Exec=vorsanit /srv/kurs$' "$work/launcher.desktop" >/dev/null
desktop-file-validate "$work/launcher.desktop"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$root/share/doc/vorsanit/copyright"
grep -q '^License: GPL-3.0-or-later$' "$root/share/doc/vorsanit/copyright"
changelog=$(gzip -dc "$root/share/doc/vorsanit/changelog.gz")  # whole: a pipe cut short fails under pipefail
[[ $changelog == "vorsanit (0.1)"* ]]
# The template course checks clean: no error and no warning.
(cd "$root/share/doc/vorsanit/template" && "$root/bin/vorsanit-check" . | grep -c 'ошибок 0, предупреждений 0' >/dev/null)
wait "$lintian_pid" || { echo "lintian is not clean on $(basename "$deb"):"; cat "$work/lintian.txt"; exit 1; }
echo "package ok: $(basename "$deb")"
