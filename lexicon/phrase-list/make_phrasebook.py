"""Writes the phrasebook page 短语一览.html from the phrase list's section files.

The page lets a learner browse the whole list by category, search it as they
type (by pinyin key, Chinese meaning, Japanese, kana or romaji), copy a phrase,
hear it, keep it among their starred phrases, and print the list. It is one
self-contained file: its style and script are inline and it names no network
address, so it works offline from the unpacked zip.

Each row is one Japanese candidate with its full reading as ruby over the kanji
(made by phrase_readings.py with MeCab and the corrections table), its romaji,
its Chinese meaning, the keys that offer it and its register. Keys that offer the
same phrase with the same meaning share a row; a 读 candidate that spells a
phrase of its key stands in that phrase's row, and the build fails when it is not
the reading the page shows.

Usage: make_phrasebook.py SECTIONS OUTPUT
"""

from __future__ import annotations

import html
import os
import re
import sys
import unicodedata
from dataclasses import dataclass, field
from typing import Dict, List, Sequence, Tuple

import make_date_dat
import phrase_readings as pr
import phrase_sections as ps
from language_data import LanguageDataError

READING = "读"
REGISTER_LABELS = {"敬": "礼貌", "常": "平常", "俗": "俗语", READING: "读音"}
KANJI = re.compile(r"[\u3005\u3006\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff]")


@dataclass
class Row:
    phrase: str
    reading: str  # the key's 读 candidate that spells the phrase, "" when there is none
    meaning: str
    register: str
    keys: List[str] = field(default_factory=list)
    entry: ps.Entry | None = None  # where the phrase stands in the source
    reading_entry: ps.Entry | None = None
    ruby: pr.Reading | None = None


@dataclass
class Category:
    number: int
    heading: str
    rows: List[Row]


def _is_kana(c: str) -> bool:
    return "\u3041" <= c <= "\u309f" or "\u30a0" <= c <= "\u30ff"


def _letters(text: str) -> str:
    """The text without punctuation, symbols and spaces (？ and 、 do not take part in a reading)."""
    return "".join(c for c in text if unicodedata.category(c)[0] not in "PSZ")


def _reading_fit(phrase: str, reading: str) -> Tuple[int, int] | None:
    """How well a kana reading spells a kanji phrase, higher is better; None when it cannot.

    The reading must be the phrase with every run of kanji (or digits) replaced by some
    kana: 久しぶり fits ひさしぶり, お久しぶりです does not. More kana in common fit
    better, then a kanji part read with about two kana a kanji (最高 is さいこう, 神 is かみ)."""
    letters, spelled = _letters(phrase), _letters(reading)
    pattern = ""
    for run in re.findall(r"[\u3041-\u30ff]+|[^\u3041-\u30ff]+", letters):
        pattern += re.escape(run) if _is_kana(run[0]) else ".+"
    if re.fullmatch(pattern, spelled) is None:
        return None
    kana = sum(1 for c in letters if _is_kana(c))
    return kana, -abs((len(spelled) - kana) - 2 * (len(letters) - kana))


def _key_rows(key: ps.Key) -> List[List]:
    """[phrase, reading, register, entry, reading entry] of one key's candidates."""
    rows: List[List] = []
    readings_left = sum(1 for entry in key.entries if entry.register == READING)
    for entry in key.entries:
        if entry.register != READING:
            rows.append([entry.phrase, "", entry.register, entry, None])
            continue
        open_rows = [row for row in rows if row[1] == "" and row[2] != READING and KANJI.search(row[0])]
        fits = [(_reading_fit(row[0], entry.phrase), row) for row in open_rows]
        fitting = [(fit, row) for fit, row in fits if fit is not None]
        if fitting:
            best = max(fit for fit, _ in fitting)
            equal = [row for fit, row in fitting if fit == best]
            row = equal[0] if readings_left >= len(equal) else equal[-1]
            row[1], row[4] = entry.phrase, entry
        else:
            # A reading of a word inside the phrases (じゅうみんひょう beside 住民票の写しを1通ください),
            # or of the meaning itself written in Japanese (にほん for 日本), stands in a row of its own.
            rows.append([entry.phrase, "", READING, entry, None])
        readings_left -= 1
    return rows


def key_rows(key: ps.Key) -> List[Tuple[str, str, str]]:
    """(phrase, reading, register) of one key's candidates, each 读 candidate beside its kanji word.

    A reading belongs to an earlier candidate with kanji that it spells, the best fit
    first. Between equal fits the readings pair in order when there are enough readings
    for them all; otherwise the later candidate, usually the bare word after a sentence
    (自己紹介 after 自己紹介をさせてください), gets it. A reading that spells no candidate
    stands alone."""
    return [(phrase, reading, register) for phrase, reading, register, _, _ in _key_rows(key)]


def categories_of(sections: Sequence[ps.Section], keys: Sequence[ps.Key]) -> List[Category]:
    by_section: Dict[int, List[ps.Key]] = {}
    for key in keys:
        by_section.setdefault(id(key.section), []).append(key)
    categories = []
    for section in sections:
        rows: Dict[Tuple[str, str, str, str], Row] = {}
        for key in by_section.get(id(section), []):
            for phrase, reading, register, entry, reading_entry in _key_rows(key):
                row = rows.setdefault(
                    (phrase, reading, key.meaning, register),
                    Row(phrase, reading, key.meaning, register, entry=entry, reading_entry=reading_entry),
                )
                if key.name not in row.keys:
                    row.keys.append(key.name)
        categories.append(Category(section.number, section.heading, list(rows.values())))
    return categories



def add_readings(categories: Sequence[Category], maker: pr.ReadingMaker) -> List[ps.Problem]:
    """Gives every row its reading and romaji. The problems name the source line, the phrase and
    what is wrong: a reading that drops the phrase's kana or leaves a kanji unread, or one that is
    not the list's own 读 line for the same phrase."""
    problems: List[ps.Problem] = []
    done: Dict[Tuple[str, str], pr.Reading | str] = {}
    for category in categories:
        for row in category.rows:
            entry = row.entry
            made = done.get((row.phrase, row.meaning))
            if made is None:
                try:
                    made = maker.read(row.phrase, row.meaning, reading_line=row.register == READING)
                except pr.ReadingError as error:
                    made = str(error)
                done[(row.phrase, row.meaning)] = made
                if isinstance(made, str) and entry is not None:
                    problems.append(ps.Problem(entry.path, entry.line, f"短语一览：“{row.phrase}”的读音：{made}"))
            if isinstance(made, str):
                continue
            row.ruby = made
            if row.reading and row.reading_entry is not None:
                spelled = pr.to_hiragana(_letters(made.kana))
                if spelled != pr.to_hiragana(_letters(row.reading)):
                    problems.append(ps.Problem(
                        row.reading_entry.path, row.reading_entry.line,
                        f"短语一览：“{row.phrase}”读作“{made.kana}”，和本行的读音“{row.reading}”不一致："
                        f"读音行错了就改它，否则在 {os.path.basename(pr.CORRECTIONS_FILE)} 里加一行"
                        f"“{row.phrase}|{row.reading}”（或只更正读错的那个词）",
                    ))
        problems += _word_disagreements(category)
    return problems


def span_reading(reading: pr.Reading, start: int, end: int) -> str | None:
    """The reading of phrase[start:end], or None when the span cuts a kanji word with ruby."""
    spelled, position = "", 0
    for segment in reading.segments:
        first, last = position, position + len(segment.text)
        position = last
        if last <= start or first >= end:
            continue
        if first >= start and last <= end:
            spelled += segment.ruby or segment.text
        elif segment.ruby:
            return None
        else:
            spelled += segment.text[max(start, first) - first : min(end, last) - first]
    return spelled


def _word_disagreements(category: Category) -> List[ps.Problem]:
    """A 读 line that stands alone reads the key's meaning written in Japanese (じゅうみんひょう for
    住民票); where that word stands whole in a phrase of the same key, its ruby must read the same."""
    problems: List[ps.Problem] = []
    for line in category.rows:
        if line.register != READING or line.entry is None or KANJI.search(line.phrase):
            continue
        word = line.meaning
        for row in category.rows:
            if row.ruby is None or row.meaning != word or not set(row.keys) & set(line.keys):
                continue
            start = row.phrase.find(word)
            spelled = span_reading(row.ruby, start, start + len(word)) if start >= 0 else None
            if spelled is not None and pr.to_hiragana(spelled) != pr.to_hiragana(line.phrase):
                problems.append(ps.Problem(
                    line.entry.path, line.entry.line,
                    f"短语一览：“{row.phrase}”里的“{word}”读作“{spelled}”，和本行的读音“{line.phrase}”不一致："
                    f"读音行错了就改它，否则在 {os.path.basename(pr.CORRECTIONS_FILE)} 里加一行“{word}|{line.phrase}”",
                ))
    return problems


STYLE = """
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; text-size-adjust: 100%; }
body { margin: 0; color: #1b1f24; background: #fff; line-height: 1.5;
  font-family: "Microsoft YaHei UI", "Microsoft YaHei", "PingFang SC", "Hiragino Sans GB",
    "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "SimHei", sans-serif; }
:lang(ja) { font-family: "Yu Gothic UI", "Yu Gothic", YuGothic, "Meiryo UI", Meiryo, "MS PGothic",
  "Hiragino Sans", "Hiragino Kaku Gothic ProN", "Noto Sans CJK JP", "Source Han Sans JP",
  "IPAexGothic", "IPAGothic", sans-serif; }
kbd, .rm { font-family: Consolas, Menlo, "DejaVu Sans Mono", monospace; }
kbd { font-size: .95em; display: inline-block; white-space: nowrap; max-width: 100%;
  overflow-wrap: anywhere; margin-right: .5em; }
.page { max-width: 64rem; margin: 0 auto; padding: 0 1rem 3rem; }
h1 { font-size: 1.6rem; margin: 1rem 0 .3rem; }
.intro { margin: .4rem 0; }
.intro summary { cursor: pointer; color: #1f5fa8; }
.intro p, .intro li { margin: .3rem 0; }
.intro ul { padding-left: 1.3rem; margin: .3rem 0; }
.search { position: sticky; top: 0; z-index: 1; background: #fff; padding: .5rem 0 .4rem;
  border-bottom: 1px solid #d8dde3; }
.search label { font-weight: bold; margin-right: .5rem; }
.search input { font: inherit; font-size: 1.05rem; padding: .35rem .5rem; width: 30rem; max-width: 100%;
  border: 1px solid #8a949e; border-radius: 4px; }
.tools { margin: .35rem 0 0; display: flex; flex-wrap: wrap; align-items: center; gap: .3rem .8rem; }
#status { margin: 0; color: #5b6570; flex: 1 1 18rem; }
#voice { margin: .2rem 0 0; color: #5b6570; font-size: .9rem; }
button { font: inherit; font-size: .9rem; padding: .15rem .55rem; border: 1px solid #8a949e;
  border-radius: 4px; background: #f6f8fa; color: #1b1f24; cursor: pointer; }
button:hover { background: #e8edf2; }
button:focus, input:focus, a:focus, summary:focus { outline: 2px solid #1f5fa8; outline-offset: 1px; }
button[aria-pressed="true"] { background: #fff4d6; border-color: #b07d00; }
nav ol { columns: 14rem; padding-left: 1.6rem; margin: .3rem 0; }
nav a { color: #1f5fa8; }
.n { color: #5b6570; font-size: .9em; }
section { scroll-margin-top: 7rem; content-visibility: auto; contain-intrinsic-size: auto 40rem; }
#hits-section { content-visibility: visible; }
h2 { font-size: 1.25rem; margin: 1.4rem 0 .4rem; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
.w1 { width: 38%; } .w2 { width: 22%; } .w3 { width: 19%; } .w4 { width: 7%; } .w5 { width: 14%; }
tr.cat { display: none; }
th, td { text-align: left; vertical-align: top; padding: .3rem .5rem; border-bottom: 1px solid #d8dde3;
  overflow-wrap: break-word; }
thead th { background: #f1f4f7; font-size: .9rem; white-space: nowrap; }
tbody th { font-weight: normal; }
.j { display: block; font-size: 1.15rem; line-height: 2; }
ruby { ruby-align: center; }
rt { font-size: .55em; color: #3d4650; }
.rm { display: block; font-size: .8rem; color: #5b6570; line-height: 1.3; }
.kc { display: block; font-size: .85rem; color: #5b6570; }
td.g { white-space: nowrap; font-size: .9rem; color: #5b6570; }
td.a button { margin: 0 .25rem .25rem 0; }
.say { display: none; }
.can-speak .say { display: inline-block; }
#toast { position: fixed; left: 50%; bottom: 1.2rem; transform: translateX(-50%); margin: 0;
  background: #1b1f24; color: #fff; padding: .35rem .9rem; border-radius: 4px; }
#toast:empty { display: none; }
[hidden] { display: none !important; }
@media (max-width: 600px) {
  .page { padding: 0 .6rem 2rem; }
  h1 { font-size: 1.2rem; margin: .5rem 0 .2rem; }
  .search label { display: none; }
  .search input { width: 100%; }
  nav ol { columns: auto; }
  table, tbody, tr, th, td { display: block; width: auto; }
  thead, colgroup { display: none; }
  tbody tr { border: 1px solid #d8dde3; border-radius: 6px; padding: .4rem .6rem .2rem; margin: 0 0 .6rem; }
  tbody th, tbody td { border: 0; padding: .1rem 0; }
  .j { font-size: 1.35rem; }
  td.k, td.g { display: inline-block; vertical-align: baseline; margin-right: .6rem; }
  td.a { padding-top: .3rem; }
  td.a button { min-height: 2.4rem; min-width: 3rem; }
}
@media print {
  @page { size: A4; margin: 12mm 10mm; }
  .search, nav, .intro, .screen-only, td.a, th.a, #toast, #voice { display: none !important; }
  body { font-size: 9pt; }
  section, #hits-section { content-visibility: visible; }
  section > h2 { display: none; }
  .page { max-width: none; padding: 0; }
  h1 { font-size: 14pt; margin: 0 0 4pt; }
  thead { display: table-header-group; }
  tr.cat { display: table-row; }
  tr.cat th { font-size: 12pt; font-weight: bold; padding: 6pt 4pt 3pt; border-bottom: 1pt solid #000; }
  .w1 { width: 47%; } .w2 { width: 27%; } .w3 { width: 19%; } .w4 { width: 7%; } .w5 { width: 0; }
  .rm { display: none; }
  tr { break-inside: avoid; page-break-inside: avoid; }
  thead th { background: none; border-bottom: 1pt solid #000; }
  th, td { padding: 2pt 4pt; border-bottom: .5pt solid #999; }
  .j { font-size: 11pt; line-height: 1.9; }
  .rm { font-size: 7.5pt; }
}
"""

# The page's behaviour. It keeps to what the Internet Explorer of Windows 7 runs (no arrow
# functions, no Element.closest, no Promise without a check): there the page still searches,
# copies and stars; speech needs a browser with speech synthesis and a Japanese voice.
SCRIPT = """
(function () {
  "use strict";
  var doc = document, root = doc.documentElement;
  var STAR_STORE = "kanaroute-phrasebook-stars";
  var LONG = { "\\u0101": "aa", "\\u012b": "ii", "\\u016b": "uu", "\\u0113": "ee", "\\u014d": "ou" };
  var DOUBLE_O = { "\\u0101": "aa", "\\u012b": "ii", "\\u016b": "uu", "\\u0113": "ee", "\\u014d": "oo" };
  var SHORT = { "\\u0101": "a", "\\u012b": "i", "\\u016b": "u", "\\u0113": "e", "\\u014d": "o" };
  var MACRONS = /[\\u0101\\u012b\\u016b\\u0113\\u014d]/g;
  function fold(text) {
    // Internet Explorer has no normalize(); it still filters, only without folding full-width letters.
    return (text.normalize ? text.normalize("NFKC") : text).toLowerCase().replace(/\\u00fc/g, "v")
      .replace(/[\\u30a1-\\u30f6]/g, function (c) { return String.fromCharCode(c.charCodeAt(0) - 0x60); });
  }
  // Romaji is found as shown (with macrons) and as typed: juuminhyou, juuminhyoo, juminhyo.
  function romajiForms(romaji) {
    var plain = romaji.replace(/'/g, "");
    function spell(table) { return plain.replace(MACRONS, function (c) { return table[c]; }); }
    var forms = [plain, spell(LONG), spell(DOUBLE_O), spell(SHORT)].join("\\n");
    // Also without the spaces between words, for words MeCab cut in two (han ko for はんこ).
    return forms + "\\n" + forms.replace(/ /g, "");
  }
  function each(list, action) { for (var i = 0; i < list.length; i++) action(list[i], i); }
  function spoken(node) {
    // The reading: each ruby's kana in place of its kanji, the phrase's own kana as written.
    var text = "";
    each(node.childNodes, function (child) {
      if (child.nodeType === 3) text += child.nodeValue;
      else if (child.nodeName === "RUBY") text += child.getElementsByTagName("rt")[0].textContent;
      else text += spoken(child);
    });
    return text;
  }
  function written(node) {
    var text = "";
    each(node.childNodes, function (child) {
      if (child.nodeType === 3) text += child.nodeValue;
      else if (child.nodeName !== "RT") text += written(child);
    });
    return text;
  }

  var input = doc.getElementById("q");
  var status = doc.getElementById("status");
  var toast = doc.getElementById("toast");
  var starButton = doc.getElementById("starred");
  var starCount = doc.getElementById("nstar");
  var nav = doc.getElementById("toc-nav");
  var intro = doc.getElementById("intro");
  var hitsSection = doc.getElementById("hits-section");
  var hits = doc.getElementById("hits");
  var rows = [];
  var sections = [];
  each(doc.querySelectorAll("main section.c"), function (element) {
    var tbody = element.getElementsByTagName("tbody")[0];
    var link = doc.querySelector('nav a[href="#' + element.id + '"]').parentNode;
    var section = { element: element, tbody: tbody, link: link, count: link.querySelector(".n"), rows: [] };
    each(tbody.rows, function (tr) {
      var row = { tr: tr, index: rows.length, section: section, next: null, all: null };
      if (section.rows.length) section.rows[section.rows.length - 1].next = tr;
      tr.phraseRow = rows.length;
      section.rows.push(row);
      rows.push(row);
    });
    sections.push(section);
  });
  var total = rows.length;

  function index(row) {
    if (row.all !== null) return row;
    var cells = row.tr.cells, japanese = cells[0].firstChild;
    var romaji = cells[0].querySelector(".rm");
    var kana = cells[2].querySelector(".kc span");
    row.phrase = written(japanese);
    row.reading = spoken(japanese);
    row.id = row.phrase + "\\t" + cells[1].textContent;
    row.keys = [];
    each(cells[2].getElementsByTagName("kbd"), function (k) { row.keys.push(k.textContent); });
    row.meaning = fold(cells[1].textContent);
    row.japanese = fold(row.phrase + "\\n" + row.reading + "\\n" + (kana ? kana.textContent : "") + "\\n" +
      (romaji ? romajiForms(fold(romaji.textContent)) : ""));
    row.all = row.keys.join("\\n") + "\\n" + row.meaning + "\\n" + row.japanese;
    return row;
  }

  // Stars live in the browser's storage, by phrase and meaning, so they survive a new page.
  var stars = {};
  var storage = null;
  try {
    storage = window.localStorage;
    var saved = JSON.parse(storage.getItem(STAR_STORE) || "[]");
    each(saved, function (id) { stars[id] = true; });
  } catch (e) { storage = storage || null; }
  function starTotal() { var n = 0; for (var id in stars) if (stars.hasOwnProperty(id)) n++; return n; }
  function saveStars() {
    var list = [];
    for (var id in stars) if (stars.hasOwnProperty(id)) list.push(id);
    try { if (storage) storage.setItem(STAR_STORE, JSON.stringify(list)); } catch (e) { }
    starCount.textContent = list.length;
  }
  starCount.textContent = starTotal();

  // Each phrase's buttons are added in batches after the first paint.
  var template = doc.createElement("td");
  template.className = "a";
  template.innerHTML = '<button type="button" class="copy" title="复制日语">复制</button>' +
    '<button type="button" class="say" title="朗读日语">朗读</button>' +
    '<button type="button" class="star" aria-pressed="false" aria-label="收藏" title="收藏">☆</button>';
  function showStar(button, on) {
    button.setAttribute("aria-pressed", on ? "true" : "false");
    button.textContent = on ? "★" : "☆";
  }
  each(doc.querySelectorAll("thead tr:not(.cat)"), function (tr) {
    var th = doc.createElement("th");
    th.scope = "col";
    th.className = "a";
    th.textContent = "操作";
    tr.appendChild(th);
  });
  var built = 0;
  function addButtons() {
    var end = Math.min(built + 400, rows.length);
    for (; built < end; built++) {
      var row = index(rows[built]);
      var cell = template.cloneNode(true);
      if (stars[row.id]) showStar(cell.lastChild, true);
      row.tr.appendChild(cell);
    }
    if (built < rows.length) setTimeout(addButtons, 0);
  }
  setTimeout(addButtons, 0);

  var starredOnly = false;
  var last = null;
  var moved = [];
  function rank(row, words, joined) {
    for (var i = 0; i < words.length; i++) if (row.all.indexOf(words[i]) === -1) return -1;
    var best = 4;
    each(row.keys, function (key) {
      if (key === joined) best = 0;
      else if (best > 1 && key.indexOf(joined) === 0) best = 1;
    });
    if (best < 2) return best;
    function all(text) {
      for (var i = 0; i < words.length; i++) if (text.indexOf(words[i]) === -1) return false;
      return true;
    }
    if (all(row.meaning)) return 2;
    if (all(row.japanese)) return 3;
    return 4;
  }
  function bringHome() {
    // Back to their categories in the order they came from (the next row is home already).
    moved.sort(function (a, b) { return b.index - a.index; });
    each(moved, function (row) { row.section.tbody.insertBefore(row.tr, row.next); });
    moved = [];
  }
  function filter() {
    var query = input.value.replace(/^\\s+|\\s+$/g, "");
    var words = fold(query).split(/\\s+/).filter(function (word) { return word !== ""; });
    var key = words.join(" ") + (starredOnly ? "★" : "");
    if (key !== last) {
      last = key;
      search(words);
    }
    describe(query, words);
  }
  var shown = 0;
  function search(words) {
    bringHome();
    shown = 0;
    intro.hidden = words.length > 0 || starredOnly;
    if (words.length === 0) {
      hitsSection.hidden = true;
      each(sections, function (s) {
        var count = 0;
        each(s.rows, function (row) {
          var keep = !starredOnly || stars[index(row).id] === true;
          if (row.tr.hidden === keep) row.tr.hidden = !keep;
          if (keep) count++;
        });
        s.element.hidden = count === 0;
        s.link.hidden = count === 0;
        s.count.textContent = count + " 条";
        shown += count;
      });
      nav.hidden = shown === 0;
      return;
    }
    var joined = words.join("");
    var found = [];
    each(rows, function (row) {
      index(row);
      var r = starredOnly && !stars[row.id] ? -1 : rank(row, words, joined);
      if (r >= 0) found.push([r, row.index, row]);
    });
    found.sort(function (a, b) { return a[0] - b[0] || a[1] - b[1]; });
    each(sections, function (s) { s.element.hidden = true; });
    nav.hidden = true;
    pending = found;
    shown = found.length;
    showMore(FIRST_HITS);
    hitsSection.hidden = shown === 0;
  }
  // The best matches come first; a long list is shown a part at a time, so that a query of one
  // or two letters does not lay out thousands of rows on every key.
  var FIRST_HITS = 100, MORE_HITS = 300;
  var pending = [];
  var more = doc.getElementById("more");
  function showMore(count) {
    each(pending.splice(0, count), function (item) {
      var row = item[2];
      row.tr.hidden = false;
      hits.appendChild(row.tr);
      moved.push(row);
    });
    more.hidden = pending.length === 0;
    more.textContent = "再显示 " + number(Math.min(pending.length, MORE_HITS)) + " 条（还有 " + number(pending.length) + " 条）";
  }
  more.addEventListener("click", function () { showMore(MORE_HITS); });
  function number(n) { return n.toLocaleString ? n.toLocaleString("zh-CN") : String(n); }
  function describe(query, words) {
    var text;
    if (words.length === 0 && !starredOnly) text = "共 " + number(total) + " 条短语。";
    else if (shown === 0 && words.length === 0) text = "还没有收藏短语：点短语旁的 ☆ 就能收藏。";
    else if (words.length === 0) text = "已收藏 " + number(shown) + " 条短语。";
    else if (shown === 0) text = "没有找到“" + query + "”" + (starredOnly ? "（只在收藏里找）" : "") + "。可以少输几个字，或换成拼音、中文、日语、假名或罗马字再试。";
    else text = "找到 " + number(shown) + " 条短语（" + (starredOnly ? "在收藏里，" : "") + "共 " + number(total) + " 条）" +
      (shown > FIRST_HITS ? "，最相关的在前" : "") + "。";
    if (status.textContent !== text) status.textContent = text;
  }
  input.addEventListener("input", function (event) { if (!event.isComposing) filter(); });
  input.addEventListener("compositionend", filter);
  starButton.addEventListener("click", function () {
    starredOnly = !starredOnly;
    starButton.setAttribute("aria-pressed", starredOnly ? "true" : "false");
    filter();
  });

  var toastTimer = null;
  function say(text) {
    toast.textContent = text;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(function () { toast.textContent = ""; }, 2000);
  }
  function copyByCommand(text) {
    if (window.clipboardData && window.clipboardData.setData) return window.clipboardData.setData("Text", text);
    var area = doc.createElement("textarea");
    area.value = text;
    area.setAttribute("readonly", "");
    area.style.position = "fixed";
    area.style.left = "-1000px";
    doc.body.appendChild(area);
    area.select();
    var done = false;
    try { done = doc.execCommand("copy"); } catch (e) { done = false; }
    doc.body.removeChild(area);
    return done;
  }
  function copy(row, button) {
    function finish(done) {
      button.focus();
      if (!done) { say("无法复制：请选中日语后按 Ctrl+C"); return; }
      button.textContent = "已复制";
      say("已复制：" + row.phrase);
      setTimeout(function () { button.textContent = "复制"; }, 1500);
    }
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(row.phrase).then(function () { finish(true); },
        function () { finish(copyByCommand(row.phrase)); });
    } else finish(copyByCommand(row.phrase));
  }

  // Speech: only where the browser has a Japanese voice; otherwise one line says how to add one.
  var synth = window.speechSynthesis;
  var voice = null;
  var voiceNote = doc.getElementById("voice");
  function findVoice() {
    var list = synth.getVoices() || [];
    for (var i = 0; i < list.length; i++) if (/^ja([-_]|$)/i.test(list[i].lang)) return list[i];
    return null;
  }
  function checkVoices(final) {
    if (!voice) voice = findVoice();
    if (voice) {
      if (!/ can-speak/.test(root.className)) root.className += " can-speak";
      voiceNote.hidden = true;
    } else if (final) voiceNote.hidden = false;
  }
  if (synth && window.SpeechSynthesisUtterance) {
    checkVoices(false);
    if (synth.addEventListener) synth.addEventListener("voiceschanged", function () { checkVoices(false); });
    setTimeout(function () { checkVoices(true); }, 1500);
  } else {
    voiceNote.textContent = "这个浏览器不能朗读；用 Edge 或 Chrome 打开本页就可以听日语发音。";
    voiceNote.hidden = false;
  }
  function speak(row) {
    var utterance = new window.SpeechSynthesisUtterance(row.phrase);
    utterance.lang = "ja-JP";
    try { utterance.voice = voice; } catch (e) { }
    utterance.rate = 0.9;
    synth.cancel();
    synth.speak(utterance);
  }

  doc.addEventListener("click", function (event) {
    var button = event.target;
    while (button && button.nodeName !== "BUTTON") button = button.parentNode;
    if (!button || !button.parentNode || button.parentNode.className !== "a") return;
    var row = index(rows[button.parentNode.parentNode.phraseRow]);
    if (button.className === "copy") copy(row, button);
    else if (button.className === "say") speak(row);
    else if (button.className === "star") {
      if (stars[row.id]) delete stars[row.id];
      else stars[row.id] = true;
      showStar(button, stars[row.id] === true);
      saveStars();
      say(stars[row.id] ? "已收藏" : "已取消收藏");
    }
  });
  filter();
})();
"""


def _text(text: str) -> str:
    return html.escape(text, quote=False)


def _ruby(reading: pr.Reading | None, phrase: str) -> str:
    """The phrase with its readings as ruby. Kanji words that follow each other share one ruby
    (住民票 じゅうみんひょう, not 住民 and 票 apart), so that a long reading does not spread
    the kanji under it."""
    if reading is None:
        return _text(phrase)
    merged: List[List[str]] = []
    for s in reading.segments:
        if s.ruby and merged and merged[-1][1]:
            merged[-1][0] += s.text
            merged[-1][1] += s.ruby
        else:
            merged.append([s.text, s.ruby])
    return "".join(f"<ruby>{_text(text)}<rt>{_text(ruby)}</rt></ruby>" if ruby else _text(text) for text, ruby in merged)


# Column widths come from the columns, not from the first row: that is the category's row in print.
COLUMNS = '<colgroup><col class="w1"><col class="w2"><col class="w3"><col class="w4"><col class="w5"></colgroup>'
HEADER = ('<tr><th scope="col">日语</th><th scope="col">中文意思</th><th scope="col">输入拼音</th>'
          '<th scope="col">语体</th></tr>')
READING_ROW_TITLE = "假名读音：中文意思的日语汉字词（或同一拼音的短语里的汉字词）怎么读，用同一拼音也能打出来"


def _row(row: Row) -> str:
    keys = " ".join(f"<kbd>{key}</kbd>" for key in row.keys)
    if row.reading:
        keys += f'<span class="kc">＋假名 <span lang="ja">{_text(row.reading)}</span></span>'
    romaji = f'<span class="rm" lang="ja-Latn">{_text(row.ruby.romaji)}</span>' if row.ruby and row.ruby.romaji else ""
    register = REGISTER_LABELS[row.register]
    register_cell = (f'<td class="g" title="{READING_ROW_TITLE}">{register}</td>' if row.register == READING
                     else f'<td class="g">{register}</td>')
    return (f'<tr><th scope="row" lang="ja"><span class="j">{_ruby(row.ruby, row.phrase)}</span>{romaji}</th>'
            f'<td>{_text(row.meaning)}</td><td class="k">{keys}</td>{register_cell}</tr>\n')


def render(categories: Sequence[Category], entry_count: int) -> str:
    row_count = sum(len(c.rows) for c in categories)
    out: List[str] = []
    add = out.append
    add("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n")
    add('<meta name="viewport" content="width=device-width, initial-scale=1">\n')
    add("<title>Kanaroute 日语短语一览</title>\n<style>" + STYLE + "</style>\n</head>\n<body>\n<div class=\"page\">\n")
    add("<header>\n<h1>Kanaroute 日语短语一览</h1>\n")
    add('<div class="search" role="search">\n<label for="q">搜索短语</label>')
    add('<input id="q" type="search" autocomplete="off" spellcheck="false" '
        'placeholder="拼音、中文、日语、假名或罗马字">\n')
    add('<div class="tools"><p id="status" role="status" aria-live="polite">'
        f"共 {row_count:,} 条短语。</p>"
        '<button type="button" id="starred" aria-pressed="false">只看收藏（<span id="nstar">0</span>）</button></div>\n')
    add("</div>\n")
    add('<p id="voice" hidden>要听日语发音，请在 Windows 的“设置 → 时间和语言 → 语言和区域”里添加“日语”并安装它的“文本到语音”，'
        "然后重新打开本页。</p>\n")
    add('<details class="intro" id="intro" open>\n<summary>使用说明</summary>\n')
    add(f"<p>Kanaroute 短语表里的全部日语短语，共 {row_count:,} 条，分 {len(categories)} 类。"
        "每条依次是：日语（汉字上方注假名读音，下面一行是罗马字）、中文意思、要输入的拼音和语体。"
        f"同一日语短语、同一中文意思只列一条，几个拼音都能打出它时写在同一格里；"
        f"装进输入法的 date.dat 里，每个“拼音 → 日语”算一个候选，假名读音也是单独的候选，所以共有 {entry_count:,} 个候选。</p>\n<ul>\n")
    add("<li><b>怎么打出来：</b>装好短语表后，用拼音输入法打出中文意思的完整拼音（不带声调，ü 打 v，例如 "
        "<kbd>xiexie</kbd>），候选里就会出现日语。第 1 个候选仍是中文，日语排在后面（从第 2 个起，"
        "和常用中文词同音时从第 4 个起）；"
        "“罗马字输入”一类的缩写（例如 <kbd>arigatou</kbd>）按日语的罗马字打。"
        "拼音后面写着“＋假名”的，同一个拼音还能打出这条短语的假名读音。</li>\n")
    add("<li><b>语体：</b>“礼貌”用于陌生人、长辈、老师、店员和工作场合；"
        "“平常”用于朋友和家人；“俗语”是网络和年轻人的说法，正式场合不要用；"
        "“读音”是中文意思的日语汉字词（或同一拼音的短语里的汉字词）的假名读法，也能用同一拼音打出来。</li>\n")
    add("<li><b>读音：</b>汉字上方的假名和罗马字是按词典自动标注、再由人工校对的，"
        "数字、量词和多音字已逐条核对。</li>\n")
    add("<li class=\"screen-only\"><b>搜索：</b>在搜索框里输入拼音、中文意思、日语、假名或罗马字"
        "（<kbd>juuminhyou</kbd> 和 <kbd>jūminhyō</kbd> 都行），列表会立刻只留下相关的短语："
        "拼音完全相同的排在最前，然后是拼音开头相同的、中文意思里有的，最后是日语和罗马字里有的"
        "（平假名和片假名通用，几个词用空格隔开表示都要包含）；清空搜索框就按分类显示全部。</li>\n")
    add("<li class=\"screen-only\"><b>复制、朗读、收藏：</b>每条短语旁的“复制”把日语放进剪贴板，可以直接粘贴到聊天或表格里；"
        "“朗读”用浏览器的日语语音读出来（浏览器有日语语音时才显示）；☆ 收藏短语，收藏记在这个浏览器里，"
        "点“只看收藏”只显示收藏的短语。</li>\n")
    add("<li class=\"screen-only\"><b>打印：</b>按 A4 纸打印当前显示的短语，每页顶上重复分类名，汉字上方同样注读音；"
        "不印搜索框、目录和按钮。</li>\n</ul>\n</details>\n")
    # Closed at once on a phone, so that the list starts on the first screen.
    add('<script>if (window.matchMedia && window.matchMedia("(max-width: 600px)").matches) '
        'document.getElementById("intro").removeAttribute("open");</script>\n</header>\n')
    add('<nav id="toc-nav" aria-labelledby="toc">\n<h2 id="toc">目录</h2>\n<ol>\n')
    for c in categories:
        add(f'<li><a href="#c{c.number:02d}">{_text(c.heading)}</a> <span class="n">{len(c.rows)} 条</span></li>\n')
    add("</ol>\n</nav>\n<main>\n")
    add('<section id="hits-section" aria-labelledby="hits-h" hidden>\n<h2 id="hits-h">搜索结果</h2>\n'
        f'<table>{COLUMNS}\n<thead><tr class="cat"><th colspan="4">搜索结果</th></tr>{HEADER}</thead>\n'
        '<tbody id="hits"></tbody>\n</table>\n<p class="screen-only"><button type="button" id="more" hidden></button></p>\n'
        "</section>\n")
    for c in categories:
        add(f'<section class="c" id="c{c.number:02d}" aria-labelledby="h{c.number:02d}">\n')
        add(f'<h2 id="h{c.number:02d}">{_text(c.heading)}</h2>\n<table>{COLUMNS}\n<thead>'
            f'<tr class="cat"><th colspan="4">{_text(c.heading)}</th></tr>{HEADER}</thead>\n<tbody>\n')
        for row in c.rows:
            add(_row(row))
        add("</tbody>\n</table>\n</section>\n")
    add("</main>\n")
    add(f'<p class="screen-only n">由 Kanaroute 的短语表生成：{row_count:,} 条短语，'
        f"装进输入法的 date.dat 里共 {entry_count:,} 个候选（每个“拼音 → 日语”一个，假名读音也算）。</p>\n")
    add('<p id="toast" role="status" aria-live="polite"></p>\n')
    add("</div>\n<script>" + SCRIPT + "</script>\n</body>\n</html>\n")
    return "".join(out)


def build(paths: Sequence[str], maker: pr.ReadingMaker | None = None) -> str:
    """The page for the section files; raises make_date_dat.PhraseListError when their layout is
    broken or a phrase's reading cannot be made, and LanguageDataError when MeCab is missing."""
    sections, problems = ps.read_sections(paths)
    keys = ps.group_keys(sections, problems)
    if problems:
        raise make_date_dat.PhraseListError(problems)
    entry_count = sum(len(section.entries) for section in sections)
    if entry_count == 0:
        raise make_date_dat.EmptyPhraseList()
    categories = categories_of(sections, keys)
    problems = add_readings(categories, maker or pr.ReadingMaker.from_file())
    if problems:
        raise make_date_dat.PhraseListError(problems)
    return render(categories, entry_count)


def main(argv: Sequence[str]) -> int:
    try:
        return make_date_dat.run_generator(
            argv, "用法：make_phrasebook.py 分类源文件夹 输出文件", "短语一览.html", lambda sources: build(sources).encode("utf-8")
        )
    except (LanguageDataError, pr.ReadingError) as error:
        # MeCab is missing (the message names the Debian package) or the corrections table is
        # broken (the message names its lines).
        print(f"{error}\n未生成 短语一览.html", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
