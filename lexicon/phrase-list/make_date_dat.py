#!/usr/bin/env python3
"""Builds the phrase list date.dat from its readable source file.

The source (phrases.txt) is UTF-8 text with one entry a line in the form
``abbreviation,position=phrase``; its own header explains the details.
date.dat is written in the input method's custom-phrase format: the same
``abbreviation,position=phrase`` lines, ``;`` comment lines, CR LF line ends,
UTF-16LE with a byte-order mark, so that every kana and kanji survives.

Usage: make_date_dat.py SOURCE OUTPUT

Every fault of the source is reported as ``file:line: message`` and nothing
is written; a previous OUTPUT stays as it was.
"""

from __future__ import annotations

import os
import sys
import tempfile
import unicodedata
from dataclasses import dataclass
from typing import List, Sequence, Union

MIN_POSITION = 1
MAX_POSITION = 9

SOURCE_COMMENT_MARKS = ("#", ";")
SOURCE_HEADING_MARK = "##"
OUTPUT_COMMENT_MARK = ";"
OUTPUT_LINE_END = "\r\n"
BYTE_ORDER_MARK = "\ufeff"

# The comment header that opens date.dat and tells whoever opens the file what it is.
OUTPUT_HEADER = (
    "Kanaroute 日语常用短语",
    "输入中文意思的完整拼音（例如 xiexie），候选里就会出现对应的日语（例如 ありがとう）。",
    "日语候选从第 2 位起排列，第 1 位仍留给中文。",
    "格式：缩写,位置=短语",
)


@dataclass(frozen=True)
class Entry:
    key: str
    position: int
    phrase: str


@dataclass(frozen=True)
class Heading:
    """A section heading of the source; it becomes a comment line of date.dat."""

    title: str


Item = Union[Entry, Heading]


@dataclass(frozen=True)
class Problem:
    line: int
    message: str

    def describe(self, source_name: str) -> str:
        return f"{source_name}:{self.line}: {self.message}"


class PhraseListError(ValueError):
    def __init__(self, problems: Sequence[Problem]):
        super().__init__("; ".join(f"line {p.line}: {p.message}" for p in problems))
        self.problems = list(problems)


def _is_key(text: str) -> bool:
    return text != "" and all("a" <= c <= "z" for c in text)


def _forbidden_character(text: str) -> str | None:
    """Returns a description of the first character that must not appear in date.dat, or None."""
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
        if category == "Cf" and c not in ("\u200d",):
            # Invisible format characters (direction marks, zero-width spaces) would make two
            # entries that look the same differ; the zero-width joiner is kept for emoji.
            return f"不可见的格式字符 {code}"
    return None


def _check_text(text: str, what: str) -> str | None:
    forbidden = _forbidden_character(text)
    if forbidden is not None:
        return f"{what}中有不允许的字符：{forbidden}"
    return None


def _parse_entry_line(line: str) -> Union[Entry, str]:
    """Parses ``key,position=phrase``; returns the entry or the message that explains the fault."""
    if "=" not in line:
        return "无法识别的行：应为“缩写,位置=短语”，或以 # 开头的注释"
    head, phrase = line.split("=", 1)
    if "," not in head:
        return "缺少位置：应为“缩写,位置=短语”，例如 xiexie,2=ありがとう"
    key, position_text = head.split(",", 1)
    if not _is_key(key):
        if key == "":
            return "缩写为空"
        return f"缩写“{key}”只能由小写字母 a 到 z 组成"
    if not (len(position_text) == 1 and "0" <= position_text <= "9"):
        return f"位置“{position_text}”必须是 {MIN_POSITION} 到 {MAX_POSITION} 之间的一个数字"
    position = int(position_text)
    if not MIN_POSITION <= position <= MAX_POSITION:
        return f"位置“{position_text}”必须是 {MIN_POSITION} 到 {MAX_POSITION} 之间的一个数字"
    if phrase.strip() == "":
        return "短语为空"
    if phrase != phrase.strip():
        return "短语的开头或结尾有空白"
    if "=" in phrase:
        return "短语中不能有等号 =（它用来分隔缩写和短语）"
    fault = _check_text(phrase, "短语")
    if fault is not None:
        return fault
    return Entry(key, position, phrase)


def _scan(text: str) -> tuple[List[Item], List[Problem]]:
    items: List[Item] = []
    problems: List[Problem] = []
    seen_positions: dict[tuple[str, int], int] = {}
    seen_phrases: dict[tuple[str, str], int] = {}

    if text.startswith(BYTE_ORDER_MARK):
        text = text[1:]
    for number, raw in enumerate(text.split("\n"), start=1):
        line = raw[:-1] if raw.endswith("\r") else raw
        stripped = line.strip()
        if stripped == "":
            continue
        if stripped.startswith(SOURCE_HEADING_MARK):
            title = stripped[len(SOURCE_HEADING_MARK) :].strip()
            fault = _check_text(title, "标题") if title else "标题为空"
            if fault is not None:
                problems.append(Problem(number, fault))
            else:
                items.append(Heading(title))
            continue
        if stripped.startswith(SOURCE_COMMENT_MARKS):
            continue
        parsed = _parse_entry_line(line)
        if isinstance(parsed, str):
            problems.append(Problem(number, parsed))
            continue
        slot = (parsed.key, parsed.position)
        if slot in seen_positions:
            problems.append(
                Problem(
                    number,
                    f"缩写“{parsed.key}”的位置 {parsed.position} 已在第 {seen_positions[slot]} 行用过",
                )
            )
            continue
        same = (parsed.key, parsed.phrase)
        if same in seen_phrases:
            problems.append(
                Problem(
                    number,
                    f"缩写“{parsed.key}”的短语“{parsed.phrase}”已在第 {seen_phrases[same]} 行出现过",
                )
            )
            continue
        seen_positions[slot] = number
        seen_phrases[same] = number
        items.append(parsed)
    return items, problems


def validate(text: str) -> List[Problem]:
    """Returns every fault of the source text; an empty list means it can be built."""
    return _scan(text)[1]


def parse_source(text: str) -> List[Item]:
    """Parses the source text into headings and entries, in file order.

    Raises PhraseListError with every fault when the text is not valid."""
    items, problems = _scan(text)
    if problems:
        raise PhraseListError(problems)
    return items


def entries_of(items: Sequence[Item]) -> List[Entry]:
    return [item for item in items if isinstance(item, Entry)]


def encode_date_dat(items: Sequence[Item]) -> bytes:
    """Renders headings and entries as date.dat: UTF-16LE with BOM, CR LF line ends."""
    lines = [f"{OUTPUT_COMMENT_MARK} {line}" for line in OUTPUT_HEADER]
    for item in items:
        if isinstance(item, Heading):
            lines.append(f"{OUTPUT_COMMENT_MARK} {item.title}")
        else:
            lines.append(f"{item.key},{item.position}={item.phrase}")
    text = "".join(line + OUTPUT_LINE_END for line in lines)
    return (BYTE_ORDER_MARK + text).encode("utf-16-le")


def parse_date_dat(data: bytes) -> List[Entry]:
    """Reads the entries back from date.dat; raises ValueError when it is not in the expected form."""
    if not data.startswith(b"\xff\xfe"):
        raise ValueError("date.dat does not start with the UTF-16LE byte-order mark")
    text = data[2:].decode("utf-16-le")
    if text and not text.endswith(OUTPUT_LINE_END):
        raise ValueError("the last line of date.dat does not end with CR LF")
    lines = text.split(OUTPUT_LINE_END)[:-1] if text else []
    entries: List[Entry] = []
    for number, line in enumerate(lines, start=1):
        if "\r" in line or "\n" in line:
            raise ValueError(f"line {number} of date.dat has a bare CR or LF")
        if line.startswith(OUTPUT_COMMENT_MARK):
            continue
        parsed = _parse_entry_line(line)
        if isinstance(parsed, str):
            raise ValueError(f"line {number} of date.dat: {parsed}")
        entries.append(parsed)
    return entries


def _read_source(path: str) -> str:
    with open(path, "rb") as source:
        data = source.read()
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError as error:
        line = data[: error.start].count(b"\n") + 1
        raise PhraseListError([Problem(line, "不是有效的 UTF-8 文本")]) from None


def _write_atomically(path: str, data: bytes) -> None:
    """Writes the whole file or nothing: a failed build must not leave half a phrase list behind."""
    directory = os.path.dirname(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    handle, temporary = tempfile.mkstemp(prefix=".date-", suffix=".tmp", dir=directory)
    try:
        with os.fdopen(handle, "wb") as output:
            output.write(data)
        # mkstemp makes the file private to its owner; date.dat is shipped, so it gets ordinary permissions.
        mask = os.umask(0)
        os.umask(mask)
        os.chmod(temporary, 0o666 & ~mask)
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def main(argv: Sequence[str]) -> int:
    if len(argv) != 3:
        print("用法：make_date_dat.py 源文件 输出文件", file=sys.stderr)
        return 2
    source_path, output_path = argv[1], argv[2]
    # A console in a legacy code page must not turn a message about a kana phrase into a crash.
    if hasattr(sys.stderr, "reconfigure"):
        sys.stderr.reconfigure(errors="backslashreplace")
    source_name = os.path.basename(source_path)
    try:
        items = parse_source(_read_source(source_path))
    except OSError as error:
        print(f"{source_path}: 无法读取：{error.strerror}", file=sys.stderr)
        return 1
    except PhraseListError as error:
        for problem in error.problems:
            print(problem.describe(source_name), file=sys.stderr)
        print(f"{source_name}: 共 {len(error.problems)} 处错误，未生成 date.dat", file=sys.stderr)
        return 1
    if not entries_of(items):
        print(f"{source_name}: 没有任何词条，未生成 date.dat", file=sys.stderr)
        return 1
    try:
        _write_atomically(output_path, encode_date_dat(items))
    except OSError as error:
        print(f"{output_path}: 无法写入：{error.strerror}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
