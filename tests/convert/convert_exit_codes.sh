#!/bin/sh
# vorsanit-convert's exit status: 0 when every question converted, 1 when some
# were reported and left out, 2 when nothing could be done; a Moodle XML bank
# becomes a course that the checker passes clean.
convert="$1"
checker="$2"
course="$3"
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
export LC_ALL=C.UTF-8

"$convert" "$course" "$tmp/bank.xml" >/dev/null; rc=$?
[ "$rc" -eq 0 ] || { echo "export: exit $rc"; exit 1; }
"$convert" "$tmp/bank.xml" "$tmp/kurs" >/dev/null; rc=$?
[ "$rc" -eq 0 ] || { echo "import: exit $rc"; exit 1; }
out=$(cd "$tmp/kurs" && "$checker" .) || { echo "imported course: $out"; exit 1; }
[ "$out" = "Курс: 3 темы, 106 вопросов; ошибок 0, предупреждений 0." ] || { echo "imported course: $out"; exit 1; }

"$convert" "$tmp/bank.xml" "$tmp/kurs" >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || { echo "refilled folder: exit $rc"; exit 1; }

printf 'Q? {=a ~b}\n\nEssay. {}\n' > "$tmp/some.gift"
out=$("$convert" "$tmp/some.gift" "$tmp/some"); rc=$?
[ "$rc" -eq 1 ] || { echo "partly: exit $rc"; exit 1; }
echo "$out" | grep -q '^.*some.gift:3: пропущен: вопрос типа «эссе»' || { echo "partly: $out"; exit 1; }

printf 'Essay. {}\n' > "$tmp/none.gift"
"$convert" "$tmp/none.gift" "$tmp/none" >/dev/null; rc=$?
[ "$rc" -eq 2 ] || { echo "nothing: exit $rc"; exit 1; }
[ ! -e "$tmp/none" ] || { echo "nothing: a folder was made"; exit 1; }
printf '\377\376Q\000?\000\n\000' > "$tmp/utf16.gift"
out=$("$convert" "$tmp/utf16.gift" "$tmp/utf16" 2>&1); rc=$?
[ "$rc" -eq 2 ] && [ ! -e "$tmp/utf16" ] || { echo "UTF-16: exit $rc"; exit 1; }
echo "$out" | grep -q 'utf16.gift: файл в кодировке UTF-16' || { echo "UTF-16: $out"; exit 1; }
truncate -s 300M "$tmp/huge.gift"
out=$("$convert" "$tmp/huge.gift" "$tmp/huge" 2>&1); rc=$?
[ "$rc" -eq 2 ] && echo "$out" | grep -q 'huge.gift: файл слишком велик' || { echo "huge: $out"; exit 1; }
"$convert" --help | grep -q '^Использование: vorsanit-convert' || { echo "no help"; exit 1; }
echo ok
