"""Chinese and Japanese language data from Debian, for the phrase-list checks.

* Chinese words and their toneless pinyin come from rime-data-luna-pinyin's
  luna_pinyin.table.txt (traditional characters, one word a line with its
  pinyin syllables and a weight that grows with how common the word is).
* OpenCC's command-line converter brings traditional characters to simplified
  ones (t2s) and Japanese shinjitai to traditional ones first (jp2t).
* MeCab with mecab-ipadic-utf8, through Debian's python3-mecab, analyses the
  Japanese phrases.

Each tool is used in batches and each answer is kept, because the whole list is
checked on every test run.
"""

from __future__ import annotations

import subprocess
import unicodedata
from collections import defaultdict
from dataclasses import dataclass
from typing import Dict, Iterable, List, Sequence, Set, Tuple

LUNA_PINYIN_TABLE = "/usr/share/rime-data/build/luna_pinyin.table.txt"


class LanguageDataError(RuntimeError):
    """A tool or data file is missing; the message says which Debian package brings it."""


def is_han(character: str) -> bool:
    return unicodedata.name(character, "").startswith("CJK UNIFIED IDEOGRAPH") or character in "〇々"


def is_kana(character: str) -> bool:
    name = unicodedata.name(character, "")
    return name.startswith(("HIRAGANA", "KATAKANA")) or character == "ー"


def to_hiragana(text: str) -> str:
    return "".join(chr(ord(c) - 0x60) if "ァ" <= c <= "ヶ" else c for c in text)


def is_everyday_simplified(text: str) -> bool:
    try:
        text.encode("gb2312")
    except UnicodeEncodeError:
        return False
    return True


def is_punctuation(character: str) -> bool:
    return unicodedata.category(character)[0] in "PSZ"


def without_punctuation(text: str) -> str:
    return "".join(c for c in text if not is_punctuation(c))


# ---------------------------------------------------------------- OpenCC


def opencc(lines: Sequence[str], *configs: str) -> List[str]:
    """Converts every line with the given OpenCC configurations in turn, one process each."""
    if not lines:
        return []
    result = list(lines)
    for config in configs:
        try:
            done = subprocess.run(
                ["opencc", "-c", config],
                input="\n".join(result) + "\n",
                capture_output=True,
                text=True,
                encoding="utf-8",
                check=True,
            )
        except FileNotFoundError:
            raise LanguageDataError("找不到 opencc 命令（Debian 软件包 opencc）") from None
        except subprocess.CalledProcessError as error:
            raise LanguageDataError(f"opencc -c {config} 失败：{error.stderr.strip()}") from None
        converted = done.stdout.split("\n")
        if converted and converted[-1] == "":
            converted.pop()
        if len(converted) != len(result):
            raise LanguageDataError(f"opencc -c {config} 返回的行数与输入不同")
        result = converted
    return result


# ---------------------------------------------------------------- luna-pinyin


@dataclass(frozen=True)
class ChineseWord:
    word: str  # simplified
    weight: float


_tables: Dict[str, Tuple[Dict[str, Set[str]], Dict[str, List[Tuple[str, float]]]]] = {}


def _read_table(path: str) -> Tuple[Dict[str, Set[str]], Dict[str, List[Tuple[str, float]]]]:
    """Reads the table once per process: character readings (traditional and simplified
    characters alike) and the words by joined pinyin, in traditional characters."""
    if path in _tables:
        return _tables[path]
    char_readings: Dict[str, Set[str]] = defaultdict(set)
    words: Dict[str, List[Tuple[str, float]]] = defaultdict(list)
    try:
        source = open(path, encoding="utf-8")
    except OSError as error:
        raise LanguageDataError(f"无法读取 {path}：{error.strerror}（Debian 软件包 rime-data-luna-pinyin）") from None
    with source:
        for line in source:
            parts = line.rstrip("\n").split("\t")
            if len(parts) < 2 or line.startswith("#"):
                continue
            word, syllables = parts[0], parts[1]
            if len(word) == 1:
                char_readings[word].update(syllables.split(" "))
            weight = float(parts[2]) if len(parts) > 2 and parts[2] else 0.0
            words[syllables.replace(" ", "")].append((word, weight))
    if not char_readings:
        raise LanguageDataError(f"{path} 里没有任何词（Debian 软件包 rime-data-luna-pinyin）")
    traditional = sorted(char_readings)
    readings: Dict[str, Set[str]] = defaultdict(set)
    for original, simplified in zip(traditional, opencc(traditional, "t2s.json")):
        readings[original] |= char_readings[original]
        if len(simplified) == 1:
            readings[simplified] |= char_readings[original]
    _tables[path] = (dict(readings), dict(words))
    return _tables[path]


class PinyinTable:
    """The words of luna-pinyin that the checks need, in simplified characters.

    ``readings`` maps every character to the toneless syllables it can be read
    with; ``words`` maps a run of joined syllables (as a key spells it) to the
    words pronounced exactly so."""

    def __init__(self, readings: Dict[str, Set[str]], words: Dict[str, List[ChineseWord]]):
        self.readings = readings
        self.words = words

    @classmethod
    def load(cls, keys: Iterable[str], path: str = LUNA_PINYIN_TABLE) -> "PinyinTable":
        """The readings of every character and the words whose joined pinyin is one of the keys."""
        readings, words_by_pinyin = _read_table(path)
        found = [(joined, word, weight) for joined in set(keys) for word, weight in words_by_pinyin.get(joined, [])]
        words: Dict[str, List[ChineseWord]] = defaultdict(list)
        for (joined, _, weight), simplified in zip(found, opencc([word for _, word, _ in found], "t2s.json")):
            words[joined].append(ChineseWord(simplified, weight))
        return cls(readings, dict(words))

    def syllable_count(self, key: str, meaning: str) -> int | None:
        """How many syllables the key spells its meaning with, or None when it does not spell it.

        Every Chinese character of the meaning must be read, in order, by one of its
        readings; punctuation is not read. Any reading of a polyphonic character counts."""
        characters = [c for c in meaning if not is_punctuation(c)]
        reachable = {0}
        for character in characters:
            options = self.reading_options(character)
            reachable = {
                start + len(reading) for start in reachable for reading in options if key.startswith(reading, start)
            }
            if not reachable:
                return None
        return len(characters) if len(key) in reachable else None

    def reading_options(self, character: str) -> Set[str]:
        """The syllables a character is typed with. A Latin letter in a Chinese word (AA制) is
        typed as itself."""
        if "A" <= character <= "Z" or "a" <= character <= "z":
            return {character.lower()}
        return self.readings.get(character, set())

    def unreadable(self, meaning: str) -> List[str]:
        """The characters of the meaning that have no pinyin reading."""
        return [c for c in meaning if not is_punctuation(c) and not self.reading_options(c)]

    def homophones(self, key: str, meaning: str) -> List[ChineseWord]:
        """The Chinese words other than the meaning whose pinyin is exactly the key, most common first.

        Words that cannot be written in GB2312, the character set of everyday simplified
        Chinese, are traditional or variant spellings (妳好, 裡面) that a mainland typist
        does not meet, so they do not count."""
        own = without_punctuation(meaning)
        best: Dict[str, float] = {}
        for word in self.words.get(key, []):
            if word.word != own and is_everyday_simplified(word.word):
                best[word.word] = max(best.get(word.word, 0.0), word.weight)
        return sorted((ChineseWord(w, f) for w, f in best.items()), key=lambda w: (-w.weight, w.word))

    def is_word(self, key: str) -> bool:
        return bool(self.words.get(key))


# ---------------------------------------------------------------- MeCab


@dataclass(frozen=True)
class Token:
    surface: str
    pos: Tuple[str, ...]  # part of speech and its three subdivisions
    form: str  # conjugation form (基本形, 連用形...), "*" for words that do not conjugate
    base: str  # dictionary form, "*" when unknown
    reading: str  # katakana, "" when MeCab has none
    known: bool
    pronunciation: str = ""  # katakana as spoken (トーキョー for トウキョウ, ワ for the particle は)


class JapaneseAnalyser:
    def __init__(self) -> None:
        try:
            import MeCab  # Debian's python3-mecab; run with /usr/bin/python3
        except ImportError:
            raise LanguageDataError("找不到 Python 模块 MeCab（Debian 软件包 python3-mecab，用 /usr/bin/python3 运行）") from None
        try:
            self._tagger = MeCab.Tagger()
        except RuntimeError as error:
            raise LanguageDataError(f"MeCab 无法启动（Debian 软件包 mecab-ipadic-utf8）：{error}") from None
        self._tagger.parse("")  # makes node surfaces valid in the Python binding
        self._unknown = MeCab.MECAB_UNK_NODE
        self._cache: Dict[str, List[Token]] = {}

    def tokens(self, text: str) -> List[Token]:
        cached = self._cache.get(text)
        if cached is not None:
            return cached
        result: List[Token] = []
        node = self._tagger.parseToNode(text)
        while node:
            if node.surface:
                features = node.feature.split(",")
                pos = tuple((features + ["*"] * 4)[:4])
                form = features[5] if len(features) > 5 else "*"
                base = features[6] if len(features) > 6 else "*"
                reading = features[7] if len(features) > 7 else ""
                pronunciation = features[8] if len(features) > 8 else ""
                result.append(
                    Token(node.surface, pos, form, base, reading, node.stat != self._unknown, pronunciation)
                )
            node = node.next
        self._cache[text] = result
        return result
