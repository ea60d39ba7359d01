"""The full kana reading and the romaji of every phrase, made with MeCab (IPADIC).

A phrase is cut into words by MeCab, except where a correction from
reading_corrections.txt covers part of it: MeCab guesses wrong on numbers with
counters, on 何, 方, 中 and a few other words, and a correction spells out the
reading of a stretch of text (with enough kana around it to be unambiguous).
Digits are read by a small number reader; a number followed by a counter must be
covered by a correction, because the sound changes (1通 いっつう, 3日 みっか)
are exactly what a machine gets wrong.

Each word's reading is aligned with its writing: the word's own kana stay as
written and each run of kanji (or digits) gets the kana between them as its
ruby. The reading is refused, naming the phrase and the problem, when it does not
keep the phrase's kana in order or leaves a kanji without a reading.
"""

from __future__ import annotations

import os
import re
import unicodedata
from dataclasses import dataclass
from typing import Dict, List, Sequence, Set, Tuple

from language_data import JapaneseAnalyser, Token, to_hiragana

CORRECTIONS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reading_corrections.txt")


class ReadingError(ValueError):
    """A phrase (or a correction) whose reading cannot be made; the message says why."""


@dataclass(frozen=True)
class Segment:
    text: str  # as written in the phrase
    ruby: str  # its kana reading when the text has kanji or digits, else ""


@dataclass(frozen=True)
class Reading:
    segments: Tuple[Segment, ...]
    romaji: str  # Hepburn with macrons for long vowels, words separated by spaces

    @property
    def kana(self) -> str:
        """The whole reading: each ruby in place of its text, the phrase's own kana as written."""
        return "".join(s.ruby or s.text for s in self.segments)

    @property
    def has_ruby(self) -> bool:
        return any(s.ruby for s in self.segments)


@dataclass(frozen=True)
class Correction:
    written: str
    reading: str
    line: int
    meaning: str = ""  # only for phrases with this Chinese meaning (1日: 一天 いちにち, 1号 ついたち)


def is_kana(c: str) -> bool:
    return ("\u3041" <= c <= "\u3096") or ("\u30a1" <= c <= "\u30fa") or c in "ーゝゞヽヾ"


def needs_reading(c: str) -> bool:
    """Kanji, the iteration mark, ヶ (read か or が) and digits cannot be read as written."""
    if c in "々〆ヶヵ〇" or c.isdigit():
        return True
    return unicodedata.name(c, "").startswith("CJK") and unicodedata.category(c) == "Lo"


def _fold(text: str) -> str:
    return to_hiragana(text)


# ---------------------------------------------------------------- numbers

_DIGITS = ["", "いち", "に", "さん", "よん", "ご", "ろく", "なな", "はち", "きゅう"]
_HUNDREDS = {3: "さんびゃく", 6: "ろっぴゃく", 8: "はっぴゃく"}
_THOUSANDS = {3: "さんぜん", 8: "はっせん"}


def _below_10000(n: int) -> str:
    parts = []
    thousands, hundreds, tens, ones = n // 1000, n // 100 % 10, n // 10 % 10, n % 10
    if thousands:
        parts.append("せん" if thousands == 1 else _THOUSANDS.get(thousands, _DIGITS[thousands] + "せん"))
    if hundreds:
        parts.append("ひゃく" if hundreds == 1 else _HUNDREDS.get(hundreds, _DIGITS[hundreds] + "ひゃく"))
    if tens:
        parts.append("じゅう" if tens == 1 else _DIGITS[tens] + "じゅう")
    if ones:
        parts.append(_DIGITS[ones])
    return "".join(parts)


def number_reading(digits: str) -> str:
    """How a number written in digits is read on its own (28 にじゅうはち, 5万 ごまん)."""
    n = int(unicodedata.normalize("NFKC", digits))
    if n == 0:
        return "ゼロ"
    parts = []
    for unit, name in ((10**8, "おく"), (10**4, "まん")):
        if n >= unit:
            parts.append(_below_10000(n // unit) + name)
            n %= unit
    parts.append(_below_10000(n))
    return "".join(parts)


# ---------------------------------------------------------------- romaji

_ROMAJI = {
    "あ": "a", "い": "i", "う": "u", "え": "e", "お": "o",
    "か": "ka", "き": "ki", "く": "ku", "け": "ke", "こ": "ko",
    "さ": "sa", "し": "shi", "す": "su", "せ": "se", "そ": "so",
    "た": "ta", "ち": "chi", "つ": "tsu", "て": "te", "と": "to",
    "な": "na", "に": "ni", "ぬ": "nu", "ね": "ne", "の": "no",
    "は": "ha", "ひ": "hi", "ふ": "fu", "へ": "he", "ほ": "ho",
    "ま": "ma", "み": "mi", "む": "mu", "め": "me", "も": "mo",
    "や": "ya", "ゆ": "yu", "よ": "yo",
    "ら": "ra", "り": "ri", "る": "ru", "れ": "re", "ろ": "ro",
    "わ": "wa", "ゐ": "i", "ゑ": "e", "を": "o", "ん": "n",
    "が": "ga", "ぎ": "gi", "ぐ": "gu", "げ": "ge", "ご": "go",
    "ざ": "za", "じ": "ji", "ず": "zu", "ぜ": "ze", "ぞ": "zo",
    "だ": "da", "ぢ": "ji", "づ": "zu", "で": "de", "ど": "do",
    "ば": "ba", "び": "bi", "ぶ": "bu", "べ": "be", "ぼ": "bo",
    "ぱ": "pa", "ぴ": "pi", "ぷ": "pu", "ぺ": "pe", "ぽ": "po",
    "ぁ": "a", "ぃ": "i", "ぅ": "u", "ぇ": "e", "ぉ": "o", "ゎ": "wa", "ゔ": "vu",
    "ゃ": "ya", "ゅ": "yu", "ょ": "yo",
}
# A kana followed by a small ya/yu/yo, or by a small vowel in loanwords (ティ, ファ).
_DIGRAPH_STEMS = {"し": "sh", "ち": "ch", "じ": "j", "ぢ": "j"}
_SMALL_VOWEL_WORDS = {
    "てぃ": "ti", "でぃ": "di", "とぅ": "tu", "どぅ": "du", "ふぁ": "fa", "ふぃ": "fi", "ふぇ": "fe",
    "ふぉ": "fo", "うぃ": "wi", "うぇ": "we", "うぉ": "wo", "ゔぁ": "va", "ゔぃ": "vi", "ゔぇ": "ve",
    "ゔぉ": "vo", "しぇ": "she", "ちぇ": "che", "じぇ": "je", "つぁ": "tsa", "つぃ": "tsi",
    "つぇ": "tse", "つぉ": "tso", "いぇ": "ye", "てゅ": "tyu", "でゅ": "dyu", "ふゅ": "fyu",
}
_MACRON = {"a": "ā", "i": "ī", "u": "ū", "e": "ē", "o": "ō"}
_PUNCTUATION_ROMAJI = {"、": ",", "。": ".", "？": "?", "！": "!", "?": "?", "!": "!", ",": ",", ".": "."}


def _syllables(kana: str) -> List[Tuple[str, int]]:
    """Hepburn syllables of a hiragana string, each with the index of its first kana."""
    out: List[Tuple[str, int]] = []
    i = 0
    while i < len(kana):
        pair, c = kana[i : i + 2], kana[i]
        if pair in _SMALL_VOWEL_WORDS:
            out.append((_SMALL_VOWEL_WORDS[pair], i))
            i += 2
        elif len(pair) == 2 and pair[1] in "ゃゅょ" and c in _ROMAJI and c not in "ゃゅょぁぃぅぇぉ":
            stem = _DIGRAPH_STEMS.get(c) or _ROMAJI[c][:-1] + "y"
            out.append((stem + _ROMAJI[pair[1]][1:], i))
            i += 2
        else:
            out.append((_ROMAJI.get(c, c), i))
            i += 1
    return out


def romaji_of(kana: str, long_marks: Sequence[bool] = ()) -> str:
    """Hepburn romaji of a hiragana reading. A kana whose long mark is set lengthens the
    vowel before it (a macron), and so does ー. っ doubles the next consonant and ん
    takes an apostrophe before a vowel or y."""
    marks = list(long_marks) + [False] * (len(kana) - len(long_marks))
    units = ["ー" if marks[i] and unit not in ("っ", "n") else unit for unit, i in _syllables(kana)]
    text = ""
    for i, unit in enumerate(units):
        following = units[i + 1] if i + 1 < len(units) else ""
        if unit == "ー":
            if text and text[-1] in _MACRON:
                text = text[:-1] + _MACRON[text[-1]]
        elif unit == "っ":
            if following.startswith("ch"):
                text += "t"
            elif following[:1].isalpha() and following[:1] not in "aiueo":
                text += following[0]
        elif unit == "n" and following[:1] in ("a", "i", "u", "e", "o", "y"):
            text += "n'"
        else:
            text += unit
    return text


def _rule_long_marks(kana: str) -> List[bool]:
    """Long vowels by rule, for readings that did not come from MeCab: おう, おお and うう."""
    marks = [False] * len(kana)
    for i in range(1, len(kana)):
        before = _ROMAJI.get(kana[i - 1], "")
        if (kana[i] == "う" and before.endswith(("o", "u"))) or (kana[i] == "お" and before.endswith("o")):
            if not marks[i - 1]:
                marks[i] = True
    return marks


def _spoken(reading: str, pronunciation: str) -> str:
    """The reading with the particles は, へ and を as they are spoken (wa, e, o)."""
    if len(reading) != len(pronunciation):
        return reading
    return "".join(p if (r, p) in (("は", "わ"), ("へ", "え"), ("を", "お")) else r for r, p in zip(reading, pronunciation))


def _pronunciation_long_marks(reading: str, pronunciation: str) -> List[bool] | None:
    """Where MeCab's pronunciation has ー in place of a kana of the reading (トウキョウ → トーキョー)."""
    if len(reading) != len(pronunciation):
        return None
    return [p == "ー" and r != "ー" for r, p in zip(reading, pronunciation)]


# ---------------------------------------------------------------- alignment


def _is_latin(c: str) -> bool:
    return unicodedata.normalize("NFKC", c).isascii() and unicodedata.normalize("NFKC", c).isalpha()


def align(written: str, reading: str, read_latin: bool = False) -> List[Segment] | None:
    """The written word cut into runs, each run of kanji with its part of the reading as ruby.

    The word's own kana must stand in the reading in order; anything else (punctuation,
    and Latin letters unless read_latin, as in a correction ＩＣ|アイシー) must stand there
    as written. None when the reading does not fit."""
    runs: List[Tuple[str, str]] = []
    for c in written:
        kind = "r" if needs_reading(c) or (read_latin and _is_latin(c)) else "k" if is_kana(c) else "o"
        if runs and runs[-1][0] == kind:
            runs[-1] = (kind, runs[-1][1] + c)
        else:
            runs.append((kind, c))
    pattern = "".join("(.+?)" if kind == "r" else "(" + re.escape(_fold(text)) + ")" for kind, text in runs)
    match = re.fullmatch(pattern, _fold(reading))
    if match is None:
        return None
    # Folding keeps every kana in its place, so the ruby is taken from the reading as written.
    return [Segment(text, reading[match.start(i + 1) : match.end(i + 1)] if kind == "r" else "")
            for i, (kind, text) in enumerate(runs)]


@dataclass(frozen=True)
class _Word:
    surface: str
    reading: str  # hiragana, the written kana kept as written
    spoken: str  # the reading with the particles は, へ, を as spoken (わ, え, お), for romaji
    long_marks: Tuple[bool, ...]  # per kana of the reading: it lengthens the vowel before it
    pos: Tuple[str, ...]
    corrected: bool = False
    base: str = ""  # dictionary form, to tell the spoken contractions (てる, ちゃう) apart


def _word(token: Token, following: Token | None) -> _Word:
    """One of MeCab's words with its reading; digits are read by the number reader."""
    surface = token.surface
    if all(c.isdigit() for c in surface):
        if following is not None and following.pos[0] not in ("助詞", "記号"):
            # A counter (通, 日, 人前, つ) or a unit (万) changes how both are read.
            after = following.surface
            run = re.match(r"[^\u3041-\u30ff]+|[\u3041-\u30ff]", after)
            written = surface + (after if run is None or following.pos[1:2] == ("数",) else run.group(0))
            raise ReadingError(
                f"数字和量词“{written}”的读法要人工确认（有音变，如 1通 いっつう、3日 みっか），"
                f"请在 {os.path.basename(CORRECTIONS_FILE)} 里加一行“{written}|读音”"
            )
        reading = number_reading(surface)
        return _Word(surface, reading, reading, tuple(_rule_long_marks(reading)), token.pos, base=token.base)
    if any(needs_reading(c) for c in surface):
        if not token.reading or token.reading == "*":
            raise ReadingError(
                f"MeCab 不认识“{surface}”，给不出读音，请在 {os.path.basename(CORRECTIONS_FILE)} 里加一行“{surface}|读音”"
            )
        reading = _fold(token.reading)
    else:
        reading = _fold(surface)  # kana, punctuation and Latin letters stand as written
    pronunciation = "" if token.pronunciation in ("", "*") else _fold(token.pronunciation)
    marks = _pronunciation_long_marks(reading, pronunciation) if pronunciation else None
    if marks is None:
        marks = _rule_long_marks(reading)
    if surface == "う" and token.pos[:1] == ("助動詞",):
        marks = [True]  # the volitional ending: ikimashō, ikō
    return _Word(surface, reading, _spoken(reading, pronunciation), tuple(marks), token.pos, base=token.base)


# Spoken contractions of ている, てしまう, ておく and ていく, written as one word with the verb.
_SPOKEN_CONTRACTIONS = frozenset({"てる", "でる", "ちゃう", "じゃう", "ちまう", "じまう", "とく", "どく", "てく", "でく"})


def _word_break(previous: _Word | None, word: _Word) -> bool:
    """Whether the romaji starts a new word here: particles, です and ください stand apart,
    endings and suffixes join the word before them (nomitai desu, matte kudasai)."""
    if previous is None or previous.pos[:1] == ("接頭詞",):
        return False
    glued_to_predicate = previous.pos[:1] in (("動詞",), ("形容詞",), ("助動詞",))
    after_te = previous.pos[:2] == ("助詞", "接続助詞") and previous.surface in ("て", "で")
    if word.base in _SPOKEN_CONTRACTIONS and (glued_to_predicate or after_te):
        return False  # shiteru, tabechatta, mitenai, ittoku, mattete
    if word.base == "ない" and previous.pos[1:2] == ("ナイ形容詞語幹",):
        return False  # shōganai, mottainai
    if word.pos[:1] == ("助動詞",):
        return word.surface.startswith("です") or not glued_to_predicate
    if word.pos[1:2] == ("接尾",):
        return False
    if word.pos[:2] == ("助詞", "接続助詞") and word.surface in ("て", "で", "ば", "たり", "だり"):
        return not glued_to_predicate
    return True


class ReadingMaker:
    """Makes the reading of each phrase; raises ReadingError with the reason when it cannot."""

    def __init__(self, corrections: Sequence[Correction], analyser: JapaneseAnalyser | None = None):
        self.corrections: Dict[Tuple[str, str], Correction] = {(c.written, c.meaning): c for c in corrections}
        self.analyser = analyser or JapaneseAnalyser()
        self.used: Dict[Tuple[str, str], int] = {}
        self._longest = max((len(c.written) for c in corrections), default=0)

    @classmethod
    def from_file(cls, path: str = CORRECTIONS_FILE) -> "ReadingMaker":
        return cls(read_corrections(path))

    def _correction_at(self, phrase: str, start: int, meaning: str, boundaries: Set[int]) -> Correction | None:
        """The longest correction that starts here and ends where one of MeCab's words ends:
        a correction never cuts a word in two (5時 does not apply inside 5時間)."""
        for length in range(min(self._longest, len(phrase) - start), 0, -1):
            if start + length not in boundaries:
                continue
            written = phrase[start : start + length]
            found = self.corrections.get((written, meaning)) or self.corrections.get((written, ""))
            if found:
                self.used[(found.written, found.meaning)] = self.used.get((found.written, found.meaning), 0) + 1
                return found
        return None

    def _words(self, phrase: str, meaning: str) -> List[_Word]:
        tokens: List[Token] = []
        starts: List[int] = []
        position = 0
        for token in self.analyser.tokens(phrase):
            found = phrase.find(token.surface, position)
            if found < 0:
                raise ReadingError(f"MeCab 切出的“{token.surface}”在原文里找不到")
            if found > position:  # MeCab skips blanks; they stay in the phrase as written
                starts.append(position)
                tokens.append(Token(phrase[position:found], ("記号", "空白", "*", "*"), "*", "*", "", True))
            starts.append(found)
            tokens.append(token)
            position = found + len(token.surface)
        if position != len(phrase):
            starts.append(position)
            tokens.append(Token(phrase[position:], ("記号", "空白", "*", "*"), "*", "*", "", True))
        boundaries = set(starts) | {len(phrase)}
        words: List[_Word] = []
        index = 0
        while index < len(tokens):
            correction = self._correction_at(phrase, starts[index], meaning, boundaries)
            if correction:
                reading = correction.reading
                end = starts[index] + len(correction.written)
                # A correction of one word keeps its part of speech, so that its endings join it (azuketai).
                one_word = index + 1 == len(tokens) or starts[index + 1] >= end
                pos = tokens[index].pos if one_word else ("名詞",)
                words.append(_Word(correction.written, reading, _fold(reading), tuple(_rule_long_marks(_fold(reading))), pos, True))
                while index < len(tokens) and starts[index] < end:
                    index += 1
                continue
            words.append(_word(tokens[index], tokens[index + 1] if index + 1 < len(tokens) else None))
            index += 1
        return words

    def read(self, phrase: str, meaning: str = "", reading_line: bool = False) -> Reading:
        """reading_line: the phrase is the list's kana reading of one word (じゅうみんひょう).
        MeCab cuts such kana into nonsense (か|ぞ|く, は|ち read as a particle), so its romaji
        is spelled whole between punctuation marks, the long vowels by rule."""
        if reading_line and all(is_kana(c) or c in _PUNCTUATION_ROMAJI or c.isspace() for c in phrase):
            return self._read_kana_line(phrase)
        segments: List[Segment] = []
        romaji: List[str] = []  # finished words and punctuation
        kana, marks = "", []  # the word being spelled
        previous = None
        for word in self._words(phrase, meaning):
            aligned = align(word.surface, word.reading, word.corrected)
            if aligned is None:
                raise ReadingError(f"“{word.surface}”的读音“{word.reading}”没有按原样保留它的假名")
            for segment in aligned:
                if any(needs_reading(c) for c in segment.text) and not segment.ruby:
                    raise ReadingError(f"“{segment.text}”没有读音")
                if segments and not segment.ruby and not segments[-1].ruby:
                    segments[-1] = Segment(segments[-1].text + segment.text, "")
                else:
                    segments.append(segment)
            spelled = word.corrected or any(is_kana(c) or needs_reading(c) for c in word.surface)
            # A word that ends in っ doubles the first consonant of the next one (itte, yatteru):
            # the two are spelled together.
            if not spelled or (_word_break(previous, word) and not kana.endswith("っ")):
                if kana:
                    romaji.append(romaji_of(kana, marks))
                kana, marks = "", []
            if spelled:
                kana += word.spoken
                marks += list(word.long_marks) + [False] * (len(word.reading) - len(word.long_marks))
                previous = word
            else:
                romaji.append(_romaji_of_symbols(word.surface))
                previous = None
        if kana:
            romaji.append(romaji_of(kana, marks))
        return Reading(tuple(segments), _join_words(romaji))


    @staticmethod
    def _read_kana_line(phrase: str) -> Reading:
        words: List[str] = []
        for run in re.split(r"([、。？！?!,.\s]+)", phrase):
            if not run:
                continue
            if all(is_kana(c) for c in run):
                kana = _fold(run)
                words.append(romaji_of(kana, _rule_long_marks(kana)))
            else:
                words.append(_romaji_of_symbols(run.strip()))
        return Reading((Segment(phrase, ""),), _join_words(words))


def _romaji_of_symbols(text: str) -> str:
    """Punctuation as romaji writes it; Latin letters and digits as written; other marks dropped."""
    return "".join(_PUNCTUATION_ROMAJI.get(c, c if c.isascii() and c.isalnum() else "") for c in text)


def _join_words(words: Sequence[str]) -> str:
    text = ""
    for word in words:
        if not word:
            continue
        if text and not (word in ",.?!" or all(c in ",.?!" for c in word)):
            text += " "
        text += word
    return text


def read_corrections(path: str = CORRECTIONS_FILE) -> List[Correction]:
    """The table: one ``written|reading`` a line, # comments. Each line is checked as it is read:
    its reading must keep the written kana in order and read every kanji."""
    corrections: List[Correction] = []
    problems: List[str] = []
    name = os.path.basename(path)
    with open(path, encoding="utf-8-sig") as file:
        for number, line in enumerate(file, 1):
            text = line.split("#", 1)[0].strip()
            if not text:
                continue
            parts = [part.strip() for part in text.split("|")]
            if len(parts) not in (2, 3) or not parts[0] or not parts[1]:
                problems.append(f"{name}:{number}: 应为“写法|读音”或“写法|读音|中文意思”")
                continue
            written, reading = parts[:2]
            meaning = parts[2] if len(parts) == 3 else ""
            if not all(is_kana(c) for c in reading):
                problems.append(f"{name}:{number}: 读音“{reading}”应只有假名")
                continue
            aligned = align(written, reading, True)
            if aligned is None or any(not s.ruby and any(needs_reading(c) for c in s.text) for s in aligned):
                problems.append(f"{name}:{number}: 读音“{reading}”没有按原样保留“{written}”的假名，或有汉字没有读音")
                continue
            corrections.append(Correction(written, reading, number, meaning))
    if problems:
        raise ReadingError("\n".join(problems))
    written_twice = sorted(
        {c.written for c in corrections if sum((d.written, d.meaning) == (c.written, c.meaning) for d in corrections) > 1}
    )
    if written_twice:
        raise ReadingError(f"{name}: 这些写法出现了两次：{'、'.join(written_twice)}")
    return corrections
