#!/usr/bin/env python3
"""The reference for search speed: a plain script that fetches the same 21 pages as the program (the first
page, then pages 1 to 20) and pulls out the same rows with the same two expressions.
Usage: python_reference.py BASE KEYWORD RUNS   prints one line per run: "<ms> <rows>" """
import re
import sys
import time
import urllib.parse
import urllib.request

NAME = re.compile(r'[\s\S]data-hash=.*?>(.*?)</h5>', re.I | re.M)
DETAIL = re.compile(r'[\s\S]*?prop_val">(.*?)</span>' * 3 + r'[\s\S]*?href="(.*?)">', re.I | re.M)
HIGHLIGHT = re.compile(r"<span class='highlight'>|</span>", re.I)


def fetch(url):
    with urllib.request.urlopen(url) as response:
        return response.read().decode("utf-8", "replace")


def search(base, keyword):
    address = base + "/search?keyword=" + "".join("%%%02X" % b for b in keyword.encode("utf-8"))
    first = fetch(address)
    pages = min(int(re.search(r"totalPages:(\d+),", first).group(1)), 20)
    rows = []
    for page in range(1, pages + 1):
        text = fetch(address + "&p=%d" % page)
        details = DETAIL.findall(text)
        for j, name in enumerate(NAME.findall(text)):
            date, size, files, link = details[j] if j < len(details) else ("", "", "", "")
            rows.append((len(rows) + 1, HIGHLIGHT.sub("", name), date, size, files,
                         link.replace(base + "/hash/", "magnet:?xt=urn:btih:")))
    return rows


def main():
    base, keyword, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    for _ in range(runs):
        start = time.perf_counter()
        rows = search(base, keyword)
        print("%.1f %d" % ((time.perf_counter() - start) * 1000, len(rows)), flush=True)


if __name__ == "__main__":
    main()
