#!/usr/bin/env python3
"""Packs the built program into the zip that users download.

Usage: make_zip.py BIN_DIR OUT_ZIP GUIDE

BIN_DIR holds the built Kanaroute.exe, date.dat, the phrasebook page 短语一览.html
and the folder 其他输入法 with the phrase list for other input methods; GUIDE is
the user guide as UTF-8 text. The zip holds one folder, Kanaroute, with the
program, the phrase list, the guide as 使用说明.txt (UTF-8 with a byte order mark
and CR LF line ends, so that Notepad on every Windows shows it correctly), the
phrasebook page beside it and 其他输入法.

The same inputs always give the same bytes: entries in a fixed order with a
fixed time stamp and fixed attributes. The zip is written under a temporary
name and renamed at the end, so a failed run never leaves a half-written zip.
"""

import os
import struct
import sys
import zipfile
import zlib

FOLDER = "Kanaroute"
GUIDE_NAME = "使用说明.txt"
# Every phrase by category, searchable offline in a browser; shipped as the build wrote it.
PHRASEBOOK_NAME = "短语一览.html"
# The phrase list for other input methods, as the build writes it beside date.dat.
OTHER_INPUT_METHODS = "其他输入法"
EXPORTS = (
    "Rime/kanaroute_phrase.txt",
    "Rime/luna_pinyin_simp.custom.yaml",
    "微软拼音/推荐短语.dat",
    "微软拼音/更多-日常会话.dat",
    "微软拼音/更多-旅行.dat",
    "微软拼音/更多-在日本生活学习和工作.dat",
    "QQ输入法和百度输入法/日语短语.txt",
    "苹果设备/推荐短语.plist",
    "苹果设备/全部短语.plist",
)
# The time stamp of every entry (local time, as zip stores it).
ENTRY_TIME = (2026, 1, 1, 0, 0, 0)
# Info-ZIP Unicode Path extra field: the UTF-8 name for unpackers that read it.
UNICODE_PATH_FIELD = 0x7075
UTF8_NAME_FLAG = 0x800


class LegacyNamedZipInfo(zipfile.ZipInfo):
    """An entry whose name is stored in code page 936 (GBK).

    The zip folders of Windows 7 ignore the UTF-8 name flag and read names in
    the system's OEM code page, which is 936 on Simplified Chinese Windows: a
    UTF-8 name would come out garbled there. 7-Zip, WinRAR and Info-ZIP read
    the UTF-8 name from the Unicode Path extra field instead.
    """

    def __init__(self, filename):
        super().__init__(filename, date_time=ENTRY_TIME)
        if not filename.isascii():
            legacy = filename.encode("gbk")
            body = struct.pack("<BI", 1, zlib.crc32(legacy)) + filename.encode("utf-8")
            self.extra = struct.pack("<HH", UNICODE_PATH_FIELD, len(body)) + body

    # zipfile encodes names through this hook in the local and central headers.
    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~UTF8_NAME_FLAG


def guide_bytes(path):
    """The guide as Notepad-friendly text: UTF-8 with BOM, CR LF line ends."""
    with open(path, "r", encoding="utf-8-sig", newline="") as file:
        text = file.read()
    lines = text.replace("\r\n", "\n").replace("\r", "\n")
    if not lines.endswith("\n"):
        lines += "\n"
    return b"\xef\xbb\xbf" + lines.replace("\n", "\r\n").encode("utf-8")


def read_file(path):
    with open(path, "rb") as file:
        return file.read()


def entries(bin_dir, guide):
    """(name in the zip, bytes, Unix mode) in the order they are stored."""
    return [
        (f"{FOLDER}/Kanaroute.exe", read_file(os.path.join(bin_dir, "Kanaroute.exe")), 0o755),
        (f"{FOLDER}/date.dat", read_file(os.path.join(bin_dir, "date.dat")), 0o644),
        (f"{FOLDER}/{GUIDE_NAME}", guide_bytes(guide), 0o644),
        (f"{FOLDER}/{PHRASEBOOK_NAME}", read_file(os.path.join(bin_dir, PHRASEBOOK_NAME)), 0o644),
    ] + [
        (f"{FOLDER}/{OTHER_INPUT_METHODS}/{name}", read_file(os.path.join(bin_dir, OTHER_INPUT_METHODS, name)), 0o644)
        for name in EXPORTS
    ]


def make_zip(bin_dir, out_zip, guide):
    contents = entries(bin_dir, guide)  # reads everything before anything is written
    temporary = out_zip + ".part"
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name, data, mode in contents:
                info = LegacyNamedZipInfo(name)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.create_system = 3  # Unix, so that the mode below is read
                info.external_attr = (0o100000 | mode) << 16
                archive.writestr(info, data, compresslevel=9)
        os.replace(temporary, out_zip)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    _, bin_dir, out_zip, guide = argv
    try:
        make_zip(bin_dir, out_zip, guide)
    except (OSError, UnicodeError) as error:
        print(f"error: cannot build {out_zip}: {error}", file=sys.stderr)
        return 1
    print(out_zip)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
