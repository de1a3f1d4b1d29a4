#!/bin/sh
# The checker's exit status: 0 for a clean course, 1 for one with an error (or,
# with --strict, a warning), 2 for a folder it cannot read; and its output in the
# terminal's encoding.
checker="$1"
course="$2"
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
cd "$course" || exit 1

out=$(LC_ALL=C.UTF-8 "$checker" .); rc=$?
[ "$rc" -eq 0 ] || { echo "sample course: exit $rc"; exit 1; }
[ "$out" = "Курс: 3 темы, 106 вопросов; ошибок 0, предупреждений 0." ] || { echo "sample course: $out"; exit 1; }

printf 'One\r\n' > "$tmp/main.txt"
out=$(LC_ALL=C.UTF-8 "$checker" "$tmp"); rc=$?
[ "$rc" -eq 1 ] || { echo "faulty course: exit $rc"; exit 1; }
echo "$out" | grep -q '^vopros.txt: ошибка: файл не найден\.$' || { echo "faulty course: $out"; exit 1; }

# A warning alone passes by default and fails --strict; a note (UTF-8) passes both.
mkdir "$tmp/warned" && cp ./*.txt ./*.jpg "$tmp/warned/" || exit 1
printf 'color=blue\r\n' > "$tmp/warned/kurs.txt"
LC_ALL=C.UTF-8 "$checker" "$tmp/warned" >/dev/null; rc=$?
[ "$rc" -eq 0 ] || { echo "warning by default: exit $rc"; exit 1; }
LC_ALL=C.UTF-8 "$checker" --strict "$tmp/warned" >/dev/null; rc=$?
[ "$rc" -eq 1 ] || { echo "warning with --strict: exit $rc"; exit 1; }
rm "$tmp/warned/kurs.txt"
iconv -f CP1251 -t UTF-8 main.txt > "$tmp/warned/main.txt" || exit 1
out=$(LC_ALL=C.UTF-8 "$checker" --strict "$tmp/warned"); rc=$?
[ "$rc" -eq 0 ] || { echo "UTF-8 with --strict: exit $rc: $out"; exit 1; }

LC_ALL=C.UTF-8 "$checker" "$tmp/absent" 2>/dev/null; rc=$?
[ "$rc" -eq 2 ] || { echo "absent folder: exit $rc"; exit 1; }

LC_ALL=C.UTF-8 "$checker" --help | grep -q '^Использование: vorsanit-check' || { echo "no help"; exit 1; }
echo ok
