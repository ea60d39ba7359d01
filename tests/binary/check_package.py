#!/usr/bin/env python3
"""Packs the already-built program with scripts/make_zip.py and checks the zip.

Usage: check_package.py BIN_DIR GUIDE WORK_DIR

Checks that the zip holds exactly the program, the phrase list, the guide, the
phrasebook page and the phrase list for other input methods in one Kanaroute folder, byte for byte, with the guide readable in Notepad and
its name readable on Chinese Windows; that packing twice gives the same bytes;
and that a missing input leaves no zip behind.
"""

import os
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

MAKE_ZIP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make_zip.py")
GUIDE_NAME = "Kanaroute/使用说明.txt"
PHRASEBOOK = "短语一览.html"
EXPORTS = [
    "其他输入法/Rime/kanaroute_phrase.txt",
    "其他输入法/Rime/luna_pinyin_simp.custom.yaml",
    "其他输入法/微软拼音/推荐短语.dat",
    "其他输入法/微软拼音/更多-日常会话.dat",
    "其他输入法/微软拼音/更多-旅行.dat",
    "其他输入法/微软拼音/更多-在日本生活学习和工作.dat",
    "其他输入法/QQ输入法和百度输入法/日语短语.txt",
    "其他输入法/苹果设备/推荐短语.plist",
    "其他输入法/苹果设备/全部短语.plist",
]
EXPECTED_NAMES = ["Kanaroute/Kanaroute.exe", "Kanaroute/date.dat", GUIDE_NAME, f"Kanaroute/{PHRASEBOOK}"] + [f"Kanaroute/{name}" for name in EXPORTS]
UNICODE_PATH_FIELD = 0x7075


def pack(bin_dir, out_zip, guide):
    return subprocess.run([sys.executable, MAKE_ZIP, bin_dir, out_zip, guide], capture_output=True, text=True)


def unicode_path(info):
    """The UTF-8 name of the Info-ZIP Unicode Path field, checked against the stored name."""
    extra = info.extra
    while len(extra) >= 4:
        field, size = struct.unpack_from("<HH", extra)
        body = extra[4 : 4 + size]
        if field == UNICODE_PATH_FIELD:
            _, crc = struct.unpack_from("<BI", body)
            stored = info.orig_filename.encode("cp437")
            if crc != zlib.crc32(stored):
                return None
            return body[5:].decode("utf-8")
        extra = extra[4 + size :]
    return None


def displayed_name(info):
    """The name as the zip folders of Chinese Windows show it (code page 936)."""
    if info.flag_bits & 0x800:
        return info.filename
    return info.orig_filename.encode("cp437").decode("gbk")


def read(path):
    with open(path, "rb") as file:
        return file.read()


def check_contents(zip_path, bin_dir, guide, problems):
    with zipfile.ZipFile(zip_path) as archive:
        infos = archive.infolist()
        names = [displayed_name(info) for info in infos]
        if names != EXPECTED_NAMES:
            problems.append(f"entries {names}, expected {EXPECTED_NAMES}")
        for info, name in zip(infos, names):
            if not name.isascii() and unicode_path(info) != name:
                problems.append(f"{name}: the UTF-8 name for 7-Zip and unzip is {unicode_path(info)!r}")
            if info.date_time != infos[0].date_time:
                problems.append(f"{name}: time stamp {info.date_time} differs from the others")
        if archive.testzip() is not None:
            problems.append("an entry fails its CRC check")
        by_name = dict(zip(names, infos))
        built = [("Kanaroute/Kanaroute.exe", "Kanaroute.exe"), ("Kanaroute/date.dat", "date.dat")]
        built += [(f"Kanaroute/{PHRASEBOOK}", PHRASEBOOK)]
        built += [(f"Kanaroute/{name}", name) for name in EXPORTS]
        for name, source in built:
            if name in by_name and archive.read(by_name[name]) != read(os.path.join(bin_dir, source)):
                problems.append(f"{name} is not byte-identical to the built {source}")
        if GUIDE_NAME in by_name:
            packed = archive.read(by_name[GUIDE_NAME])
            if not packed.startswith(b"\xef\xbb\xbf"):
                problems.append("the guide does not start with a UTF-8 byte order mark")
            body = packed[3:]
            if body.replace(b"\r\n", b"").count(b"\n") or body.replace(b"\r\n", b"").count(b"\r"):
                problems.append("the guide has line ends other than CR LF")
            text = body.decode("utf-8").replace("\r\n", "\n")
            if text.rstrip("\n") != read(guide).decode("utf-8").replace("\r\n", "\n").rstrip("\n"):
                problems.append("the packed guide's text differs from its source")


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    _, bin_dir, guide, work_dir = argv
    shutil.rmtree(work_dir, ignore_errors=True)
    os.makedirs(work_dir)
    problems = []

    first = os.path.join(work_dir, "first.zip")
    second = os.path.join(work_dir, "second.zip")
    for path in (first, second):
        result = pack(bin_dir, path, guide)
        if result.returncode != 0:
            print(f"FAILED: make_zip.py exited with {result.returncode}:\n{result.stderr}", file=sys.stderr)
            return 1
    check_contents(first, bin_dir, guide, problems)
    if read(first) != read(second):
        problems.append("packing the same files twice gave different zips")

    # Without date.dat, the phrasebook page or a file for another input method, the packer must fail,
    # name what is missing and leave neither a zip nor a part of one.
    for missing_name in ("date.dat", PHRASEBOOK, "更多-旅行.dat", "全部短语.plist"):
        incomplete = os.path.join(work_dir, "incomplete")
        shutil.rmtree(incomplete, ignore_errors=True)
        os.makedirs(incomplete)
        for name in ["Kanaroute.exe", "date.dat", PHRASEBOOK] + EXPORTS:
            if os.path.basename(name) != missing_name:
                os.makedirs(os.path.dirname(os.path.join(incomplete, name)), exist_ok=True)
                shutil.copy(os.path.join(bin_dir, name), os.path.join(incomplete, name))
        missing = os.path.join(work_dir, "missing.zip")
        result = pack(incomplete, missing, guide)
        if result.returncode == 0:
            problems.append(f"make_zip.py succeeded without {missing_name}")
        if missing_name not in result.stderr:
            problems.append(f"make_zip.py does not name the missing {missing_name}: {result.stderr!r}")
        leftovers = [name for name in os.listdir(work_dir) if name.startswith("missing")]
        if leftovers:
            problems.append(f"a failed packing without {missing_name} left {leftovers} behind")

    if problems:
        print("FAILED:", file=sys.stderr)
        for problem in problems:
            print("  - " + problem, file=sys.stderr)
        return 1
    print(f"OK: {first} holds {', '.join(EXPECTED_NAMES)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
