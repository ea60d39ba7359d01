#!/usr/bin/env bash
# Remakes docs/phrase-list-report.md: the checks over the phrase list's section files
# (entries, keys, counts per category, keys whose Japanese starts late because a
# common Chinese word shares their pinyin, accepted exceptions), a survey of the
# common-word threshold, and the size of date.dat inside the release zip, which is
# built first with scripts/package.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

zip_path="$(bash scripts/package.sh | tail -n 1)"
# The report is written even when the list has violations; they are listed in it.
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 lexicon/phrase-list/make_report.py \
  lexicon/phrase-list/sections "$zip_path" docs/phrase-list-report.md
echo docs/phrase-list-report.md
