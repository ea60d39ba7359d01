"""Writes the phrasebook page 短语一览.html from the phrase list's section files.

The page lets a learner browse the whole list by category, search it as they
type (by pinyin key, Chinese meaning, Japanese or kana) and print it. It is one
self-contained file: its style and script are inline and it names no network
address, so it works offline from the unpacked zip.

Each row is one Japanese candidate with the keys that offer it, its kana
reading where the list has one (a 读 candidate of the same key), its Chinese
meaning and its register. Keys that offer the same phrase with the same meaning
share a row.

Usage: make_phrasebook.py SECTIONS OUTPUT
"""

from __future__ import annotations

import html
import re
import sys
import unicodedata
from dataclasses import dataclass, field
from typing import Dict, List, Sequence, Tuple

import make_date_dat
import phrase_sections as ps

READING = "读"
REGISTER_LABELS = {"敬": "礼貌", "常": "平常", "俗": "俗语", READING: "读音"}
KANJI = re.compile(r"[\u3005\u3006\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff]")


@dataclass
class Row:
    phrase: str
    reading: str
    meaning: str
    register: str
    keys: List[str] = field(default_factory=list)


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


def key_rows(key: ps.Key) -> List[Tuple[str, str, str]]:
    """(phrase, reading, register) of one key's candidates, each 读 candidate beside its kanji word.

    A reading belongs to an earlier candidate with kanji that it spells, the best fit
    first. Between equal fits the readings pair in order when there are enough readings
    for them all; otherwise the later candidate, usually the bare word after a sentence
    (自己紹介 after 自己紹介をさせてください), gets it. When none fits the reading belongs
    to the first candidate with kanji still without one, and with none it stands alone."""
    rows: List[List[str]] = []
    readings_left = sum(1 for entry in key.entries if entry.register == READING)
    for entry in key.entries:
        if entry.register != READING:
            rows.append([entry.phrase, "", entry.register])
            continue
        open_rows = [row for row in rows if row[1] == "" and row[2] != READING and KANJI.search(row[0])]
        fits = [(_reading_fit(row[0], entry.phrase), row) for row in open_rows]
        fitting = [(fit, row) for fit, row in fits if fit is not None]
        if fitting:
            best = max(fit for fit, _ in fitting)
            equal = [row for fit, row in fitting if fit == best]
            (equal[0] if readings_left >= len(equal) else equal[-1])[1] = entry.phrase
        elif open_rows:
            open_rows[0][1] = entry.phrase
        else:
            rows.append([entry.phrase, "", READING])
        readings_left -= 1
    return [(phrase, reading, register) for phrase, reading, register in rows]


def categories_of(sections: Sequence[ps.Section], keys: Sequence[ps.Key]) -> List[Category]:
    by_section: Dict[int, List[ps.Key]] = {}
    for key in keys:
        by_section.setdefault(id(key.section), []).append(key)
    categories = []
    for section in sections:
        rows: Dict[Tuple[str, str, str, str], Row] = {}
        for key in by_section.get(id(section), []):
            for phrase, reading, register in key_rows(key):
                row = rows.setdefault(
                    (phrase, reading, key.meaning, register), Row(phrase, reading, key.meaning, register)
                )
                if key.name not in row.keys:
                    row.keys.append(key.name)
        categories.append(Category(section.number, section.heading, list(rows.values())))
    return categories


STYLE = """
* { box-sizing: border-box; }
body { margin: 0; color: #1b1f24; background: #fff; line-height: 1.5;
  font-family: "Microsoft YaHei UI", "Microsoft YaHei", "PingFang SC", "Hiragino Sans GB",
    "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "SimHei", sans-serif; }
:lang(ja) { font-family: "Yu Gothic UI", "Yu Gothic", YuGothic, "Meiryo UI", Meiryo, "MS PGothic",
  "Hiragino Sans", "Hiragino Kaku Gothic ProN", "Noto Sans CJK JP", "Source Han Sans JP",
  "IPAexGothic", "IPAGothic", sans-serif; }
:lang(zh-CN) { font-family: "Microsoft YaHei UI", "Microsoft YaHei", "PingFang SC", "Hiragino Sans GB",
  "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "SimHei", sans-serif; }
kbd { font-family: Consolas, Menlo, "DejaVu Sans Mono", monospace; font-size: .95em; }
.page { max-width: 64rem; margin: 0 auto; padding: 0 1rem 3rem; }
h1 { font-size: 1.6rem; margin: 1.2rem 0 .4rem; }
.intro p, .intro li { margin: .3rem 0; }
.intro ul { padding-left: 1.3rem; margin: .3rem 0; }
.search { position: sticky; top: 0; z-index: 1; background: #fff; padding: .6rem 0 .5rem;
  border-bottom: 1px solid #d8dde3; }
.search label { font-weight: bold; margin-right: .5rem; }
.search input { font-size: 1.05rem; padding: .35rem .5rem; width: 28rem; max-width: 100%;
  border: 1px solid #8a949e; border-radius: 4px; }
.search input:focus { outline: 2px solid #1f5fa8; outline-offset: 1px; }
#status { margin: .3rem 0 0; color: #5b6570; }
nav ol { columns: 14rem; padding-left: 1.6rem; margin: .3rem 0; }
nav a { color: #1f5fa8; }
.n { color: #5b6570; font-size: .9em; }
section { scroll-margin-top: 6rem; content-visibility: auto; contain-intrinsic-size: auto 40rem; }
h2 { font-size: 1.25rem; margin: 1.6rem 0 .4rem; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
thead th:nth-child(1) { width: 22%; } thead th:nth-child(2) { width: 34%; }
thead th:nth-child(3) { width: 18%; } thead th:nth-child(4) { width: 18%; } thead th:nth-child(5) { width: 8%; }
th, td { overflow-wrap: anywhere; }
th, td { text-align: left; vertical-align: top; padding: .3rem .5rem; border-bottom: 1px solid #d8dde3; }
thead th { background: #f1f4f7; font-size: .9rem; white-space: nowrap; }
tbody th { font-weight: normal; font-size: 1.1rem; }
td.r { color: #5b6570; }
td.g { white-space: nowrap; font-size: .9rem; }
td kbd { display: inline-block; margin-right: .5em; }
[hidden] { display: none !important; }
@media print {
  .search, nav, .screen-only { display: none !important; }
  body { font-size: 10pt; }
  section { content-visibility: visible; }
  .page { max-width: none; padding: 0; }
  h1 { font-size: 16pt; }
  h2 { font-size: 13pt; break-after: avoid; page-break-after: avoid; }
  thead { display: table-header-group; }
  tr { break-inside: avoid; page-break-inside: avoid; }
  thead th { background: none; border-bottom: 1.5pt solid #000; }
  th, td { padding: 2pt 4pt; border-bottom: .5pt solid #999; }
  tbody th { font-size: 11pt; }
}
"""

# Filters the rows as the user types: every word of the query must occur in the row's
# text; katakana match hiragana and full-width letters match ASCII. The script keeps to what
# the Internet Explorer of Windows 7 runs as well.
SCRIPT = """
(function () {
  "use strict";
  function fold(text) {
    // Internet Explorer has no normalize(); it still filters, only without folding full-width letters.
    return (text.normalize ? text.normalize("NFKC") : text).toLowerCase().replace(/\\u00fc/g, "v")
      .replace(/[\\u30a1-\\u30f6]/g, function (c) { return String.fromCharCode(c.charCodeAt(0) - 0x60); });
  }
  var input = document.getElementById("q");
  var status = document.getElementById("status");
  var sections = Array.prototype.map.call(document.querySelectorAll("main section"), function (section) {
    var rows = Array.prototype.slice.call(section.querySelector("tbody").rows);
    var link = document.querySelector('nav a[href="#' + section.id + '"]').parentNode;
    return {
      element: section,
      link: link,
      count: link.querySelector(".n"),
      rows: rows,
      texts: rows.map(function (row) {
        return fold(Array.prototype.map.call(row.cells, function (cell) { return cell.textContent; }).join("\\n"));
      })
    };
  });
  var total = sections.reduce(function (sum, s) { return sum + s.rows.length; }, 0);
  var shownText = status.textContent;
  var last = null;
  function filter() {
    var query = input.value.trim();
    var words = fold(query).split(/\\s+/).filter(function (word) { return word !== ""; });
    var key = words.join(" ");
    if (key === last) return;
    last = key;
    var shown = 0;
    sections.forEach(function (s) {
      var count = 0;
      for (var i = 0; i < s.rows.length; i++) {
        var text = s.texts[i];
        var match = words.every(function (word) { return text.indexOf(word) !== -1; });
        if (s.rows[i].hidden === match) s.rows[i].hidden = !match;
        if (match) count++;
      }
      s.element.hidden = count === 0;
      s.link.hidden = count === 0;
      s.count.textContent = count + " 条";
      shown += count;
    });
    if (words.length === 0) status.textContent = shownText;
    else if (shown === 0) status.textContent = "没有找到“" + query + "”。可以少输几个字，或换成拼音、中文、日语或假名再试。";
    else status.textContent = "找到 " + shown.toLocaleString("zh-CN") + " 条短语（共 " + total.toLocaleString("zh-CN") + " 条）。";
  }
  input.addEventListener("input", function (event) { if (!event.isComposing) filter(); });
  input.addEventListener("compositionend", filter);
  filter();
})();
"""


def _text(text: str) -> str:
    return html.escape(text, quote=False)


def render(categories: Sequence[Category], entry_count: int) -> str:
    row_count = sum(len(c.rows) for c in categories)
    out: List[str] = []
    add = out.append
    add("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n")
    add('<meta name="viewport" content="width=device-width, initial-scale=1">\n')
    add("<title>Kanaroute 日语短语一览</title>\n<style>" + STYLE + "</style>\n</head>\n<body>\n<div class=\"page\">\n")
    add('<header class="intro">\n<h1>Kanaroute 日语短语一览</h1>\n')
    add(f"<p>Kanaroute 短语表里的全部日语短语，共 {row_count:,} 条，分 {len(categories)} 类。")
    add("每行依次是：要输入的拼音、日语、汉字的假名读音、中文意思和语体。</p>\n<ul>\n")
    add("<li><b>怎么打出来：</b>装好短语表后，用拼音输入法打出中文意思的完整拼音（不带声调，ü 打 v，例如 "
        "<kbd>xiexie</kbd>），候选里就会出现日语。第 1 个候选仍是中文，日语排在后面（从第 2 个起，"
        "和常用中文词同音时从第 4 个起）；"
        "“罗马字输入”一类的缩写（例如 <kbd>arigatou</kbd>）按日语的罗马字打。"
        "读音栏的假名用同一个拼音也能打出来。</li>\n")
    add("<li><b>语体：</b>“礼貌”用于陌生人、长辈、老师、店员和工作场合；"
        "“平常”用于朋友和家人；“俗语”是网络和年轻人的说法，正式场合不要用。</li>\n")
    add("<li class=\"screen-only\"><b>搜索：</b>在下面的搜索框里输入拼音、中文意思、日语或假名，列表会立刻只留下相关的短语"
        "（平假名和片假名通用，几个词用空格隔开表示都要包含）；清空搜索框就显示全部。</li>\n")
    add("<li class=\"screen-only\"><b>打印：</b>打印时不印搜索框和目录，只印当前显示的分类和短语。</li>\n</ul>\n</header>\n")
    add('<div class="search" role="search">\n<label for="q">搜索短语</label>')
    add('<input id="q" type="search" autocomplete="off" spellcheck="false" '
        'placeholder="拼音、中文、日语或假名，例如 xiexie、谢谢、ありがとう、きっぷ">\n')
    add(f'<p id="status" role="status" aria-live="polite">共 {row_count:,} 条短语。</p>\n</div>\n')
    add('<nav aria-labelledby="toc">\n<h2 id="toc">目录</h2>\n<ol>\n')
    for c in categories:
        add(f'<li><a href="#c{c.number:02d}">{_text(c.heading)}</a> <span class="n">{len(c.rows)} 条</span></li>\n')
    add("</ol>\n</nav>\n<main>\n")
    for c in categories:
        add(f'<section id="c{c.number:02d}" aria-labelledby="h{c.number:02d}">\n')
        add(f'<h2 id="h{c.number:02d}">{_text(c.heading)}</h2>\n<table>\n<thead><tr>'
            '<th scope="col">输入拼音</th><th scope="col">日语</th><th scope="col">读音</th>'
            '<th scope="col">中文意思</th><th scope="col">语体</th></tr></thead>\n<tbody>\n')
        for row in c.rows:
            keys = " ".join(f"<kbd>{key}</kbd>" for key in row.keys)
            add(f'<tr><td>{keys}</td><th scope="row" lang="ja">{_text(row.phrase)}</th>'
                f'<td class="r" lang="ja">{_text(row.reading)}</td><td>{_text(row.meaning)}</td>'
                f'<td class="g">{REGISTER_LABELS[row.register]}</td></tr>\n')
        add("</tbody>\n</table>\n</section>\n")
    add("</main>\n")
    add(f'<p class="screen-only n">由 Kanaroute 的短语表生成，共 {entry_count:,} 个候选。</p>\n')
    add("</div>\n<script>" + SCRIPT + "</script>\n</body>\n</html>\n")
    return "".join(out)


def build(paths: Sequence[str]) -> str:
    """The page for the section files; raises make_date_dat.PhraseListError when their layout is broken."""
    sections, problems = ps.read_sections(paths)
    keys = ps.group_keys(sections, problems)
    if problems:
        raise make_date_dat.PhraseListError(problems)
    entry_count = sum(len(section.entries) for section in sections)
    if entry_count == 0:
        raise make_date_dat.EmptyPhraseList()
    return render(categories_of(sections, keys), entry_count)


def main(argv: Sequence[str]) -> int:
    return make_date_dat.run_generator(
        argv, "用法：make_phrasebook.py 分类源文件夹 输出文件", "短语一览.html", lambda sources: build(sources).encode("utf-8")
    )


if __name__ == "__main__":
    sys.exit(main(sys.argv))
