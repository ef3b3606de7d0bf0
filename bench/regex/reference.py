#!/usr/bin/env python3
"""Reference timing for regex_bench: the search worker's two expressions in Python's re over a saved page,
every group of every match read. Usage: reference.py PAGE.html ITERATIONS
Prints the mean seconds per pass and the row count."""
import re
import sys
import time

with open(sys.argv[1], encoding="utf-8") as f:
    page = f.read()
iterations = int(sys.argv[2])
NAMES = re.compile(r"[\s\S]data-hash=.*?>(.*?)</h5>", re.I | re.M)
DETAILS = re.compile(r'[\s\S]*?prop_val">(.*?)</span>[\s\S]*?prop_val">(.*?)</span>[\s\S]*?prop_val">(.*?)</span>'
                     r'[\s\S]*?href="(.*?)">', re.I | re.M)


def one_pass():
    names = list(NAMES.finditer(page))
    details = list(DETAILS.finditer(page))
    cells = 0
    for j, name in enumerate(names):
        row = [name.group(1)] + [details[j].group(m) if j < len(details) else "" for m in range(1, 5)]
        cells += len(row)
    return len(names), cells


result = one_pass()
start = time.perf_counter()
for _ in range(iterations):
    result = one_pass()
print((time.perf_counter() - start) / iterations, result[0])
