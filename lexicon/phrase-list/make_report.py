#!/usr/bin/python3
"""Writes the phrase list's report: the checks over the shipped section files, a survey of
the common-word threshold, and the size of date.dat inside the release zip.

Usage: /usr/bin/python3 make_report.py SECTIONS ZIP OUTPUT

scripts/phrase-list-report.sh builds the zip and runs this into docs/phrase-list-report.md.
"""

from __future__ import annotations

import bisect
import os
import sys
import zipfile
from typing import List, Sequence

import check_phrases as c

SURVEYED_THRESHOLDS = (0, 200, 300, 400, 450, 500, 550, 600, 700, 800, 1000, 2000)
NEIGHBOURS = 20  # homophones listed on each side of the threshold


def threshold_survey(findings: c.Findings) -> List[str]:
    found = sorted(findings.homophones, key=lambda row: row[2].weight)
    weights = [word.weight for _, _, word in found]
    pinyin_keys = sum(1 for key in findings.keys if not c.is_romaji(key))
    lines = [
        f"Of the {pinyin_keys} pinyin keys, {len(found)} share their exact pinyin with another Chinese word.",
        "How many keys would have to start their Japanese at slot 4 at each threshold:",
        "",
        "| Weight of the other word at least | Keys moved |",
        "|---:|---:|",
    ]
    for threshold in SURVEYED_THRESHOLDS:
        moved = len(weights) - bisect.bisect_left(weights, threshold)
        mark = " (in use)" if threshold == c.COMMON_WORD_WEIGHT else ""
        lines.append(f"| {threshold}{mark} | {moved} |")
    split = bisect.bisect_left(weights, c.COMMON_WORD_WEIGHT)
    for title, rows in (
        (f"The {NEIGHBOURS} strongest other words below the threshold (these keys keep slot 2)", found[max(0, split - NEIGHBOURS) : split]),
        (f"The {NEIGHBOURS} weakest other words at or above it (these keys start at slot 4)", found[split : split + NEIGHBOURS]),
    ):
        lines += ["", title + ":", "", "| Key | Meaning | Other word | Weight |", "|---|---|---|---:|"]
        meanings = {key.name: key.meaning for key in findings.keys}
        lines += [f"| {k} | {meanings[k]} | {w.word} | {w.weight:g} |" for k, _, w in rows]
    return lines


def zip_lines(zip_path: str) -> List[str]:
    with zipfile.ZipFile(zip_path) as archive:
        info = next(i for i in archive.infolist() if i.filename.endswith("/date.dat"))
    return [
        f"`{info.filename}` in `{os.path.basename(zip_path)}`: {info.file_size:,} bytes"
        f" ({info.file_size / 1024:.0f} KiB), {info.compress_size:,} bytes compressed"
        f" ({info.compress_size / 1024:.0f} KiB); the whole zip is {os.path.getsize(zip_path):,} bytes.",
    ]


def report(sections: str, zip_path: str) -> List[str]:
    findings = c.check([sections])
    lines = [
        "# Phrase list report",
        "",
        "Made by `bash scripts/phrase-list-report.sh` from `lexicon/phrase-list/sections`; do not edit by hand.",
        "How the rules are checked and how the threshold was chosen: [phrase-list.md](phrase-list.md).",
        "",
        "## Counts",
        "",
    ]
    lines += c.summary(findings)
    if findings.problems:
        lines += ["", "## Violations", ""] + [f"- {p.describe()}" for p in findings.problems]
    lines += ["", "## date.dat in the release zip", ""] + zip_lines(zip_path)
    lines += ["", "## The common-word threshold", ""] + threshold_survey(findings)
    return lines


def main(argv: Sequence[str]) -> int:
    if len(argv) != 4:
        print("用法：make_report.py 分类源文件夹 发布用zip 报告文件", file=sys.stderr)
        return 2
    sections, zip_path, output = argv[1:]
    lines = report(sections, zip_path)
    text = "\n".join(lines) + "\n"
    with open(output, "w", encoding="utf-8") as written:
        written.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
