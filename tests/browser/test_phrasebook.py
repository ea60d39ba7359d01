"""The phrasebook page in a real browser (Debian's Chromium through chromedriver), offline.

Usage: test_phrasebook.py PAGE DATE_DAT
       test_phrasebook.py PAGE DATE_DAT --screenshot PNG

Loads the built page from its file with the browser's network switched off, at a
laptop's 1366×768 and at a phone's 390×844, and checks that it requests nothing from
the network, shows every entry of the built date.dat, carries the build's reading as
ruby over every phrase with kanji, filters and ranks as the user types a pinyin key, a
Chinese meaning, a Japanese word, a kana reading or romaji, lays each phrase out as a
card on the phone without anything cut off, copies, speaks and stars a phrase, and
marks its Japanese text as Japanese. A missing browser is a failure, not a skip. With
--screenshot PNG it saves pictures of the page at both widths with a search typed
instead (PNG at the laptop's width, PNG with -phone before .png at the phone's).
"""

import os
import pathlib
import re
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "lexicon", "phrase-list"))
import make_date_dat  # noqa: E402
import make_phrasebook  # noqa: E402
import phrase_readings  # noqa: E402
import phrase_sections  # noqa: E402

SECTIONS = os.path.join(HERE, "..", "..", "lexicon", "phrase-list", "sections")
LAPTOP = (1366, 768)
PHONE = (390, 844)

BACK_SPACE = "\ue003"  # WebDriver's code of the backspace key
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
PAGE = ""
DATE_DAT = ""

# Every row in page order as [keys, Japanese as written, the key's kana candidate, shown (the page
# hides only with the hidden attribute, and asking the layout would lay out every category),
# meaning, the reading spelled by the ruby's kana and the phrase's own kana, ruby count].
ROWS_SCRIPT = """
function text(node, ruby) {
  return Array.from(node.childNodes, function (child) {
    if (child.nodeType === 3) return child.nodeValue;
    if (child.nodeName === "RT") return "";
    if (child.nodeName === "RUBY") return ruby ? child.querySelector("rt").textContent : text(child, ruby);
    return text(child, ruby);
  }).join("");
}
return Array.from(document.querySelectorAll("main tbody tr"), function (row) {
  var japanese = row.cells[0].querySelector(".j"), kana = row.cells[2].querySelector(".kc span");
  return [Array.from(row.querySelectorAll("kbd"), function (k) { return k.textContent; }),
          text(japanese, false), kana ? kana.textContent : "", row.closest("[hidden]") === null,
          row.cells[1].textContent, text(japanese, true), japanese.querySelectorAll("ruby").length];
});
"""
LANGUAGES_SCRIPT = """
var row = document.querySelector("main tbody tr .kc").closest("tr");
function language(element) { return element.closest("[lang]").getAttribute("lang"); }
return [language(row.cells[0].querySelector(".j")), language(row.querySelector(".kc span")), language(row.cells[1]),
        document.querySelectorAll('main tbody th:not([lang="ja"]), main .kc span:not([lang="ja"])').length];
"""
# What does not fit a phone's width: elements wider than the viewport or reaching past it,
# and elements whose text is cut off (wider inside than their box).
OVERFLOW_SCRIPT = """
var width = document.documentElement.clientWidth, faults = [];
document.querySelectorAll("body *").forEach(function (element) {
  var box = element.getBoundingClientRect();
  if (box.width === 0 && box.height === 0) return;
  if (box.left < -0.5 || box.right > width + 0.5) faults.push("too wide: " + element.outerHTML.slice(0, 120));
  else if (getComputedStyle(element).display !== "inline" && element.scrollWidth > element.clientWidth + 1
           && element.clientWidth > 0) faults.push("clipped: " + element.outerHTML.slice(0, 120));
});
return [document.documentElement.scrollWidth, faults.slice(0, 5), faults.length];
"""
# A Japanese voice and a speech engine that records what it is asked to say.
VOICE_STAND_IN = """
window.spokenByTest = [];
var engine = {
  getVoices: function () { return [{ lang: "zh-CN", name: "Chinese" }, { lang: "ja-JP", name: "Japanese" }]; },
  speak: function (utterance) { window.spokenByTest.push([utterance.text, utterance.lang]); },
  cancel: function () {}, addEventListener: function () {}
};
Object.defineProperty(window, "speechSynthesis", { value: engine, configurable: true });
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
                     "--window-size=1366,768", "--lang=zh-CN"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_network_conditions(offline=True, latency=0, download_throughput=0, upload_throughput=0)
    return driver


def show_at(driver, size):
    """Emulates the screen (a headless window is never narrower than about 500 px) and loads the page."""
    width, height = size
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})
    driver.get(pathlib.Path(PAGE).resolve().as_uri())


class PhrasebookPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = start_browser()
        cls.voice = cls.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": VOICE_STAND_IN})
        cls.load(LAPTOP)
        with open(DATE_DAT, "rb") as file:
            cls.entries = make_date_dat.parse_date_dat(file.read())

    @classmethod
    def load(cls, size):
        show_at(cls.driver, size)
        cls.search = cls.driver.find_element("id", "q")

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

    def shown_rows(self):
        return [row for row in self.rows() if row[3]]

    def test_offline_page_shows_every_entry_of_date_dat(self):
        with open(PAGE, encoding="utf-8") as file:
            source = file.read()
        self.assertIsNone(re.search(r"https?://|<link\b|\bsrc=|url\(|@import", source))
        self.assertEqual(self.driver.execute_script("return performance.getEntriesByType('resource').length"), 0)
        self.assertEqual(self.driver.execute_script("return document.documentElement.lang"), "zh-CN")

        self.type("")
        rows = self.rows()
        self.assertTrue(all(row[3] for row in rows), "a row is hidden while the search box is empty")
        shown = {(key, text) for keys, phrase, reading, *_ in rows for key in keys for text in (phrase, reading) if text}
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

    def test_every_phrase_with_kanji_carries_the_reading_the_build_made(self):
        sections, problems = phrase_sections.read_sections([SECTIONS])
        categories = make_phrasebook.categories_of(sections, phrase_sections.group_keys(sections, problems))
        self.assertEqual(make_phrasebook.add_readings(categories, phrase_readings.ReadingMaker.from_file()), [])
        made = {(row.phrase, row.meaning): row.ruby.kana for c in categories for row in c.rows}
        self.type("")
        rows = self.rows()
        without_ruby = [row[1] for row in rows if row[6] == 0 and any(map(phrase_readings.needs_reading, row[1]))]
        self.assertEqual(without_ruby[:10], [], "phrases with kanji or digits but no ruby")
        wrong = [(row[1], row[5], made[(row[1], row[4])]) for row in rows if row[5] != made[(row[1], row[4])]]
        self.assertEqual(wrong[:10], [], "ruby and kana that do not spell the build's reading")
        romaji = self.driver.execute_script("return document.querySelectorAll('main tbody .rm').length")
        self.assertEqual(romaji, len(rows), "a phrase without romaji")

    def test_romaji_search_and_ranking(self):
        cases = [("gomi", "ゴミ"), ("juuminhyou", "住民票"), ("jūminhyō", "住民票"), ("konbini", "コンビニ"),
                 ("hanko", "はんこ"), ("mainanba", "マイナンバー")]
        for query, phrase in cases:
            with self.subTest(query=query):
                self.type(query)
                shown = self.shown_rows()
                self.assertTrue(shown, f"{query} finds nothing")
                self.assertTrue(any(phrase in row[1] or phrase in row[2] for row in shown[:3]),
                                f"{query} does not list {phrase} among the first: {[row[1] for row in shown[:3]]}")
        self.type("shouji")
        shown = self.shown_rows()
        exact = [row for row in shown if "shouji" in row[0]]
        self.assertTrue(exact and all(row[4] == "手机" for row in exact))
        self.assertEqual(shown[: len(exact)], exact, "手机's phrases are not listed first for shouji")
        status = self.driver.find_element("id", "status")
        self.type("lüse")
        self.type("lvse")
        self.assertNotIn("lüse", status.text)
        self.type("zzzzqq")
        self.assertIn("没有找到“zzzzqq”", status.text)
        self.assertEqual(self.driver.execute_script("return document.getElementById('toc-nav').hidden"), True)
        self.type("")

    def test_phone_shows_cards_without_cutting_anything_off(self):
        try:
            self.load(PHONE)
            for query in ("", "shouji"):
                with self.subTest(query=query):
                    self.type(query)
                    width, faults, count = self.driver.execute_script(OVERFLOW_SCRIPT)
                    self.assertLessEqual(width, PHONE[0], "the page scrolls sideways")
                    self.assertEqual(faults, [], f"{count} elements do not fit")
            box = self.driver.execute_script("return document.getElementById('q').getBoundingClientRect().bottom")
            self.assertLess(box, PHONE[1] / 2, "the search box is not near the top of the first screen")
            card = self.driver.execute_script(
                "var row = document.querySelector('#hits tr'); return [getComputedStyle(row).display,"
                " row.cells[0].getBoundingClientRect().width, row.getBoundingClientRect().width];")
            self.assertEqual(card[0], "block")
            self.assertGreater(card[1], card[2] * 0.8, "the Japanese does not take the card's width")
        finally:
            self.load(LAPTOP)

    def test_copy_speak_and_star(self):
        self.driver.execute_cdp_cmd(
            "Browser.grantPermissions", {"permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        self.type("juuminhyou")
        row = self.driver.find_element("css selector", "#hits tr")
        written = self.driver.execute_script(
            "var j = arguments[0].querySelector('.j').cloneNode(true);"
            " j.querySelectorAll('rt').forEach(function (rt) { rt.remove(); }); return j.textContent;", row)
        buttons = {b.get_attribute("class"): b for b in row.find_elements("css selector", "td.a button")}
        names = {key: b.get_attribute("aria-label") or b.text for key, b in buttons.items()}
        self.assertEqual(names, {"copy": "复制", "say": "朗读", "star": "收藏"})

        buttons["copy"].send_keys("\ue007")  # Enter on the focused button: reachable by keyboard
        self.assertIn("已复制", buttons["copy"].text)
        self.assertEqual(self.driver.execute_async_script(
            "var done = arguments[0]; navigator.clipboard.readText().then(done, function (e) { done(String(e)); });"),
            written)

        self.assertTrue(buttons["say"].is_displayed(), "no speak button although a Japanese voice is present")
        buttons["say"].send_keys(" ")
        self.assertEqual(self.driver.execute_script("return window.spokenByTest"), [[written, "ja-JP"]])
        self.assertFalse(self.driver.find_element("id", "voice").is_displayed())

        buttons["star"].send_keys(" ")
        self.assertEqual(buttons["star"].get_attribute("aria-pressed"), "true")
        # Without a Japanese voice, after a reload: the star is kept, the 收藏 filter shows it,
        # and one line says how to add a voice where the speak buttons were.
        self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", self.voice)
        try:
            self.load(LAPTOP)
            starred = self.driver.find_element("id", "starred")
            self.assertIn("1", starred.text)
            starred.click()
            self.assertEqual([row[1] for row in self.shown_rows()], [written])
            self.driver.execute_async_script("setTimeout(arguments[0], 1700)")
            voice = self.driver.find_element("id", "voice")
            self.assertTrue(voice.is_displayed() and "Windows" in voice.text, "no line on how to add a Japanese voice")
            self.assertEqual(self.driver.execute_script(
                "return getComputedStyle(document.querySelector('button.say')).display"), "none")
            self.driver.execute_script("localStorage.clear()")
        finally:
            self.voice = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": VOICE_STAND_IN})
            self.load(LAPTOP)

    def test_japanese_is_marked_as_japanese(self):
        phrase, reading, meaning, unmarked = self.driver.execute_script(LANGUAGES_SCRIPT)
        self.assertEqual((phrase, reading, meaning, unmarked), ("ja", "ja", "zh-CN", 0))


def screenshot(path):
    driver = start_browser()
    try:
        # The stand-in voice shows the page as on a PC with a Japanese voice (speak buttons shown).
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": VOICE_STAND_IN})
        for size, name in ((LAPTOP, path), (PHONE, path[: -len(".png")] + "-phone.png")):
            show_at(driver, size)
            driver.find_element("id", "q").send_keys("juuminhyou")
            driver.execute_async_script("setTimeout(arguments[0], 300)")
            driver.save_screenshot(name)
            print(name)
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
        sys.exit(0)
    sys.exit(0 if unittest.main(argv=sys.argv[:1], verbosity=2, exit=False).result.wasSuccessful() else 1)
