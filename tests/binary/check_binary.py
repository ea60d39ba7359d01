#!/usr/bin/env python3
"""Checks a built Kanaroute.exe before it is shipped.

The program must be one self-contained file that starts on every Windows from
7 to 11: it may import only DLLs that every Windows has, it must be a GUI
program for the expected processor, and its version record and manifest must
say what Explorer's "Properties" page and the loader are meant to see.

Usage: check_binary.py [--arch i386|x86_64] [--objdump PATH] [--max-size-kib N] EXE

Prints what it found; exits with 1 and names every problem when the file is
not fit to ship.
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# DLLs present on every Windows from 7 on. msvcrt.dll is the C runtime of the
# system itself; the Universal CRT (api-ms-win-crt-*, ucrtbase.dll) is missing
# from a Windows 7 without updates, and MinGW's own DLLs exist nowhere.
ALLOWED_DLLS = {
    "kernel32.dll",
    "user32.dll",
    "gdi32.dll",
    "comctl32.dll",
    "ole32.dll",
    "oleaut32.dll",
    "advapi32.dll",
    "shell32.dll",
    "msvcrt.dll",
}

ARCHES = {
    # arch: (COFF machine, optional header magic, objdump format, manifest processorArchitecture)
    "i386": (0x014C, 0x010B, "pei-i386", "x86"),
    "x86_64": (0x8664, 0x020B, "pei-x86-64", "amd64"),
}
DEFAULT_OBJDUMP = {"i386": "i686-w64-mingw32-objdump", "x86_64": "x86_64-w64-mingw32-objdump"}

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
RT_VERSION = 16
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VFT_APP = 1

EXPECTED_FILE_VERSION = (1, 0, 0, 0)
EXPECTED_PRODUCT_VERSION = (1, 0, 0, 0)
EXPECTED_STRING_TABLE = "080404b0"  # Chinese (PRC), Unicode strings
EXPECTED_TRANSLATION = (0x0804, 1200)
EXPECTED_STRINGS = {
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "ProductName": "Kanaroute",
    "FileDescription": "Kanaroute",
    "Comments": "Kanaroute安装包",
}

# supportedOS: Windows 7, 8, 8.1, and 10 (which Windows 11 shares).
SUPPORTED_OS_IDS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
COMMON_CONTROLS_NAME = "Microsoft.Windows.Common-Controls"
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"


class BadImage(Exception):
    """The file is not a PE image this checker can read."""


# ---------------------------------------------------------------------------
# PE image
# ---------------------------------------------------------------------------


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise BadImage("no MZ header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset : pe_offset + 4] != b"PE\0\0":
            raise BadImage("no PE signature")
        coff = pe_offset + 4
        (self.machine, section_count, _, _, _, optional_size, _) = struct.unpack_from("<HHIIIHH", data, coff)
        optional = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, optional)
        if self.magic == 0x010B:
            directories = optional + 96
        elif self.magic == 0x020B:
            directories = optional + 112
        else:
            raise BadImage(f"unknown optional header magic 0x{self.magic:04x}")
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        (directory_count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [
            struct.unpack_from("<II", data, directories + 8 * i) for i in range(min(directory_count, 16))
        ]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            entry = table + 40 * i
            name = data[entry : entry + 8].rstrip(b"\0").decode("latin-1")
            virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((name, virtual_address, max(virtual_size, raw_size), raw_pointer, raw_size))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset_of(self, rva):
        for _, address, size, raw_pointer, raw_size in self.sections:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise BadImage(f"RVA 0x{rva:x} lies outside the file")
                return raw_pointer + rva - address
        raise BadImage(f"RVA 0x{rva:x} lies in no section")

    def c_string(self, rva):
        start = self.offset_of(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("latin-1")

    def delay_import_dlls(self):
        """DLL names of the delay-load import table, which objdump -p does not list."""
        rva, size = self.directory(13)
        names = []
        if not rva or not size:
            return names
        offset = self.offset_of(rva)
        while True:
            descriptor = struct.unpack_from("<8I", self.data, offset)
            if not any(descriptor):
                return names
            names.append(self.c_string(descriptor[1]))
            offset += 32

    def resources(self):
        """Maps (type, name, language) to the bytes of every leaf of the resource tree.

        Named entries get their name as a string, numbered ones their number.
        """
        rva, size = self.directory(2)
        if not rva or not size:
            return {}
        base = self.offset_of(rva)
        found = {}

        def entry_id(value):
            if value & 0x80000000:
                at = base + (value & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", self.data, at)
                return self.data[at + 2 : at + 2 + 2 * length].decode("utf-16-le")
            return value

        def walk(directory_offset, path, depth):
            if depth > 3:
                raise BadImage("resource tree deeper than type/name/language")
            named, numbered = struct.unpack_from("<HH", self.data, base + directory_offset + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + directory_offset + 16 + 8 * i)
                key = path + (entry_id(name),)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, key, depth + 1)
                else:
                    data_rva, data_size, _, _ = struct.unpack_from("<IIII", self.data, base + target)
                    start = self.offset_of(data_rva)
                    found[key] = self.data[start : start + data_size]

        walk(0, (), 1)
        return found


# ---------------------------------------------------------------------------
# Version record
# ---------------------------------------------------------------------------


def align4(offset):
    return (offset + 3) & ~3


def parse_version_block(data, offset=0):
    """One VS_VERSIONINFO-style block: (key, value type, value bytes, children)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    if length < 6 or offset + length > len(data):
        raise BadImage(f"version record block at {offset} has a bad length {length}")
    end = offset + length
    key_start = offset + 6
    key_end = key_start
    while data[key_end : key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise BadImage(f"version record key at {offset} is not terminated")
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[value_start : min(value_start + value_bytes, end)]
    children = []
    child = align4(value_start + value_bytes)
    while child + 6 <= end:
        (child_length,) = struct.unpack_from("<H", data, child)
        if child_length == 0:
            break
        children.append(parse_version_block(data, child))
        child = align4(child + child_length)
    return key, value_type, value, children


def text_value(value):
    text = value.decode("utf-16-le", errors="replace")
    return text.split("\0", 1)[0]


def four_part(most, least):
    return (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def check_version_record(record, problems):
    key, _, fixed, children = parse_version_block(record)
    if key != "VS_VERSION_INFO":
        problems.append(f"version record: root key is {key!r}, not 'VS_VERSION_INFO'")
        return
    if len(fixed) < 52:
        problems.append("version record: the fixed file information is missing")
    else:
        fields = struct.unpack_from("<13I", fixed)
        if fields[0] != VS_FIXEDFILEINFO_SIGNATURE:
            problems.append(f"version record: fixed file information signature is 0x{fields[0]:08x}")
        file_version = four_part(fields[2], fields[3])
        product_version = four_part(fields[4], fields[5])
        print("fixed file version:    " + ".".join(map(str, file_version)))
        print("fixed product version: " + ".".join(map(str, product_version)))
        if file_version != EXPECTED_FILE_VERSION:
            problems.append(f"version record: file version {file_version}, expected {EXPECTED_FILE_VERSION}")
        if product_version != EXPECTED_PRODUCT_VERSION:
            problems.append(
                f"version record: product version {product_version}, expected {EXPECTED_PRODUCT_VERSION}"
            )
        if fields[9] != VFT_APP:
            problems.append(f"version record: file type {fields[9]}, expected an application (VFT_APP)")

    blocks = {child[0]: child for child in children}
    string_info = blocks.get("StringFileInfo")
    tables = {table[0].lower(): table for table in string_info[3]} if string_info else {}
    table = tables.get(EXPECTED_STRING_TABLE)
    if table is None:
        problems.append(
            f"version record: no string table {EXPECTED_STRING_TABLE} (found: {sorted(tables) or 'none'})"
        )
    else:
        strings = {entry[0]: text_value(entry[2]) for entry in table[3]}
        for name in sorted(strings):
            print(f"string {name}: {strings[name]}")
        for name, expected in EXPECTED_STRINGS.items():
            actual = strings.get(name)
            if actual != expected:
                problems.append(f"version record: {name} is {actual!r}, expected {expected!r}")

    var_info = blocks.get("VarFileInfo")
    translations = []
    for var in var_info[3] if var_info else []:
        if var[0] == "Translation":
            value = var[2]
            translations += [struct.unpack_from("<HH", value, i) for i in range(0, len(value) - 3, 4)]
    print("translations: " + (", ".join(f"0x{lang:04x} {cp}" for lang, cp in translations) or "none"))
    if EXPECTED_TRANSLATION not in translations:
        problems.append(
            "version record: VarFileInfo Translation lacks language 0x%04x with code page %d" % EXPECTED_TRANSLATION
        )


# ---------------------------------------------------------------------------
# Manifest
# ---------------------------------------------------------------------------


def local(tag):
    return tag.rsplit("}", 1)[-1]


def elements(root, name):
    return [element for element in root.iter() if local(element.tag) == name]


def check_architecture(what, value, arch, problems):
    expected = ARCHES[arch][3]
    if value is not None and value.lower() not in ("*", expected):
        problems.append(f"manifest: {what} has processorArchitecture {value!r}; a {arch} image needs {expected!r} or '*'")


def check_manifest(text, arch, problems):
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        problems.append(f"manifest: not well-formed XML ({error})")
        return

    levels = [element.get("level") for element in elements(root, "requestedExecutionLevel")]
    print("requested execution level: " + (", ".join(map(str, levels)) or "none"))
    if levels != ["requireAdministrator"]:
        problems.append(f"manifest: requestedExecutionLevel is {levels}, expected ['requireAdministrator']")

    dpi = [(element.text or "").strip() for element in elements(root, "dpiAware")]
    print("dpiAware: " + (", ".join(dpi) or "none"))
    if [value.lower() for value in dpi] != ["true/pm"]:
        problems.append(f"manifest: dpiAware is {dpi}, expected ['true/pm']")
    awareness = [(element.text or "").strip() for element in elements(root, "dpiAwareness")]
    print("dpiAwareness: " + (", ".join(awareness) or "none"))
    if awareness != ["PerMonitorV2, PerMonitor"]:
        problems.append(f"manifest: dpiAwareness is {awareness}, expected ['PerMonitorV2, PerMonitor']")

    ids = {(element.get("Id") or "").lower() for element in elements(root, "supportedOS")}
    print("supportedOS: " + ", ".join(SUPPORTED_OS_IDS.get(i, i) for i in sorted(ids)))
    for guid, system in SUPPORTED_OS_IDS.items():
        if guid not in ids:
            problems.append(f"manifest: supportedOS for {system} {guid} is missing")

    identities = [element for element in root if local(element.tag) == "assemblyIdentity"]
    for identity in identities:
        check_architecture("the program's assemblyIdentity", identity.get("processorArchitecture"), arch, problems)

    controls = [
        element
        for element in elements(root, "assemblyIdentity")
        if element not in identities and element.get("name") == COMMON_CONTROLS_NAME
    ]
    if not controls:
        problems.append(f"manifest: no dependency on {COMMON_CONTROLS_NAME}")
    for element in controls:
        version = element.get("version", "")
        print(f"common controls: {version}")
        if not version.startswith("6."):
            problems.append(f"manifest: common controls version {version!r}, expected 6.0.0.0")
        if (element.get("publicKeyToken") or "").lower() != COMMON_CONTROLS_TOKEN:
            problems.append(f"manifest: common controls publicKeyToken is not {COMMON_CONTROLS_TOKEN}")
        check_architecture("the common controls dependency", element.get("processorArchitecture"), arch, problems)


# ---------------------------------------------------------------------------
# Imports through objdump
# ---------------------------------------------------------------------------


def objdump_private_headers(objdump, path):
    try:
        # objdump's headings are translated in other locales; read them in English.
        env = dict(os.environ, LC_ALL="C", LANG="C", LANGUAGE="")
        result = subprocess.run([objdump, "-p", path], capture_output=True, text=True, errors="replace", env=env)
    except OSError as error:
        raise SystemExit(f"error: cannot run {objdump}: {error}")
    if result.returncode != 0:
        raise SystemExit(f"error: {objdump} -p failed:\n{result.stderr}")
    return result.stdout


def check_imports(headers, image, arch, problems):
    formats = re.findall(r"file format (\S+)", headers)
    print("objdump format: " + (formats[0] if formats else "unknown"))
    if formats[:1] != [ARCHES[arch][2]]:
        problems.append(f"objdump reports the format {formats[:1]}, expected {ARCHES[arch][2]!r}")

    dlls = re.findall(r"^\s*DLL Name:\s*(\S+)", headers, re.MULTILINE)
    delayed = image.delay_import_dlls()
    print("imports: " + (", ".join(dlls) or "none"))
    if delayed:
        print("delay-load imports: " + ", ".join(delayed))
    if not dlls:
        problems.append("objdump lists no imported DLL at all; the import table could not be read")
    for dll in dlls + delayed:
        if dll.lower() not in ALLOWED_DLLS:
            problems.append(f"imports {dll}, which is not part of every Windows")


# ---------------------------------------------------------------------------


def check(path, arch, objdump, max_size_kib):
    problems = []
    with open(path, "rb") as file:
        data = file.read()
    size = len(data)
    print(f"{path}: {size} bytes ({size / 1024:.1f} KiB)")
    if size >= max_size_kib * 1024:
        problems.append(f"the file has {size} bytes, not under {max_size_kib} KiB")

    try:
        image = PeImage(data)
    except (BadImage, struct.error, ValueError) as error:
        return [f"not a readable PE image: {error}"]

    machine, magic = ARCHES[arch][:2]
    if image.machine != machine or image.magic != magic:
        problems.append(
            f"machine 0x{image.machine:04x} with optional header 0x{image.magic:03x}; "
            f"a {arch} build needs machine 0x{machine:04x} with 0x{magic:03x}"
        )
    if image.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        problems.append(f"subsystem {image.subsystem}: not a Windows GUI program (a console window would open)")

    check_imports(objdump_private_headers(objdump, path), image, arch, problems)

    try:
        resources = image.resources()
        versions = [(key, value) for key, value in resources.items() if key[0] == RT_VERSION]
        manifests = [(key, value) for key, value in resources.items() if key[0] == RT_MANIFEST]
        if len(versions) != 1:
            problems.append(f"{len(versions)} version records, expected exactly one")
        for key, record in versions:
            print(f"version record: resource {key[1]}, language 0x{key[2]:04x}")
            check_version_record(record, problems)
        if [key[1] for key, _ in manifests] != [CREATEPROCESS_MANIFEST_RESOURCE_ID]:
            problems.append(
                f"manifest resources {[key[1] for key, _ in manifests]}; the loader reads only one with id 1"
            )
        for key, manifest in manifests:
            if key[1] == CREATEPROCESS_MANIFEST_RESOURCE_ID:
                check_manifest(manifest, arch, problems)
    except (BadImage, struct.error, ValueError) as error:
        problems.append(f"the resource section cannot be read: {error}")
    return problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the built Kanaroute.exe")
    parser.add_argument("--arch", choices=sorted(ARCHES), default="i386", help="processor of the build (default i386)")
    parser.add_argument("--objdump", help="the MinGW objdump for that processor")
    parser.add_argument("--max-size-kib", type=int, default=400, help="size limit of the file (default 400)")
    args = parser.parse_args(argv)
    if not os.path.isfile(args.exe):
        print(f"error: {args.exe} does not exist", file=sys.stderr)
        return 1
    problems = check(args.exe, args.arch, args.objdump or DEFAULT_OBJDUMP[args.arch], args.max_size_kib)
    if problems:
        print(f"\nFAILED: {args.exe} is not fit to ship:", file=sys.stderr)
        for problem in problems:
            print("  - " + problem, file=sys.stderr)
        return 1
    print(f"\nOK: {args.exe}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
