#!/usr/bin/python3
"""Checks the phrase list's section files against Chinese and Japanese language data.

Usage: /usr/bin/python3 check_phrases.py [--report FILE] PATH...

PATH is a section file or a folder of them. Every violation is printed as
``file:line: message``; the exit status is 1 when there is any. A summary
(entries, keys, counts per category, keys whose Japanese starts late because a
common Chinese word shares their pinyin, accepted exceptions) follows; --report
also writes it as Markdown.

The rules, and how each is decided by machine:

* Layout (phrase_sections.py): file names, one ``##`` heading, entry syntax.
* A key lives in one file, on consecutive lines, with one meaning; its positions
  are distinct and increase; no key+phrase twice; at most 8 Japanese candidates;
  registers go 敬, 常, 俗, 读 and never back.
* Pinyin keys (every file but the romaji one): the key spells the meaning with
  luna-pinyin readings (any reading of a polyphonic character), has at least two
  syllables and uses slots 2-9. When another Chinese word with exactly the key's
  pinyin has a weight of at least COMMON_WORD_WEIGHT, the Japanese starts at slot
  4 or later. Keys of one or two syllables carry at most two candidates, in
  slots 2-5.
* Romaji keys (the ``romaji`` section): at least 5 letters, not starting with
  i, u or v, and no luna-pinyin word has exactly that pinyin.
* No phrase is character for character its meaning (punctuation ignored). A
  phrase that differs from it only in glyphs (時間 for 时间: equal after OpenCC
  turns the Japanese into simplified characters, with JAPANESE_GLYPHS for the
  glyphs OpenCC misses: 予約 for 预约) is the Japanese form and counts only
  with a 读 candidate after it.
* No phrase uses a Chinese character that Japanese writing lacks (车, 习: outside
  the JIS X 0208 set of Japanese Windows).
* MeCab knows every word of every phrase, apart from digits and the words of
  accepted_words.txt.
* A kanji word needs its reading: a phrase with kanji that MeCab analyses into
  no particle, no auxiliary and one independent word or one number, with any
  prefixes, suffixes and counters around it (今年, 辛い, お土産, 4時)
  is followed later in its key by a 读 candidate. Readings pair with such
  words in order, MeCab's own reading preferred.
* 读 candidates are written in kana only and follow a kanji candidate, or read
  the meaning itself when it is Japanese writing too (日本 → にほん).
* A 常 candidate holds no polite auxiliary です or ます. A 敬 candidate that
  ends in a predicate (trailing particles and punctuation aside) ends in です or
  ます, or in ください, なさい or いらっしゃい; one that ends in a noun or set phrase
  is neutral.
"""

from __future__ import annotations

import argparse
import os
import sys
from collections import Counter
from dataclasses import dataclass, field
from typing import Dict, List, Sequence, Tuple

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import language_data as ld  # noqa: E402
import phrase_sections as ps  # noqa: E402

# A Chinese word of at least this weight in luna_pinyin.table.txt counts as common:
# its typist would be hurt by Japanese at slot 2 or 3. See docs/phrase-list.md for
# how the value was chosen.
COMMON_WORD_WEIGHT = 500
FIRST_SLOT_AFTER_COMMON_WORD = 4
FIRST_PINYIN_SLOT = 2
SHORT_KEY_SYLLABLES = 2
SHORT_KEY_MAX_CANDIDATES = 2
SHORT_KEY_LAST_SLOT = 5
MIN_SYLLABLES = 2
ROMAJI_SLUG = "romaji"
MIN_ROMAJI_LETTERS = 5
ROMAJI_FORBIDDEN_STARTS = ("i", "u", "v")
ACCEPTED_WORDS_FILE = os.path.join(HERE, "accepted_words.txt")
# The categories for living in Japan (the city office, visa, bank and flat, post and rubbish, the
# clinic, errands in town, part-time work), counted apart in the report.
LIVING_SLUGS = ("city-office", "visa-residence", "bank-housing", "post-rubbish", "clinic-pharmacy",
                "getting-around", "part-time-job")

POLITE_AUXILIARIES = ("です", "ます")
POLITE_REQUEST_VERBS = ("くださる", "下さる", "なさる", "らっしゃる", "いらっしゃる")
# Classical auxiliaries MeCab only uses to explain a kana noun it does not know (すうじ as すう+じ,
# せん as せ+ん, じゅうでんき as じゅう+で+ん+き).
GUESSED_AUXILIARIES = ("じ", "ん", "き")
# Conjugation forms that end a sentence. A word in another form at the end is used as a noun
# (向かい, 突き当たり) or is MeCab's guess for kana it does not know (ちず as ち+ず).
FINITE_FORMS = ("基本形", "音便基本形", "命令")
HONORIFIC_PREFIXES = ("お", "ご", "御")


@dataclass
class Findings:
    problems: List[ps.Problem] = field(default_factory=list)
    sections: List[ps.Section] = field(default_factory=list)
    keys: List[ps.Key] = field(default_factory=list)
    moved: List[Tuple[str, str, ld.ChineseWord]] = field(default_factory=list)  # key, section, common homophone
    # Every pinyin key that shares its pinyin with another word, with the most common such word.
    homophones: List[Tuple[str, str, ld.ChineseWord]] = field(default_factory=list)
    exceptions_used: Dict[str, str] = field(default_factory=dict)
    glyph_keys: int = 0  # keys that offer their meaning in Japanese glyphs (時間 for 时间)

    def add(self, entry: ps.Entry, message: str) -> None:
        self.problems.append(ps.Problem(entry.path, entry.line, message))


def is_romaji(key: ps.Key) -> bool:
    return key.section.slug == ROMAJI_SLUG


def read_accepted_words(path: str = ACCEPTED_WORDS_FILE) -> Dict[str, str]:
    """Reads ``word | reason`` lines: words MeCab does not know that the list may use anyway."""
    accepted: Dict[str, str] = {}
    with open(path, encoding="utf-8") as source:
        for line in source:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            word, _, reason = line.partition("|")
            accepted[word.strip()] = reason.strip()
    return accepted


def check_pinyin_key(key: ps.Key, table: ld.PinyinTable, findings: Findings) -> None:
    first = key.entries[0]
    unreadable = table.unreadable(key.meaning)
    if unreadable:
        findings.add(first, f"中文意思“{key.meaning}”里的“{''.join(unreadable)}”没有拼音（请只用汉字，数字写成汉字）")
        return
    syllables = table.syllable_count(key.name, key.meaning)
    if syllables is None:
        findings.add(first, f"缩写“{key.name}”不是“{key.meaning}”的完整拼音（不带声调，音节连写，ü 写作 v）")
        return
    if syllables < MIN_SYLLABLES:
        findings.add(first, f"缩写“{key.name}”只有一个音节：单音节缩写会挡住最常用的汉字，请用至少两个音节")
    first_slot = FIRST_PINYIN_SLOT
    homophones = table.homophones(key.name, key.meaning)
    if homophones:
        findings.homophones.append((key.name, key.section.name, homophones[0]))
    common = [word for word in homophones if word.weight >= COMMON_WORD_WEIGHT]
    if common:
        first_slot = FIRST_SLOT_AFTER_COMMON_WORD
        findings.moved.append((key.name, key.section.name, common[0]))
    for entry in key.entries:
        if entry.position < FIRST_PINYIN_SLOT:
            findings.add(entry, f"拼音缩写的第 1 位留给中文，日语从第 {FIRST_PINYIN_SLOT} 位起")
        elif entry.position < first_slot:
            words = "、".join(f"{w.word}（{w.weight:g}）" for w in common[:3])
            findings.add(
                entry, f"常用中文词 {words} 的拼音也是“{key.name}”：日语要从第 {first_slot} 位起，不能在第 {entry.position} 位"
            )
    if syllables <= SHORT_KEY_SYLLABLES:
        if len(key.entries) > SHORT_KEY_MAX_CANDIDATES:
            findings.add(
                key.entries[SHORT_KEY_MAX_CANDIDATES],
                f"一两个音节的缩写“{key.name}”最多只能有 {SHORT_KEY_MAX_CANDIDATES} 个日语候选",
            )
        for entry in key.entries:
            if entry.position > SHORT_KEY_LAST_SLOT:
                findings.add(entry, f"一两个音节的缩写“{key.name}”的日语只能在第 2 到 {SHORT_KEY_LAST_SLOT} 位")


def check_romaji_key(key: ps.Key, table: ld.PinyinTable, findings: Findings) -> None:
    first = key.entries[0]
    if len(key.name) < MIN_ROMAJI_LETTERS:
        findings.add(first, f"罗马字缩写“{key.name}”至少要有 {MIN_ROMAJI_LETTERS} 个字母")
    if key.name.startswith(ROMAJI_FORBIDDEN_STARTS):
        findings.add(first, f"罗马字缩写“{key.name}”不能以 i、u 或 v 开头（拼音输入法用它们进入特殊模式）")
    words = table.words.get(key.name, [])
    if words:
        findings.add(first, f"罗马字缩写“{key.name}”也是中文词“{words[0].word}”的拼音，不能用")


def same_as_meaning(phrase: str, meaning: str) -> bool:
    """The phrase is character for character its meaning (旅行, 日本): it adds nothing to slot 1."""
    return ld.without_punctuation(phrase) == ld.without_punctuation(meaning)


# Japanese glyphs whose Chinese form OpenCC's conversion does not give: it turns 予 into 豫 (right
# for 猶予, 犹豫, but 予約 is 预约) and leaves 窓, 鉱 and 緒 as they are. Each is an alternative to
# what OpenCC gives, position by position.
JAPANESE_GLYPHS = {"予": "预", "窓": "窗", "鉱": "矿", "緒": "绪"}


def is_glyph_form(phrase: str, phrase_as_chinese: str, meaning: str) -> bool:
    """The phrase is its meaning in Japanese glyphs (時間 for 时间, 黒板 for 黑板, 予約 for 预约): the
    writing a Japanese reader expects, which a learner cannot type otherwise, but which a Chinese
    reader takes for the Chinese word; so it counts only with its reading after it."""
    own = ld.without_punctuation(meaning)
    written, converted = ld.without_punctuation(phrase), ld.without_punctuation(phrase_as_chinese)
    if written == own:
        return False
    if converted == own:
        return True
    return len(written) == len(converted) == len(own) and all(
        c == m or JAPANESE_GLYPHS.get(w) == m for w, c, m in zip(written, converted, own)
    )


def is_japanese_writing(text: str, analyser: ld.JapaneseAnalyser) -> bool:
    """Kanji that Japanese writing has, and words MeCab knows (日本, 学生; not 时间)."""
    return (
        any(ld.is_han(c) for c in text)
        and not chinese_only_characters(text)
        and all(t.known for t in analyser.tokens(text))
    )


def chinese_only_characters(phrase: str) -> List[str]:
    """Chinese characters of the phrase that Japanese writing does not have (车, 习): those
    outside the character set of Japanese Windows (JIS X 0208 with its extensions)."""
    found = []
    for character in phrase:
        if ld.is_han(character) and character not in found:
            try:
                character.encode("cp932")
            except UnicodeEncodeError:
                found.append(character)
    return found


def unknown_words(tokens: Sequence[ld.Token], accepted: Dict[str, str], used: Dict[str, str]) -> List[str]:
    unknown = []
    for token in tokens:
        if token.known or token.surface.isdigit() or all(ld.is_punctuation(ch) for ch in token.surface):
            continue
        if token.surface in accepted:
            used[token.surface] = accepted[token.surface]
            continue
        unknown.append(token.surface)
    return unknown


def words_of(tokens: Sequence[ld.Token]) -> List[ld.Token]:
    return [t for t in tokens if t.pos[0] != "記号"]


def is_kanji_word(phrase: str, tokens: Sequence[ld.Token]) -> bool:
    """A phrase with kanji that is one word: no particle, no auxiliary, and one word or one number
    (a run of digits or numerals) with only prefixes, suffixes and counters around it."""
    if not any(ld.is_han(c) for c in phrase):
        return False
    words = words_of(tokens)
    if any(t.pos[0] in ("助詞", "助動詞") for t in words):
        return False
    units = 0
    for index, token in enumerate(words):
        continues_number = token.pos[1] == "数" and index > 0 and words[index - 1].pos[1] == "数"
        if token.pos[0] != "接頭詞" and token.pos[:2] != ("名詞", "接尾") and not continues_number:
            units += 1
    return units <= 1


def reading_of(tokens: Sequence[ld.Token]) -> str | None:
    parts = []
    for token in words_of(tokens):
        if not token.reading or token.reading == "*":
            return None
        parts.append(token.reading)
    return ld.to_hiragana("".join(parts))


def is_kana_reading(phrase: str) -> bool:
    return any(ld.is_kana(c) for c in phrase) and all(ld.is_kana(c) or ld.is_punctuation(c) for c in phrase)


def predicate_end(tokens: Sequence[ld.Token]) -> List[ld.Token]:
    """The words of the phrase without trailing particles: what its end is made of."""
    words = words_of(tokens)
    # The copula's continuative で after a noun ends a set phrase (お元気で) like a particle does.
    while words and (words[-1].pos[0] == "助詞" or (words[-1].base == "だ" and words[-1].surface == "で")):
        words.pop()
    return words


def has_honorific_prefix(token: ld.Token) -> bool:
    """お, ご or 御 as a prefix, or as the start of a noun written with kanji (お気, ご飯)."""
    if token.pos[0] == "接頭詞":
        return token.surface in HONORIFIC_PREFIXES
    return (
        token.pos[0] == "名詞"
        and token.surface.startswith(HONORIFIC_PREFIXES)
        and len(token.surface) > 1
        and ld.is_han(token.surface[1])
    )


def is_plain_predicate(tokens: Sequence[ld.Token]) -> bool:
    """True when the phrase ends in a verb, adjective or auxiliary in a sentence-ending form
    without です/ます, or in a request in the て form (待って).

    A て-form request with an honorific prefix (お気をつけて) is a polite set phrase."""
    words = predicate_end(tokens)
    if not words:
        return False
    last = words[-1]
    if last.pos[0] not in ("動詞", "形容詞", "助動詞"):
        return False
    if words_of(tokens)[-1].surface in ("て", "で") and len(words) < len(words_of(tokens)):
        return not any(has_honorific_prefix(t) for t in words)
    if not last.form.startswith(FINITE_FORMS):
        return False
    if last.pos[0] in ("動詞", "形容詞"):
        return last.base not in POLITE_REQUEST_VERBS
    auxiliaries = []
    for token in reversed(words):
        if token.pos[0] != "助動詞":
            break
        auxiliaries.append(token.base)
    if last.base in GUESSED_AUXILIARIES:
        return False
    return not any(base in POLITE_AUXILIARIES for base in auxiliaries)


def has_polite_auxiliary(tokens: Sequence[ld.Token]) -> bool:
    return any(t.pos[0] == "助動詞" and t.base in POLITE_AUXILIARIES for t in tokens)


def check_japanese(
    key: ps.Key,
    analyser: ld.JapaneseAnalyser,
    as_chinese: Dict[str, str],
    accepted: Dict[str, str],
    findings: Findings,
) -> None:
    waiting: List[Tuple[ps.Entry, str | None]] = []  # kanji words still waiting for their reading
    glyph_forms: List[ps.Entry] = []
    # When the meaning itself is a Japanese word (日本, 学生), slot 1 shows its kanji and a
    # reading may come first.
    seen_kanji = not is_romaji(key) and is_japanese_writing(ld.without_punctuation(key.meaning), analyser)
    for entry in key.entries:
        tokens = analyser.tokens(entry.phrase)
        if same_as_meaning(entry.phrase, entry.meaning):
            findings.add(entry, f"日语“{entry.phrase}”和中文意思“{entry.meaning}”一模一样，对用户没有帮助：请改用读音或一个短句")
        elif is_glyph_form(entry.phrase, as_chinese[entry.phrase], entry.meaning):
            glyph_forms.append(entry)
        chinese = chinese_only_characters(entry.phrase)
        if chinese:
            findings.add(entry, f"“{'、'.join(chinese)}”是中文的写法，日语里没有这个字：请按日本的写法写")
        # A reading is written in kana, which MeCab's dictionary hardly knows (ざんぎょう); its
        # kanji candidate is the one that is analysed.
        unknown = [] if entry.register == "读" else unknown_words(tokens, accepted, findings.exceptions_used)
        if unknown:
            findings.add(
                entry,
                f"MeCab 不认识“{'”“'.join(unknown)}”：请检查写法；确实需要的词请登记到 accepted_words.txt 并写明理由",
            )
        if entry.register == "读":
            if not is_kana_reading(entry.phrase):
                findings.add(entry, "“读”候选只能用假名写（它是前面汉字候选的读音）")
            elif not seen_kanji:
                findings.add(entry, "“读”候选前面没有需要读音的汉字候选")
            elif waiting:
                reading = ld.to_hiragana(entry.phrase)
                match = next((i for i, (_, r) in enumerate(waiting) if r == reading), 0)
                waiting.pop(match)
            continue
        if any(ld.is_han(c) for c in entry.phrase):
            seen_kanji = True
        if is_kanji_word(entry.phrase, tokens) or (glyph_forms and glyph_forms[-1] is entry):
            waiting.append((entry, reading_of(tokens)))
        if entry.register == "常" and has_polite_auxiliary(tokens):
            findings.add(entry, "“常”候选里有です/ます：这是礼貌说法，请标为“敬”并放在前面")
        if entry.register == "敬" and is_plain_predicate(tokens):
            findings.add(entry, "“敬”候选以简体结尾（没有です/ます）：请写礼貌说法，或标为“常”")
    for entry, reading in waiting:
        hint = f"（{reading}）" if reading else ""
        if any(entry is form for form in glyph_forms):
            findings.add(
                entry,
                f"“{entry.phrase}”是“{entry.meaning}”的日文字形，中文读者会当成中文：后面需要一个写出读音{hint}的“读”候选",
            )
        else:
            findings.add(entry, f"汉字词“{entry.phrase}”后面需要一个写出读音{hint}的“读”候选")
    findings.glyph_keys += bool(glyph_forms)


def check(paths: Sequence[str], accepted_words_file: str = ACCEPTED_WORDS_FILE) -> Findings:
    findings = Findings()
    sections, problems = ps.read_sections(paths)
    findings.sections = sections
    findings.problems.extend(problems)
    keys = ps.group_keys(sections, findings.problems)
    findings.keys = keys
    table = ld.PinyinTable.load(key.name for key in keys)
    analyser = ld.JapaneseAnalyser()
    accepted = read_accepted_words(accepted_words_file)
    phrases = sorted({entry.phrase for key in keys for entry in key.entries})
    as_chinese = dict(zip(phrases, ld.opencc(phrases, "jp2t.json", "t2s.json")))
    for key in keys:
        if is_romaji(key):
            check_romaji_key(key, table, findings)
        else:
            check_pinyin_key(key, table, findings)
        check_japanese(key, analyser, as_chinese, accepted, findings)
    findings.problems.sort(key=lambda p: (p.path, p.line))
    return findings


def summary(findings: Findings) -> List[str]:
    """The report as Markdown lines."""
    entries = sum(len(key.entries) for key in findings.keys)
    per_section: Dict[str, Tuple[int, int]] = {}
    keys_per_section = Counter(key.section.name for key in findings.keys)
    registers = Counter(entry.register for key in findings.keys for entry in key.entries)
    romaji = sum(1 for key in findings.keys if is_romaji(key))
    lines = [
        f"- Entries: {entries}",
        f"- Keys: {len(findings.keys)} ({len(findings.keys) - romaji} pinyin, {romaji} romaji)",
        "- Entries by register: " + ", ".join(f"{r} {registers[r]}" for r in ps.REGISTERS),
        f"- Keys in the categories for living in Japan ({', '.join(LIVING_SLUGS)}): "
        f"{sum(1 for key in findings.keys if key.section.slug in LIVING_SLUGS)}",
        f"- Keys that offer their meaning in Japanese glyphs, reading after it (時間 for 时间): {findings.glyph_keys}",
        f"- Violations: {len(findings.problems)}",
        "",
        "| File | Category | Keys | Entries |",
        "|---|---|---:|---:|",
    ]
    for section in findings.sections:
        per_section[section.name] = (keys_per_section[section.name], len(section.entries))
        lines.append(f"| {section.name} | {section.heading} | {keys_per_section[section.name]} | {len(section.entries)} |")
    lines.append(f"| | **Total** | **{len(findings.keys)}** | **{entries}** |")
    lines += [
        "",
        f"Keys whose Japanese starts at slot {FIRST_SLOT_AFTER_COMMON_WORD} or later because a common Chinese word"
        f" (weight ≥ {COMMON_WORD_WEIGHT}) shares their pinyin: {len(findings.moved)}",
        "",
    ]
    if findings.moved:
        lines += ["| Key | File | Most common other word | Weight |", "|---|---|---|---:|"]
        lines += [f"| {k} | {s} | {w.word} | {w.weight:g} |" for k, s, w in sorted(findings.moved)]
        lines.append("")
    lines.append(f"Accepted exceptions in use (accepted_words.txt): {len(findings.exceptions_used)}")
    lines.append("")
    lines += [f"- {word}: {reason}" for word, reason in sorted(findings.exceptions_used.items())]
    return lines


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(description="检查日语短语词库的分类源文件")
    parser.add_argument("--report", help="把统计报告另存为 Markdown 文件")
    parser.add_argument("paths", nargs="+", help="分类源文件或其所在的文件夹")
    arguments = parser.parse_args(argv[1:])
    if hasattr(sys.stdout, "reconfigure"):
        sys.stdout.reconfigure(errors="backslashreplace")
    try:
        findings = check(arguments.paths)
    except (ld.LanguageDataError, OSError) as error:
        print(f"check_phrases.py: {error}", file=sys.stderr)
        return 2
    for problem in findings.problems:
        print(problem.describe())
    report = summary(findings)
    print("\n".join(report))
    if arguments.report:
        with open(arguments.report, "w", encoding="utf-8") as written:
            written.write("\n".join(report) + "\n")
    return 1 if findings.problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
