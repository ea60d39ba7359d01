#!/usr/bin/env python3
"""What takes the space in a Windows executable: its sections and, inside the
resource section, every resource by type and name.

    pe_size.py EXE [EXE...]
"""
import struct
import sys

RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                  10: "RCDATA", 12: "GROUP_CURSOR", 14: "GROUP_ICON", 16: "VERSION", 24: "MANIFEST"}
TARGET_KIB = 400


def sections_of(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    result = []
    for i in range(count):
        raw = data[table + 40 * i: table + 40 * (i + 1)]
        name = raw[:8].rstrip(b"\0").decode("ascii", "replace")
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", raw, 8)
        result.append((name, virtual_size, virtual_address, raw_size, raw_offset))
    return result


def resources_of(data, sections):
    rsrc = next((s for s in sections if s[0] == ".rsrc"), None)
    if rsrc is None:
        return []
    _, _, base_rva, _, base_offset = rsrc

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base_offset + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base_offset + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base_offset + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                label = data[at + 2: at + 2 + 2 * length].decode("utf-16-le")
            else:
                label = name
            yield label, target

    found = []
    for type_id, type_target in entries(0):
        type_name = RESOURCE_TYPES.get(type_id, str(type_id))
        for name, name_target in entries(type_target & 0x7FFFFFFF):
            for _, lang_target in entries(name_target & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base_offset + lang_target)
                found.append((type_name, name, size))
    return found


def report(path):
    data = open(path, "rb").read()
    sections = sections_of(data)
    print(f"### {path}: {len(data)} bytes = {len(data) / 1024:.1f} KiB "
          f"(target <= {TARGET_KIB} KiB: {'met' if len(data) <= TARGET_KIB * 1024 else 'NOT met'})")
    print()
    print("| Section | Bytes in file | Share of file |")
    print("|---|---:|---:|")
    headers = min(s[4] for s in sections if s[3] > 0)
    print(f"| (headers) | {headers} | {100 * headers / len(data):.1f} % |")
    for name, _, _, raw_size, _ in sections:
        print(f"| {name} | {raw_size} | {100 * raw_size / len(data):.1f} % |")
    resources = resources_of(data, sections)
    if resources:
        print()
        print("| Resource (type / id) | Bytes | Share of file |")
        print("|---|---:|---:|")
        for type_name, name, size in sorted(resources, key=lambda r: -r[2]):
            print(f"| {type_name} / {name} | {size} | {100 * size / len(data):.1f} % |")
        total = sum(r[2] for r in resources)
        print(f"| all resources | {total} | {100 * total / len(data):.1f} % |")
    print()


if __name__ == "__main__":
    for exe in sys.argv[1:]:
        report(exe)
