#!/usr/bin/env bash
# Remakes docs/screenshots/phrasebook.png and phrasebook-phone.png: the built phrasebook page
# 短语一览.html in Debian's Chromium (headless, offline) at a laptop's 1366×768 and at a
# phone's 390×844, with a search typed into its box. The browser, MeCab and the CJK fonts
# come from scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target date_dat phrasebook >/dev/null
/usr/bin/python3 -B tests/browser/test_phrasebook.py build/native/bin/短语一览.html build/native/bin/date.dat \
  --screenshot docs/screenshots/phrasebook.png
