"""Reads the phrase list's source: one UTF-8 section file per category.

A section file is named ``NN-slug.txt`` (NN, two digits, gives its place in
date.dat). It holds exactly one heading line ``## 中文分类名`` before its first
entry, ``#`` comment lines, blank lines, and one entry a line:

    key,position=phrase|meaning|register

This module checks the layout of each line and file and the lines of each key;
the rules that need language data live in check_phrases.py.
"""

from __future__ import annotations

import os
import re
import unicodedata
from dataclasses import dataclass, field
from typing import Dict, List, Sequence, Tuple

MIN_POSITION = 1
MAX_POSITION = 9
HEADING_MARK = "##"
COMMENT_MARK = "#"
FIELD_SEPARATOR = "|"
BYTE_ORDER_MARK = "\ufeff"
SECTION_FILE_NAME = re.compile(r"^(\d\d)-([a-z]+(?:-[a-z]+)*)\.txt$")

# 敬 polite, 常 casual or plain, 俗 slang, 读 the kana reading of an earlier kanji
# candidate. Within a key the registers follow this order and never go back.
REGISTERS = ("敬", "常", "俗", "读")
REGISTER_ORDER = {register: index for index, register in enumerate(REGISTERS)}
MAX_CANDIDATES = 8


@dataclass(frozen=True)
class Entry:
    path: str
    line: int
    key: str
    position: int
    phrase: str
    meaning: str
    register: str


@dataclass
class Section:
    path: str
    number: int
    slug: str
    heading: str = ""
    entries: List[Entry] = field(default_factory=list)

    @property
    def name(self) -> str:
        return os.path.basename(self.path)


@dataclass
class Key:
    """All entries of one key, in file order."""

    name: str
    section: Section
    entries: List[Entry] = field(default_factory=list)

    @property
    def meaning(self) -> str:
        return self.entries[0].meaning


@dataclass(frozen=True)
class Problem:
    path: str
    line: int
    message: str

    def describe(self) -> str:
        return f"{self.path}:{self.line}: {self.message}"


def is_key(text: str) -> bool:
    return text != "" and all("a" <= c <= "z" for c in text)


def forbidden_character(text: str) -> str | None:
    """Describes the first character that must not appear in date.dat, or returns None."""
    for c in text:
        category = unicodedata.category(c)
        code = f"U+{ord(c):04X}"
        if c == BYTE_ORDER_MARK:
            return f"字节顺序标记 {code}"
        if category == "Cc":
            return f"控制字符 {code}"
        if category in ("Zl", "Zp"):
            return f"换行类字符 {code}"
        if category == "Co":
            return f"私用区字符 {code}"
        if category == "Cs":
            return f"孤立的代理项 {code}"
        if category == "Cn":
            return f"未分配或非字符码位 {code}"
        if category == "Cf" and c != "\u200d":
            # Invisible format characters (direction marks, zero-width spaces) would make two
            # entries that look the same differ; the zero-width joiner is kept for emoji.
            return f"不可见的格式字符 {code}"
    return None


def _check_text(text: str, what: str) -> str | None:
    forbidden = forbidden_character(text)
    if forbidden is not None:
        return f"{what}中有不允许的字符：{forbidden}"
    return None


def parse_entry(path: str, number: int, line: str) -> Entry | str:
    """Parses ``key,position=phrase|meaning|register``; returns the entry or what is wrong with it."""
    if "=" not in line:
        return "无法识别的行：应为“缩写,位置=短语|中文意思|语体”，或以 # 开头的注释"
    head, rest = line.split("=", 1)
    if "," not in head:
        return "缺少位置：应为“缩写,位置=短语|中文意思|语体”，例如 xiexie,2=ありがとうございます|谢谢|敬"
    key, position_text = head.split(",", 1)
    if key == "":
        return "缩写为空"
    if not is_key(key):
        return f"缩写“{key}”只能由小写字母 a 到 z 组成"
    if not (len(position_text) == 1 and "1" <= position_text <= "9"):
        return f"位置“{position_text}”必须是 {MIN_POSITION} 到 {MAX_POSITION} 之间的一个数字"
    fields = rest.split(FIELD_SEPARATOR)
    if len(fields) != 3:
        return f"“=”后面应有三栏：短语|中文意思|语体，这里有 {len(fields)} 栏（短语里不能有 |）"
    phrase, meaning, register = fields
    if phrase.strip() == "":
        return "短语为空"
    if phrase != phrase.strip():
        return "短语的开头或结尾有空白"
    if "=" in phrase:
        return "短语中不能有等号 =（它用来分隔缩写和短语）"
    fault = _check_text(phrase, "短语")
    if fault is not None:
        return fault
    if meaning.strip() == "":
        return "中文意思为空"
    if meaning != meaning.strip():
        return "中文意思的开头或结尾有空白"
    fault = _check_text(meaning, "中文意思")
    if fault is not None:
        return fault
    if register not in REGISTERS:
        return f"语体“{register}”必须是 {'、'.join(REGISTERS)} 之一"
    return Entry(path, number, key, int(position_text), phrase, meaning, register)


def parse_section(path: str, text: str) -> Tuple[Section, List[Problem]]:
    """Parses the text of one section file; the path names the file in messages."""
    problems: List[Problem] = []
    match = SECTION_FILE_NAME.match(os.path.basename(path))
    if match is None:
        problems.append(Problem(path, 1, "文件名应为“两位数字-小写英文名.txt”，例如 01-greetings.txt"))
        section = Section(path, 0, "")
    else:
        section = Section(path, int(match.group(1)), match.group(2))
    if text.startswith(BYTE_ORDER_MARK):
        text = text[1:]
    heading_line = 0
    for number, raw in enumerate(text.split("\n"), start=1):
        line = raw[:-1] if raw.endswith("\r") else raw
        stripped = line.strip()
        if stripped == "":
            continue
        if stripped.startswith(HEADING_MARK):
            title = stripped[len(HEADING_MARK) :].strip()
            if heading_line:
                problems.append(Problem(path, number, f"每个文件只能有一个 ## 标题，第 {heading_line} 行已有"))
                continue
            if section.entries:
                problems.append(Problem(path, number, "## 标题必须在第一个词条之前"))
            fault = _check_text(title, "标题") if title else "标题为空"
            if fault is not None:
                problems.append(Problem(path, number, fault))
            heading_line = number
            section.heading = title
            continue
        if stripped.startswith(COMMENT_MARK):
            continue
        parsed = parse_entry(path, number, line)
        if isinstance(parsed, str):
            problems.append(Problem(path, number, parsed))
            continue
        if not heading_line and not section.entries:
            problems.append(Problem(path, number, "第一个词条之前缺少“## 分类名”标题"))
        section.entries.append(parsed)
    if not section.entries:
        problems.append(Problem(path, 1, "文件里没有任何词条"))
    return section, problems


def read_section(path: str) -> Tuple[Section, List[Problem]]:
    try:
        with open(path, "rb") as source:
            data = source.read()
    except OSError as error:
        return Section(path, 0, ""), [Problem(path, 1, f"无法读取：{error.strerror}")]
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        line = data[: error.start].count(b"\n") + 1
        return Section(path, 0, ""), [Problem(path, line, "不是有效的 UTF-8 文本")]
    return parse_section(path, text)


def section_paths(paths: Sequence[str]) -> List[str]:
    """Expands folders into their .txt files in name order; files stay as given."""
    found: List[str] = []
    for path in paths:
        if os.path.isdir(path):
            names = sorted(name for name in os.listdir(path) if name.endswith(".txt"))
            found.extend(os.path.join(path, name) for name in names)
        else:
            found.append(path)
    return found


def read_sections(paths: Sequence[str]) -> Tuple[List[Section], List[Problem]]:
    """Reads section files (or folders of them) in date.dat order, with the layout problems of each."""
    sections: List[Section] = []
    problems: List[Problem] = []
    for path in section_paths(paths):
        section, found = read_section(path)
        sections.append(section)
        problems.extend(found)
    sections.sort(key=lambda s: (s.number, s.name))
    numbers: dict[int, str] = {}
    for section in sections:
        if section.number and section.number in numbers:
            problems.append(Problem(section.path, 1, f"编号 {section.number:02d} 已被 {numbers[section.number]} 用过"))
        numbers.setdefault(section.number, section.name)
    return sections, problems


def _report(problems: List[Problem], entry: Entry, message: str) -> None:
    problems.append(Problem(entry.path, entry.line, message))


def group_keys(sections: Sequence[Section], problems: List[Problem]) -> List[Key]:
    """Groups the entries by key and checks each key's own lines; appends what is wrong to problems.

    A key stays in one file, on consecutive entry lines, with one meaning; its positions
    are distinct and increase; no phrase twice; at most MAX_CANDIDATES candidates; and its
    registers follow REGISTERS without going back."""
    keys: Dict[str, Key] = {}
    ordered: List[Key] = []
    for section in sections:
        previous = None
        for entry in section.entries:
            key = keys.get(entry.key)
            if key is None:
                key = keys[entry.key] = Key(entry.key, section)
                ordered.append(key)
            elif key.section is not section:
                _report(problems, entry, f"缩写“{entry.key}”已在 {key.section.name} 第 {key.entries[0].line} 行使用")
                continue
            elif previous != entry.key:
                _report(
                    problems,
                    entry,
                    f"缩写“{entry.key}”的词条必须连在一起（第 {key.entries[-1].line} 行之后被别的缩写隔开）",
                )
            key.entries.append(entry)
            previous = entry.key
    for key in ordered:
        _check_key(key, problems)
    return ordered


def _check_key(key: Key, problems: List[Problem]) -> None:
    positions: Dict[int, int] = {}
    phrases: Dict[str, int] = {}
    last_position = 0
    last_register = 0
    for index, entry in enumerate(key.entries):
        if entry.meaning != key.meaning:
            _report(problems, entry, f"缩写“{key.name}”的中文意思应与第 {key.entries[0].line} 行相同（“{key.meaning}”）")
        if entry.position in positions:
            _report(problems, entry, f"缩写“{key.name}”的位置 {entry.position} 已在第 {positions[entry.position]} 行用过")
        elif entry.position < last_position:
            _report(problems, entry, f"缩写“{key.name}”的位置必须按行的顺序递增（上一行是 {last_position}）")
        if entry.phrase in phrases:
            _report(problems, entry, f"缩写“{key.name}”的短语“{entry.phrase}”已在第 {phrases[entry.phrase]} 行出现过")
        register = REGISTER_ORDER[entry.register]
        if register < last_register:
            _report(
                problems,
                entry,
                f"语体顺序倒退：“{entry.register}”不能排在“{REGISTERS[last_register]}”之后"
                f"（顺序为 {' → '.join(REGISTERS)}，有礼貌的说法在前）",
            )
        if index == MAX_CANDIDATES:
            _report(problems, entry, f"缩写“{key.name}”最多只能有 {MAX_CANDIDATES} 个日语候选")
        positions.setdefault(entry.position, entry.line)
        phrases.setdefault(entry.phrase, entry.line)
        last_position = max(last_position, entry.position)
        last_register = max(last_register, register)
