#!/usr/bin/env python3
"""Writes the phrase list for other pinyin input methods, from the built date.dat.

Usage: make_exports.py DATE_DAT OUTPUT_DIR [--luna-table TABLE]

date.dat is read back (make_date_dat.parse_date_dat), so every input method
gets exactly the entries that Kanaroute installs. OUTPUT_DIR receives:

* ``Rime/kanaroute_phrase.txt`` and ``Rime/luna_pinyin_simp.custom.yaml``:
  a phrase table of its own (phrase TAB code TAB weight, UTF-8, in the form of
  Rime's custom_phrase.txt) and the schema patch that adds a translator for it
  and places its phrases among the Chinese words. The user's own
  custom_phrase.txt, and the weight the schema gives it, are left alone.
  Written only when TABLE (Rime's luna_pinyin.table.txt) is given, because the
  weights are worked out from the Chinese words that share each key.
* ``微软拼音/*.dat``: Microsoft Pinyin user-defined-phrase files: the recommended
  set (recommended_keys) in MS_PINYIN_RECOMMENDED_FILE, at most
  RECOMMENDED_MAX_ENTRIES entries, and the other entries by sets of categories
  (MS_PINYIN_FILES), each small enough that the recommended file and any one
  of them stay within MS_PINYIN_MAX_ENTRIES.
* ``苹果设备/*.plist``: macOS text replacements (a property list of
  ``phrase``/``shortcut`` pairs, the form the Text Replacements list exports
  and imports by drag and drop), one for the recommended set and one with
  every entry. Text replacements have no candidate positions.
* ``QQ输入法和百度输入法/日语短语.txt``: ``code=position,phrase`` lines in
  UTF-16LE with a byte-order mark and CR LF, the text form that QQ输入法 and
  百度输入法 import.

Each file is written whole or not at all; on a fault nothing is changed and
the message names the file.

How Rime orders the candidates (librime 1.8 with luna_pinyin_simp, measured
here): among the candidates that span the whole input, the higher quality comes
first. A luna-pinyin word with table weight W has the quality W / 10^8; a
custom phrase's quality grows in proportion to its weight, which Rime keeps
with six significant digits (see RIME_QUALITY_PER_DEE), plus initial_quality
and 0.5. The patch sets initial_quality to RIME_INITIAL_QUALITY, so that a phrase can
be placed below as well as above any Chinese word. A phrase in slot s is
preceded, in date.dat, by s - 1 candidates: the key's earlier Japanese phrases
and Chinese words. The weight puts it right after that many of the key's
Chinese words, the most common first, counting Rime's sentence as the Chinese
word when the key spells no single word. So the order within a key follows
the slots, and the Chinese word that a key's pinyin stands for stays first.
The patch also keeps the simplifier away from the phrases: it would turn the
Japanese kanji of 頑張って into 顽张って. The filter's options sit under
``simplifier:`` in older luna-pinyin schemas and under ``zh_hans:`` in current
ones (``simplifier@zh_hans``), so the patch appends the phrases' candidate type
to the excluded types under both names, keeping what the schema lists there.

The Microsoft Pinyin file follows the user-defined-phrase lexicon that
Microsoft Pinyin exports since Windows 10 version 1703 (the same on
Windows 11), as described publicly: a 64-byte header (magic ``mschxudp``,
version words 0x00600002 and 1, the offsets of the offset table and of the
entries, the file length, the entry count, an export time in Unix seconds),
a table of each entry's offset from the first entry, then the entries:
0x00100010, the entry's byte length up to its phrase (u16), the candidate
position (u8), 0x06, four zero bytes, a time stamp (seconds since
2010-01-01), the code and the phrase, each UTF-16LE ending in a 0 code unit.
All integers are little-endian. The times are fixed, so a build always gives
the same bytes.
"""

from __future__ import annotations

import argparse
import calendar
import math
import os
import plistlib
import struct
import sys
from collections import defaultdict
from dataclasses import dataclass
from typing import Dict, Iterable, List, Sequence, Tuple

import make_date_dat

RIME_FOLDER = "Rime"
RIME_TRANSLATOR = "kanaroute_phrase"
RIME_TABLE_NAME = RIME_TRANSLATOR + ".txt"
RIME_PATCH_NAME = "luna_pinyin_simp.custom.yaml"
MS_PINYIN_FOLDER = "微软拼音"
APPLE_FOLDER = "苹果设备"
APPLE_RECOMMENDED_NAME = "推荐短语.plist"
APPLE_ALL_NAME = "全部短语.plist"
TEXT_FORM_FOLDER = "QQ输入法和百度输入法"
TEXT_FORM_NAME = "日语短语.txt"

# The recommended set: the phrases a newcomer needs most, from every category, small enough to
# leave room beside it. Each category gets a share of RECOMMENDED_MAX_ENTRIES in proportion to its
# entries, and fills it with whole keys (a kanji word keeps its reading, a polite form its casual
# one), the shortest keys first (the basic words and short phrases of the topic; ties in list
# order).
RECOMMENDED_MAX_ENTRIES = 3000

# Microsoft Pinyin is reported to keep about 5,000 user-defined phrases in all (with many more it
# was seen to hang). So the recommended set is a file of its own, and the other entries are split
# by category into files that each make sense on their own and that fit beside it: the
# recommended file plus any one other stays within MS_PINYIN_MAX_ENTRIES. A category (a heading of
# date.dat) that this table does not name goes to MS_PINYIN_DEFAULT_FILE, so a new category never
# needs a new file.
MS_PINYIN_MAX_ENTRIES = 5000
MS_PINYIN_MORE_MAX_ENTRIES = MS_PINYIN_MAX_ENTRIES - RECOMMENDED_MAX_ENTRIES
MS_PINYIN_RECOMMENDED_FILE = "推荐短语.dat"
MS_PINYIN_FILES = {
    "更多-日常会话.dat": (
        "问候与礼貌",
        "自我介绍",
        "应答、请求与提问",
        "数字、价格与量词",
        "时间、日期与星期",
        "网络聊天与追星",
        "天气与季节",
        "心情与感受",
        "家人与人物",
        "罗马字输入",
        "节日与祝福",
    ),
    "更多-旅行.dat": (
        "问路与方向",
        "交通",
        "酒店与住宿",
        "餐厅与饮食",
        "购物与付款",
        "紧急情况与健康",
        "观光与爱好",
    ),
    "更多-在日本生活学习和工作.dat": (
        "日常起居",
        "课堂与学日语",
        "工作、办公与邮件",
    ),
}
MS_PINYIN_DEFAULT_FILE = "更多-在日本生活学习和工作.dat"

# ---------------------------------------------------------------- the entries


@dataclass(frozen=True)
class Phrase:
    key: str
    position: int
    phrase: str
    category: str = ""  # the date.dat heading the entry stands under


def group_by_key(entries: Iterable[Phrase]) -> Dict[str, List[Phrase]]:
    """The entries of each key in slot order; keys in order of first appearance."""
    keys: Dict[str, List[Phrase]] = {}
    for entry in entries:
        keys.setdefault(entry.key, []).append(entry)
    for phrases in keys.values():
        phrases.sort(key=lambda p: p.position)
    return keys


# ---------------------------------------------------------------- Rime

# A luna-pinyin word's quality is its table weight / RIME_WORD_SCALE. A custom phrase's quality
# is RIME_QUALITY_PER_DEE * (weight + 1) / 10^8 + RIME_QUALITY_SHIFT: Rime turns the weight into a
# "dee" of (weight + 1) / 10^8, keeps it with six significant digits, lets it age by one tick
# (e^-0.005) and scales it by 0.5 (1 - e^-0.005) and e.
RIME_WORD_SCALE = 1e8
RIME_DEE_SCALE = 1e8
RIME_QUALITY_PER_DEE = 0.5 * math.e * math.exp(-0.005) * (1 - math.exp(-0.005))
RIME_QUALITY_SHIFT = -1e-7
RIME_INITIAL_QUALITY = "-0.5000001"  # -0.5 + RIME_QUALITY_SHIFT; Rime adds 0.5 to user tables
RIME_DEE_DIGITS = 6
# The phrases that come before every Chinese word (slot 1 of a romaji key): a dee of 1.9, the
# quality of a word with a table weight of about 1.3 million, three times the most common word
# that spans two syllables. Rime's formula stays linear below a dee of 20.
RIME_TOP_TARGET = 1.9 * RIME_QUALITY_PER_DEE * RIME_WORD_SCALE
# Below every Chinese candidate, also below Rime's sentences (whose quality is above 0).
RIME_BELOW_ALL = -1.0

RIME_HEADER = (
    "# Rime table",
    "# coding: utf-8",
    f"#@/db_name\t{RIME_TABLE_NAME}",
    "#@/db_type\ttabledb",
    "#",
    "# Kanaroute 日语常用短语（Rime 用的短语表，不影响您自己的 custom_phrase.txt）",
    "# 放进 Rime 用户文件夹，同时放入 luna_pinyin_simp.custom.yaml，然后重新部署。",
    "# 各栏以制表符分隔：短语、编码、权重（权重决定同一编码下的先后）。",
    "#",
    "# no comment",
)

# A table translator's phrases are candidates of the type user_table (the user's own
# custom_phrase.txt gives the same type). "/+" appends to a list that the schema already has.
RIME_PATCH = """\
# Kanaroute：加入日语短语表 {table}，让日语排在中文词后面，并保持日语原样。
# 和 {table} 一起放进 Rime 用户文件夹，然后重新部署。
# 如果文件夹里已有 luna_pinyin_simp.custom.yaml，不要覆盖它：
# 把下面 patch: 之后的各行（到文件末尾）加到原文件的 patch: 下面。
patch:
  engine/translators/+:
    - table_translator@{translator}
  {translator}:
    dictionary: ""
    user_dict: {translator}
    db_class: stabledb
    enable_completion: false
    enable_sentence: false
    initial_quality: {quality}
  simplifier/excluded_types/+: [user_table]
  zh_hans/excluded_types/+: [user_table]
"""


def read_word_weights(table_path: str, keys: Iterable[str]) -> Dict[str, List[float]]:
    """The table weights of the luna-pinyin words whose joined pinyin is one of the keys, largest first."""
    wanted = set(keys)
    weights: Dict[str, List[float]] = defaultdict(list)
    with open(table_path, encoding="utf-8") as table:
        for line in table:
            if line.startswith("#"):
                continue
            parts = line.rstrip("\n").split("\t")
            if len(parts) < 2:
                continue
            joined = parts[1].replace(" ", "")
            if joined in wanted:
                weights[joined].append(float(parts[2]) if len(parts) > 2 and parts[2] else 0.0)
    return {key: sorted(found, reverse=True) for key, found in weights.items()}


def _weight_for(target: float, rank: int) -> int:
    """The custom-phrase weight whose quality equals a word of the target table weight, less rank
    steps in the last of the six digits that Rime keeps, so that phrases of one key stay apart."""
    quality = target / RIME_WORD_SCALE
    dee_units = (quality - RIME_QUALITY_SHIFT) / RIME_QUALITY_PER_DEE * RIME_DEE_SCALE  # weight + 1
    step = 10 ** max(0, math.floor(math.log10(dee_units)) - (RIME_DEE_DIGITS - 1))
    return (round(dee_units / step) - rank) * step - 1


def _target_below(words: Sequence[float], count: int) -> float:
    """A table weight between the count-th and the next Chinese word (or below the last one)."""
    if count < len(words):
        upper, lower = words[count - 1], words[count]
        while upper == lower and count < len(words):  # ties: go below the whole group
            count += 1
            lower = words[count] if count < len(words) else RIME_BELOW_ALL
        if count < len(words):
            return (upper + lower) / 2
    last = words[-1] if words else 0.0
    return last / 2 if last > 0 else RIME_BELOW_ALL


def rime_weights(phrases: Sequence[Phrase], words: Sequence[float]) -> List[int]:
    """Weights for one key's phrases (in slot order) among Chinese words of these table weights.

    An empty list of words stands for a key that spells no word: Rime then puts a
    sentence first, whose place the phrases in slot 2 and later leave to it."""
    chinese = list(words) if words else [0.0]
    weights: List[int] = []
    for earlier, phrase in enumerate(phrases):
        before = phrase.position - 1 - earlier
        target = RIME_TOP_TARGET if before <= 0 else _target_below(chinese, before)
        weights.append(_weight_for(target, earlier))
    return weights


def encode_rime_table(keys: Dict[str, List[Phrase]], word_weights: Dict[str, List[float]]) -> bytes:
    lines = list(RIME_HEADER)
    for key, phrases in keys.items():
        for phrase, weight in zip(phrases, rime_weights(phrases, word_weights.get(key, []))):
            lines.append(f"{phrase.phrase}\t{key}\t{weight}")
    return ("\n".join(lines) + "\n").encode("utf-8")


def encode_rime_patch() -> bytes:
    return RIME_PATCH.format(
        table=RIME_TABLE_NAME, translator=RIME_TRANSLATOR, quality=RIME_INITIAL_QUALITY
    ).encode("utf-8")


# ---------------------------------------------------------------- Microsoft Pinyin

MS_MAGIC = b"mschxudp"
MS_VERSION = (0x00600002, 0x00000001)
MS_HEADER_SIZE = 0x40
MS_ENTRY_MARK = 0x00100010
MS_ENTRY_FIXED = 16  # mark, length up to the phrase, position, flag, zero word, time stamp
MS_ENTRY_FLAG = 0x06
MS_EPOCH = (2010, 1, 1)
EXPORT_TIME = (2026, 1, 1)  # the same fixed time as the zip's entries
MS_MAX_POSITION = 9


def _utc_seconds(date: Tuple[int, int, int]) -> int:
    return calendar.timegm((*date, 0, 0, 0, 0, 0, 0))


def _utf16z(text: str) -> bytes:
    return text.encode("utf-16-le") + b"\x00\x00"


def encode_ms_pinyin(phrases: Sequence[Phrase]) -> bytes:
    export_time = _utc_seconds(EXPORT_TIME)
    stamp = export_time - _utc_seconds(MS_EPOCH)
    entries: List[bytes] = []
    for entry in phrases:
        if not 1 <= entry.position <= MS_MAX_POSITION:
            raise ValueError(f"{entry.key}: position {entry.position} is outside 1-{MS_MAX_POSITION}")
        code = _utf16z(entry.key)
        head = struct.pack("<IHBBII", MS_ENTRY_MARK, MS_ENTRY_FIXED + len(code), entry.position, MS_ENTRY_FLAG, 0, stamp)
        entries.append(head + code + _utf16z(entry.phrase))
    offsets: List[int] = []
    position = 0
    for entry_bytes in entries:
        offsets.append(position)
        position += len(entry_bytes)
    table_start = MS_HEADER_SIZE
    entries_start = table_start + 4 * len(entries)
    total = entries_start + position
    header = MS_MAGIC + struct.pack(
        "<IIIIIII", *MS_VERSION, table_start, entries_start, total, len(entries), export_time
    )
    header += b"\x00" * (MS_HEADER_SIZE - len(header))
    return header + struct.pack(f"<{len(offsets)}I", *offsets) + b"".join(entries)


def recommended_keys(phrases: Sequence[Phrase]) -> set[str]:
    """The keys of the recommended set (see RECOMMENDED_MAX_ENTRIES for the rule)."""
    keys = group_by_key(phrases)
    total = len(phrases)
    by_category: Dict[str, List[str]] = {}
    for key, entries in keys.items():
        by_category.setdefault(entries[0].category, []).append(key)
    chosen: set[str] = set()
    for category, names in by_category.items():
        share = RECOMMENDED_MAX_ENTRIES * sum(len(keys[k]) for k in names) // total
        taken = 0
        order = {key: index for index, key in enumerate(names)}
        for key in sorted(names, key=lambda k: (len(k), order[k])):
            entries = keys[key]
            if taken + len(entries) <= share:
                taken += len(entries)
                chosen.add(key)
    return chosen


def recommended(phrases: Sequence[Phrase]) -> List[Phrase]:
    """The entries of the recommended set, in date.dat order."""
    keys = recommended_keys(phrases)
    return [phrase for phrase in phrases if phrase.key in keys]


def split_ms_pinyin(phrases: Sequence[Phrase]) -> Dict[str, List[Phrase]]:
    """The entries of each Microsoft Pinyin file, in date.dat order: the recommended file first,
    then the others in table order.

    Raises ValueError, naming the file, when a file would be empty, the recommended file would hold
    more than RECOMMENDED_MAX_ENTRIES or another file more than MS_PINYIN_MORE_MAX_ENTRIES."""
    file_of = {category: name for name, categories in MS_PINYIN_FILES.items() for category in categories}
    keys = recommended_keys(phrases)
    files: Dict[str, List[Phrase]] = {MS_PINYIN_RECOMMENDED_FILE: []}
    files.update({name: [] for name in MS_PINYIN_FILES})
    for phrase in phrases:
        name = MS_PINYIN_RECOMMENDED_FILE if phrase.key in keys else file_of.get(phrase.category, MS_PINYIN_DEFAULT_FILE)
        files[name].append(phrase)
    for name, entries in files.items():
        if not entries:
            raise ValueError(f"{MS_PINYIN_FOLDER}/{name} 没有任何词条：make_exports.py 的 MS_PINYIN_FILES 中的分类名与 date.dat 不符")
        limit = RECOMMENDED_MAX_ENTRIES if name == MS_PINYIN_RECOMMENDED_FILE else MS_PINYIN_MORE_MAX_ENTRIES
        if len(entries) > limit:
            raise ValueError(
                f"{MS_PINYIN_FOLDER}/{name} 有 {len(entries)} 条，超过 {limit} 条：推荐短语加上任何一个其他文件"
                f"不能超过微软拼音能保存的 {MS_PINYIN_MAX_ENTRIES} 条；"
                "请在 make_exports.py 的 MS_PINYIN_FILES 中把一些分类分到别的文件"
            )
    return files


# ---------------------------------------------------------------- Apple devices


def encode_text_replacements(phrases: Sequence[Phrase]) -> bytes:
    """macOS text replacements: an XML property list, an array of ``phrase``/``shortcut`` dicts."""
    items = [{"phrase": p.phrase, "shortcut": p.key} for p in phrases]
    return plistlib.dumps(items, fmt=plistlib.FMT_XML, sort_keys=True)


# ---------------------------------------------------------------- code=position,phrase


def encode_text_form(phrases: Sequence[Phrase]) -> bytes:
    """``code=position,phrase`` lines, UTF-16LE with a byte-order mark and CR LF line ends."""
    text = "".join(f"{p.key}={p.position},{p.phrase}\r\n" for p in phrases)
    return ("\ufeff" + text).encode("utf-16-le")


# ---------------------------------------------------------------- files


def read_date_dat(path: str) -> List[Phrase]:
    """date.dat's entries, each with the heading (the last comment line) it stands under."""
    with open(path, "rb") as source:
        data = source.read()
    entries = iter(make_date_dat.parse_date_dat(data))  # checks the form
    phrases: List[Phrase] = []
    category = ""
    for line in data[2:].decode("utf-16-le").split(make_date_dat.OUTPUT_LINE_END):
        if line.startswith(make_date_dat.OUTPUT_COMMENT_MARK):
            category = line[len(make_date_dat.OUTPUT_COMMENT_MARK) :].strip()
        elif line:
            entry = next(entries)
            phrases.append(Phrase(entry.key, entry.position, entry.phrase, category))
    return phrases


def build(phrases: Sequence[Phrase], word_weights: Dict[str, List[float]] | None) -> Dict[str, bytes]:
    """Every export file, by its path under the output folder."""
    files = {
        os.path.join(MS_PINYIN_FOLDER, name): encode_ms_pinyin(entries)
        for name, entries in split_ms_pinyin(phrases).items()
    }
    files[os.path.join(TEXT_FORM_FOLDER, TEXT_FORM_NAME)] = encode_text_form(phrases)
    files[os.path.join(APPLE_FOLDER, APPLE_RECOMMENDED_NAME)] = encode_text_replacements(recommended(phrases))
    files[os.path.join(APPLE_FOLDER, APPLE_ALL_NAME)] = encode_text_replacements(phrases)
    if word_weights is not None:
        files[os.path.join(RIME_FOLDER, RIME_TABLE_NAME)] = encode_rime_table(group_by_key(phrases), word_weights)
        files[os.path.join(RIME_FOLDER, RIME_PATCH_NAME)] = encode_rime_patch()
    return files


def main(argv: Sequence[str]) -> int:
    parser = argparse.ArgumentParser(description="为其他拼音输入法生成日语短语文件")
    parser.add_argument("date_dat")
    parser.add_argument("output_dir")
    parser.add_argument("--luna-table", help="Rime 的 luna_pinyin.table.txt；不给出时不生成 Rime 的文件")
    arguments = parser.parse_args(argv[1:])
    if hasattr(sys.stderr, "reconfigure"):
        sys.stderr.reconfigure(errors="backslashreplace")
    try:
        phrases = read_date_dat(arguments.date_dat)
    except OSError as error:
        print(f"{arguments.date_dat}: 无法读取：{error.strerror}", file=sys.stderr)
        return 1
    except ValueError as error:
        print(f"{arguments.date_dat}: 格式不对：{error}", file=sys.stderr)
        return 1
    if not phrases:
        print(f"{arguments.date_dat}: 没有任何词条", file=sys.stderr)
        return 1
    word_weights = None
    if arguments.luna_table:
        try:
            word_weights = read_word_weights(arguments.luna_table, {p.key for p in phrases})
        except (OSError, ValueError) as error:
            print(f"{arguments.luna_table}: 无法读取：{error}", file=sys.stderr)
            return 1
    try:
        files = build(phrases, word_weights)
    except ValueError as error:
        print(f"{arguments.date_dat}: {error}", file=sys.stderr)
        return 1
    for name, data in sorted(files.items()):
        path = os.path.join(arguments.output_dir, name)
        try:
            make_date_dat.write_atomically(path, data)
        except OSError as error:
            print(f"{path}: 无法写入：{error.strerror}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
