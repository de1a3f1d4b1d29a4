#!/usr/bin/env python3
# The yardstick for vorsanit-results: a plain streaming parse of the same logs
# in Python (one pass, line by line), writing the records' rows and tallying
# grades per group and answers per question. Usage: results_yardstick.py OUT.csv LOG...
import collections, csv, sys
SEP = "=" * 57
out = csv.writer(open(sys.argv[1], "w", newline="", encoding="utf-8"))
grades, asked, right = collections.Counter(), collections.Counter(), collections.Counter()
for path in sys.argv[2:]:
    lines = []
    for line in open(path, encoding="cp1251", errors="replace", newline=""):
        line = line.rstrip("\r\n")
        if line == SEP: lines = []
        lines.append(line)
        if len(lines) != 16: continue
        value = [l.split(":", 1)[-1].strip() for l in lines]
        out.writerow(value[1:11] + [value[12]])
        grades[value[5], value[12]] += 1
        parts = lines[15].split()
        for question, option in zip(parts[::2], parts[1::2]):
            asked[value[7], question] += 1; right[value[7], question] += option.endswith("(+)")
print(len(grades), len(asked), sum(grades.values()))
