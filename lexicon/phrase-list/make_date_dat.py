"""Builds the phrase list date.dat from its readable source, the section files.

The source is a folder of UTF-8 section files ``NN-slug.txt`` (see
phrase_sections.py for their layout; each file's header explains it too).
date.dat is written in the input method's custom-phrase format: one
``key,position=phrase`` line per entry, each file's heading as a ``;`` comment
line before its entries, CR LF line ends, UTF-16LE with a byte-order mark, so
that every kana and kanji survives. The meaning and register columns stay in the
source.

Usage: make_date_dat.py SECTIONS OUTPUT

SECTIONS is the folder (or one or more section files). Every fault of the
source's layout is reported as ``file:line: message`` and nothing is written; a
previous OUTPUT stays as it was. The rules that need language data are checked
by check_phrases.py in the tests.
"""

from __future__ import annotations

import os
import sys
import tempfile
from dataclasses import dataclass
from typing import Callable, List, Sequence, Union

import phrase_sections as ps

OUTPUT_COMMENT_MARK = ";"
OUTPUT_LINE_END = "\r\n"
BYTE_ORDER_MARK = "\ufeff"

# The comment header that opens date.dat and tells whoever opens the file what it is.
OUTPUT_HEADER = (
    "Kanaroute 日语常用短语",
    "输入中文意思的完整拼音（例如 xiexie），候选里就会出现对应的日语（例如 ありがとうございます）。",
    "拼音缩写的日语从第 2 位起排列，第 1 位仍留给中文；罗马字缩写（例如 arigatou）可以在第 1 位。",
    "格式：缩写,位置=短语",
)


@dataclass(frozen=True)
class Entry:
    """One line of date.dat."""

    key: str
    position: int
    phrase: str


@dataclass(frozen=True)
class Heading:
    """A section heading; it becomes a comment line of date.dat."""

    title: str


Item = Union[Entry, Heading]


class PhraseListError(ValueError):
    def __init__(self, problems: Sequence[ps.Problem]):
        super().__init__("; ".join(p.describe() for p in problems))
        self.problems = list(problems)


def read_source(paths: Sequence[str]) -> List[Item]:
    """Reads the section files into headings and entries in date.dat order.

    Raises PhraseListError with every fault when the source cannot be built."""
    sections, problems = ps.read_sections(paths)
    ps.group_keys(sections, problems)
    if problems:
        raise PhraseListError(problems)
    items: List[Item] = []
    for section in sections:
        items.append(Heading(section.heading))
        items.extend(Entry(e.key, e.position, e.phrase) for e in section.entries)
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
        entries.append(_parse_date_dat_line(number, line))
    return entries


def _parse_date_dat_line(number: int, line: str) -> Entry:
    head, separator, phrase = line.partition("=")
    key, comma, position = head.partition(",")
    if not (separator and comma and ps.is_key(key) and len(position) == 1 and "1" <= position <= "9" and phrase):
        raise ValueError(f"line {number} of date.dat is not key,position=phrase: {line!r}")
    return Entry(key, int(position), phrase)


def write_atomically(path: str, data: bytes) -> None:
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


class EmptyPhraseList(ValueError):
    """The section files hold no entry at all."""


def run_generator(argv: Sequence[str], usage: str, product: str, make: Callable[[Sequence[str]], bytes]) -> int:
    """The command line of a generator that turns the section files into one output file:
    its usage, the problems it reports, and an output that is written whole or not at all."""
    if len(argv) < 3:
        print(usage, file=sys.stderr)
        return 2
    sources, output_path = argv[1:-1], argv[-1]
    # A console in a legacy code page must not turn a message about a kana phrase into a crash.
    if hasattr(sys.stderr, "reconfigure"):
        sys.stderr.reconfigure(errors="backslashreplace")
    try:
        data = make(sources)
    except PhraseListError as error:
        for problem in error.problems:
            print(problem.describe(), file=sys.stderr)
        print(f"共 {len(error.problems)} 处错误，未生成 {product}", file=sys.stderr)
        return 1
    except EmptyPhraseList:
        print(f"{' '.join(sources)}: 没有任何词条，未生成 {product}", file=sys.stderr)
        return 1
    try:
        write_atomically(output_path, data)
    except OSError as error:
        print(f"{output_path}: 无法写入：{error.strerror}", file=sys.stderr)
        return 1
    return 0


def make_date_dat(sources: Sequence[str]) -> bytes:
    items = read_source(sources)
    if not entries_of(items):
        raise EmptyPhraseList()
    return encode_date_dat(items)


def main(argv: Sequence[str]) -> int:
    return run_generator(argv, "用法：make_date_dat.py 分类源文件夹 输出文件", "date.dat", make_date_dat)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
