#!/usr/bin/env bash
# Builds the seed corpora of the fuzz targets from the sample course.
# Usage: make_seeds.sh COURSE_DIR OUT_DIR JPEG_SEED_MAKER CONVERTER
set -euo pipefail
course=$1
out=$2
jpeg_maker=$3
converter=$4
sep=$'\n#~#~#\n'  # the separator of fuzz_input.h

rm -rf "$out"
for target in course_files range_file question_card cp1251 diagram_map jpeg protocol_record course_check moodle_xml gift aiken course_document; do
  mkdir -p "$out/$target"
done

# The lines of each topic's first sections, so that a seed is small and fast.
topic_part() {  # file topic lines
  awk -v t="$2" -v n="$3" '/^\+/ { on = substr($0, 4, 1) == t; if (on) print; next }
                            on && kept < n { print; kept++ }' "$1"
}

{ cat "$course/main.txt"; printf '%s' "$sep"; cat "$course/vopros.txt"; printf '%s' "$sep"
  cat "$course/otvet.txt"; printf '%s' "$sep"; cat "$course/konsult.txt"; } > "$out/course_files/whole"
for t in 1 2 3; do
  { head -n "$t" "$course/main.txt"; printf '%s' "$sep"; topic_part "$course/vopros.txt" "$t" 6
    printf '%s' "$sep"; topic_part "$course/otvet.txt" "$t" 14
    printf '%s' "$sep"; topic_part "$course/konsult.txt" "$t" 10; } > "$out/course_files/topic$t"
done

for t in 1 2 3; do
  { printf "\\x0$t\\x28"; cat "$course/diapazon.txt"; } > "$out/range_file/topic$t"
  { head -n 1 "$course/vopros.txt" | cut -c 10-; topic_part "$course/otvet.txt" "$t" 20; } \
    > "$out/question_card/topic$t"
done
# awk stops by itself: with pipefail, a reader that quits early (head) could fail the script.
awk 'length($0) > 60 { print; exit }' "$course/vopros.txt" | cut -c 10- > "$out/question_card/long"
grep -a -m 3 '^_' "$course/otvet.txt" >> "$out/question_card/long"

for f in main vopros otvet konsult diapazon graph; do
  head -c 2000 "$course/$f.txt" > "$out/cp1251/$f"
done

for n in 1 2 3 7; do
  { printf 'diagram_000%s' "$n"; printf '%s' "$sep"; cat "$course/graph.txt"; } > "$out/diagram_map/d$n"
done

"$jpeg_maker" "$out/jpeg"

printf '%s' "Иванов И.И.${sep}1234${sep}ЭЛ-21${sep}Тема${sep}05.03.2024${sep}07:08:09" \
  | iconv -f UTF-8 -t CP1251 > "$out/protocol_record/candidate"

# The checker: the whole sample course, and each topic's first sections with its ranges.
{ cat "$out/course_files/whole"; printf '%s' "$sep"; cat "$course/diapazon.txt"; printf '%s' "$sep"
  cat "$course/graph.txt"; } > "$out/course_check/whole"
for t in 1 2 3; do
  { cat "$out/course_files/topic$t"; printf '%s' "$sep"; cat "$course/diapazon.txt"; } > "$out/course_check/topic$t"
done

# The import readers: the sample course exported, and a few questions of the kinds they refuse.
# The first questions only: a whole exported course would slow the targets tenfold.
"$converter" "$course" "$out/course.xml" >/dev/null
"$converter" "$course" "$out/course.gift" >/dev/null
head -c 6000 "$out/course.xml" | sed '$d' > "$out/moodle_xml/part.xml"
printf '</question>\n</quiz>\n' >> "$out/moodle_xml/part.xml"
head -c 6000 "$out/course.gift" > "$out/gift/part.gift"
rm "$out/course.xml" "$out/course.gift"
printf '<?xml version="1.0"?>\n<quiz><question type="truefalse"><questiontext format="html"><text><![CDATA[<p>Да?</p>]]></text></questiontext><answer fraction="100"><text>true</text></answer><answer fraction="0"><text>false</text></answer></question><question type="shortanswer"/></quiz>\n' \
  > "$out/moodle_xml/kinds.xml"
printf '// kinds\n$CATEGORY: $course$/top/A\n\nT? {T}\n\nW {=a -> b =c -> d}\n\nN {#3:1}\n\nM {~%%50%%a ~%%50%%b#x ####g}\n' \
  > "$out/gift/kinds.gift"
printf 'Question?\nA. one\nB) two\nANSWER: B\n\nNext?\nA. x\nB. y\nANSWER: A\n' > "$out/aiken/two.txt"
printf 'Q\nA. a\nstray\nANSWER: Z\n' > "$out/aiken/faulty.txt"

# The editor's document: the sample course's files, whole and each topic's first
# sections, and the template in its shapes (LF, no final line end, UTF-8).
template=$(dirname "$0")/../packaging/template
for seed in whole topic1 topic2 topic3; do cp "$out/course_check/$seed" "$out/course_document/$seed"; done
{ for f in main vopros otvet konsult diapazon; do
    [ "$f" = main ] || printf '%s' "$sep"; tr -d '\r' < "$template/$f.txt"; done; } > "$out/course_document/template-lf"
{ for f in main vopros otvet konsult diapazon; do
    [ "$f" = main ] || printf '%s' "$sep"; iconv -f CP1251 -t UTF-8 "$template/$f.txt" | head -c -2; done
  printf '%s' "$sep"; printf '%s' "$sep"; printf 'название=Курс\nзаставка=Строка\n'; } > "$out/course_document/template-utf8"
