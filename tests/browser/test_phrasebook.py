"""The phrasebook page in a real browser (Debian's Chromium through chromedriver), offline.

Usage: test_phrasebook.py PAGE DATE_DAT
       test_phrasebook.py PAGE DATE_DAT --screenshot PNG

Loads the built page from its file with the browser's network switched off and checks
that it requests nothing from the network, shows every entry of the built date.dat,
filters as the user types a pinyin key, a Chinese meaning, a Japanese word or a kana
reading, shows everything again when the box is emptied, and marks its Japanese text
as Japanese. A missing browser is a failure, not a skip. With --screenshot it saves
a picture of the page with a search typed instead.
"""

import os
import pathlib
import re
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "lexicon", "phrase-list"))
import make_date_dat  # noqa: E402

BACK_SPACE = "\ue003"  # WebDriver's code of the backspace key
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
PAGE = ""
DATE_DAT = ""

# Every row as [keys, Japanese, reading, visible], and where each row's text takes its language from.
ROWS_SCRIPT = """
return Array.from(document.querySelectorAll("main tbody tr"), function (row) {
  return [Array.from(row.querySelectorAll("kbd"), function (k) { return k.textContent; }),
          row.cells[1].textContent, row.cells[2].textContent, row.getClientRects().length > 0];
});
"""
LANGUAGES_SCRIPT = """
var row = document.querySelector("main tbody tr");
function language(element) { return element.closest("[lang]").getAttribute("lang"); }
return [language(row.cells[1]), language(row.cells[2]), language(row.cells[3]),
        document.querySelectorAll('main tbody th:not([lang="ja"]), main td.r:not([lang="ja"])').length];
"""


def start_browser():
    """Headless Chromium with the network switched off; raises with a Chinese message when it is missing."""
    missing = [path for path in (CHROMIUM, CHROMEDRIVER) if not os.path.exists(path)]
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        missing.append("python3-selenium")
    if missing:
        raise RuntimeError(f"缺少浏览器测试所需的 {', '.join(missing)}：请运行 scripts/install-deps.sh")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1100,1000", "--lang=zh-CN"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_network_conditions(offline=True, latency=0, download_throughput=0, upload_throughput=0)
    return driver


class PhrasebookPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = start_browser()
        cls.driver.get(pathlib.Path(PAGE).resolve().as_uri())
        cls.search = cls.driver.find_element("id", "q")
        with open(DATE_DAT, "rb") as file:
            cls.entries = make_date_dat.parse_date_dat(file.read())

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def rows(self):
        return self.driver.execute_script(ROWS_SCRIPT)

    def type(self, text):
        self.search.clear()
        if text:
            self.search.send_keys(text)
        else:  # clear() sends no input event; an emptied box is typed as a deletion
            self.search.send_keys("x" + BACK_SPACE)

    def visible(self, rows, key, phrase):
        found = [row[3] for row in rows if key in row[0] and phrase in (row[1], row[2])]
        self.assertTrue(found, f"no row offers {phrase} for {key}")
        return any(found)

    def test_offline_page_shows_every_entry_of_date_dat(self):
        with open(PAGE, encoding="utf-8") as file:
            source = file.read()
        self.assertIsNone(re.search(r"https?://|<link\b|\bsrc=|url\(|@import", source))
        self.assertEqual(self.driver.execute_script("return performance.getEntriesByType('resource').length"), 0)
        self.assertEqual(self.driver.execute_script("return document.documentElement.lang"), "zh-CN")

        self.type("")
        rows = self.rows()
        self.assertTrue(all(row[3] for row in rows), "a row is hidden while the search box is empty")
        shown = {(key, text) for keys, phrase, reading, _ in rows for key in keys for text in (phrase, reading) if text}
        listed = {(entry.key, entry.phrase) for entry in self.entries}
        self.assertEqual(sorted(listed - shown)[:10], [], "entries of date.dat missing from the page")
        self.assertEqual(sorted(shown - listed)[:10], [], "the page offers what date.dat does not")
        self.assertEqual(len(shown), len(self.entries))

    def test_search_by_key_meaning_japanese_and_reading(self):
        cases = [
            ("pinyin key", "xiexie", ("xiexie", "ありがとうございます"), ("zaoshanghao", "おはようございます")),
            ("Chinese meaning", "早上好", ("zaoshanghao", "おはようございます"), ("xiexie", "ありがとうございます")),
            ("Japanese", "ありがとう", ("xiexie", "ありがとうございます"), ("nihao", "こんにちは")),
            ("kana reading", "しつもん", ("tiwen", "質問"), ("nihao", "こんにちは")),
            ("katakana for hiragana", "アリガトウ", ("xiexie", "ありがとうございます"), ("nihao", "こんにちは")),
        ]
        status = self.driver.find_element("id", "status")
        self.assertEqual(status.get_attribute("aria-live"), "polite")
        for what, query, kept, hidden in cases:
            with self.subTest(what, query=query):
                self.type(query)
                rows = self.rows()
                self.assertTrue(self.visible(rows, *kept), f"{kept} is hidden after typing {query}")
                self.assertFalse(self.visible(rows, *hidden), f"{hidden} is still shown after typing {query}")
                self.assertIn(f"找到 {sum(row[3] for row in rows):,} 条", status.text)
        self.type("")
        self.assertTrue(all(row[3] for row in self.rows()), "emptying the search box does not show everything")

    def test_japanese_is_marked_as_japanese(self):
        phrase, reading, meaning, unmarked = self.driver.execute_script(LANGUAGES_SCRIPT)
        self.assertEqual((phrase, reading, meaning, unmarked), ("ja", "ja", "zh-CN", 0))


def screenshot(path):
    driver = start_browser()
    try:
        driver.get(pathlib.Path(PAGE).resolve().as_uri())
        driver.find_element("id", "q").send_keys("piao")
        driver.save_screenshot(path)
    finally:
        driver.quit()


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if len(arguments) not in (2, 4) or (len(arguments) == 4 and arguments[2] != "--screenshot"):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        sys.exit(2)
    PAGE, DATE_DAT = arguments[:2]
    if len(arguments) == 4:
        screenshot(arguments[3])
        print(arguments[3])
        sys.exit(0)
    sys.exit(0 if unittest.main(argv=sys.argv[:1], verbosity=2, exit=False).result.wasSuccessful() else 1)
