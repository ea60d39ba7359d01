"""Tests for the exports of the phrase list to other input methods.

The Microsoft Pinyin file is read back by a reader written here from the public
description of the layout, independently of the writer; the real Rime engine
is tested in tests/rime.
"""

import contextlib
import io
import math
import os
import plistlib
import re
import struct
import tempfile
import unittest

import make_date_dat
import make_exports as x

# The built files, when the build runs this test (see CMakeLists.txt).
BUILT_DATE_DAT = os.environ.get("KANAROUTE_DATE_DAT")
BUILT_EXPORTS = os.environ.get("KANAROUTE_EXPORT_DIR")
GUIDE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "使用说明.txt")

SAMPLE = [
    x.Phrase("xiexie", 2, "ありがとうございます"),
    x.Phrase("xiexie", 3, "ありがとう"),
    x.Phrase("arigatou", 1, "ありがとう"),
    x.Phrase("haha", 4, "😂（笑）"),
    x.Phrase("jintian", 4, "今日"),
    x.Phrase("jintian", 5, "きょう"),
]


def read_mschxudp(data):
    """Reads a Microsoft Pinyin user-defined-phrase file into (code, position, phrase) triples.

    Header: 8-byte magic "mschxudp", two version words, then u32 offsets of the
    offset table and of the first entry, the file length, the entry count and the
    export time; zeros up to the offset table. Each entry: u32 0x00100010, u16
    length up to the phrase, u8 candidate position, u8 flag, u32 zero, u32 time,
    then code and phrase in UTF-16LE, each ending in a zero code unit."""
    assert data[:8] == b"mschxudp", "magic"
    table, first, length, count = struct.unpack_from("<4I", data, 0x10)
    assert length == len(data), "file length in the header"
    assert data[0x24:table] == bytes(table - 0x24), "header padding"
    assert first == table + 4 * count, "entries follow the offset table"
    offsets = list(struct.unpack_from(f"<{count}I", data, table))
    ends = offsets[1:] + [length - first]
    result = []
    for start, end in zip(offsets, ends):
        entry = data[first + start : first + end]
        mark, to_phrase, position, _flag, zero = struct.unpack_from("<IHBBI", entry)
        assert mark == 0x00100010 and zero == 0, "entry mark"
        code, phrase = entry[16 : to_phrase - 2], entry[to_phrase:-2]
        assert entry[to_phrase - 2 : to_phrase] == b"\0\0" and entry[-2:] == b"\0\0", "terminators"
        result.append((code.decode("utf-16-le"), position, phrase.decode("utf-16-le")))
    return result


class MicrosoftPinyinTest(unittest.TestCase):
    def test_two_entry_file_field_by_field(self):
        data = x.encode_ms_pinyin([x.Phrase("ab", 2, "あ"), x.Phrase("c", 9, "日本語")])
        export_time = 1767225600  # 2026-01-01 00:00 UTC
        stamp = export_time - 1262304000  # seconds since 2010-01-01
        first = 16 + 6 + 4  # fixed part, "ab\0", "あ\0"
        second = 16 + 4 + 8  # fixed part, "c\0", "日本語\0"
        expected = (
            b"mschxudp"
            + bytes.fromhex("02 00 60 00 01 00 00 00")  # version words
            + struct.pack("<IIIII", 0x40, 0x48, 0x48 + first + second, 2, export_time)
            + bytes(0x40 - 0x24)
            + struct.pack("<II", 0, first)  # offsets from the first entry
            + bytes.fromhex("10 00 10 00") + struct.pack("<H", 16 + 6) + bytes([2, 6]) + bytes(4)
            + struct.pack("<I", stamp) + "ab\0あ\0".encode("utf-16-le")
            + bytes.fromhex("10 00 10 00") + struct.pack("<H", 16 + 4) + bytes([9, 6]) + bytes(4)
            + struct.pack("<I", stamp) + "c\0日本語\0".encode("utf-16-le")
        )  # fmt: skip
        self.assertEqual(data.hex(" "), expected.hex(" "))

    def test_every_entry_reads_back_in_order(self):
        data = x.encode_ms_pinyin(SAMPLE)
        self.assertEqual(read_mschxudp(data), [(p.key, p.position, p.phrase) for p in SAMPLE])
        self.assertEqual(data, x.encode_ms_pinyin(SAMPLE), "the same list must give the same bytes")

    @unittest.skipUnless(BUILT_DATE_DAT and BUILT_EXPORTS, "needs the built files")
    def test_built_files_together_hold_exactly_date_dat_within_the_limits(self):
        with open(BUILT_DATE_DAT, "rb") as built:
            entries = make_date_dat.parse_date_dat(built.read())
        everything = sorted((e.key, e.position, e.phrase) for e in entries)
        recommended = sorted((p.key, p.position, p.phrase) for p in x.recommended(x.read_date_dat(BUILT_DATE_DAT)))
        read_back = {}
        for name in [x.MS_PINYIN_RECOMMENDED_FILE, *x.MS_PINYIN_FILES]:
            with open(os.path.join(BUILT_EXPORTS, x.MS_PINYIN_FOLDER, name), "rb") as built:
                read_back[name] = read_mschxudp(built.read())
        self.assertEqual(sorted(read_back.pop(x.MS_PINYIN_RECOMMENDED_FILE)), recommended)
        self.assertTrue(0 < len(recommended) <= 3000, len(recommended))
        for name, in_file in read_back.items():
            self.assertTrue(0 < len(in_file) <= 2000, (name, len(in_file)))  # beside the recommended file: <= 5000
        self.assertEqual(sorted(recommended + sum(read_back.values(), [])), everything)
        # The Apple files: the recommended set and everything, keyed by the pinyin keys.
        for name, expected in ((x.APPLE_RECOMMENDED_NAME, recommended), (x.APPLE_ALL_NAME, everything)):
            with open(os.path.join(BUILT_EXPORTS, x.APPLE_FOLDER, name), "rb") as built:
                items = plistlib.load(built)
            self.assertEqual(sorted((i["shortcut"], i["phrase"]) for i in items), sorted((k, p) for k, _, p in expected), name)
        # The guide gives each file's count.
        with open(GUIDE, encoding="utf-8") as guide:
            text = guide.read()
        counts = {name: len(entries) for name, entries in read_back.items()}
        counts.update({x.MS_PINYIN_RECOMMENDED_FILE: len(recommended), x.APPLE_RECOMMENDED_NAME: len(recommended)})
        counts[x.APPLE_ALL_NAME] = len(everything)
        for name, count in counts.items():
            found = re.search(re.escape(name) + r"\s+(\d+)", text)
            self.assertEqual(int(found.group(1)) if found else None, count, f"the guide's count of {name}")
        # A category renamed in the source would quietly move to the default file.
        categories = {p.category for p in x.read_date_dat(BUILT_DATE_DAT)}
        named = {c for names in x.MS_PINYIN_FILES.values() for c in names}
        self.assertEqual(named - categories, set(), "categories named in MS_PINYIN_FILES that date.dat lacks")

    def test_recommended_set_takes_each_categorys_share_in_whole_keys_shortest_first(self):
        # Two categories of 5,000 entries each: a share of 1,500 each. In the first, 600 keys of
        # two entries with short keys fill 1,200, then 300 single ones with longer keys, in list
        # order; in the second, a long key comes first in the list but after the short ones.
        first = [x.Phrase(f"k{i:03d}", p, f"a{i}", "A") for i in range(600) for p in (2, 3)]
        first += [x.Phrase(f"long{i:04d}", 2, f"b{i}", "A") for i in range(3800)]
        second = [x.Phrase("longerkeyoftwo", p, f"d{p}", "B") for p in (2, 3)]
        second += [x.Phrase(f"m{i:04d}", 2, f"c{i}", "B") for i in range(4998)]
        chosen = x.recommended_keys(first + second)
        self.assertEqual(len(x.recommended(first + second)), 3000)
        self.assertEqual({k for k in chosen if k.startswith("long")}, {f"long{i:04d}" for i in range(300)})
        self.assertEqual({k for k in chosen if k.startswith("m")}, {f"m{i:04d}" for i in range(1500)})

    def test_split_by_category_with_unknown_categories_in_the_default_file(self):
        everyday, travel = x.MS_PINYIN_FILES["更多-日常会话.dat"][0], x.MS_PINYIN_FILES["更多-旅行.dat"][0]
        # 1,100 short keys in each category fill its recommended share of 1,000 before the longer ones.
        filler = [x.Phrase(f"f{c}{i:04d}", 2, str(i), category) for c, category in enumerate((everyday, travel, "在日本看病")) for i in range(1100)]
        phrases = [
            x.Phrase("nihaoya", 4, "こんにちは", everyday),
            x.Phrase("chezhanzai", 2, "駅", travel),
            x.Phrase("quyiyuanba", 2, "病院に行きます", "在日本看病"),  # a category the table does not name
            x.Phrase("zaoshanghao", 2, "おはようございます", everyday),
        ]
        files = x.split_ms_pinyin(filler + phrases)
        self.assertEqual(list(files), [x.MS_PINYIN_RECOMMENDED_FILE, *x.MS_PINYIN_FILES])
        self.assertEqual(files[x.MS_PINYIN_RECOMMENDED_FILE], x.recommended(filler + phrases))
        self.assertEqual(files["更多-日常会话.dat"][-2:], [phrases[0], phrases[3]])
        self.assertEqual(files["更多-旅行.dat"][-1], phrases[1])
        self.assertEqual(files[x.MS_PINYIN_DEFAULT_FILE][-1], phrases[2])

    def test_file_above_its_limit_or_empty_is_refused_naming_it(self):
        everyday, travel = x.MS_PINYIN_FILES["更多-日常会话.dat"][0], x.MS_PINYIN_FILES["更多-旅行.dat"][0]
        rest = [x.Phrase(f"chezhan{i}", 2, "駅", travel) for i in range(2)] + [x.Phrase(f"quyiyuan{i}", 2, "病院", "") for i in range(2)]
        everyday_phrases = [x.Phrase(f"k{i:04d}", 2, str(i), everyday) for i in range(6000)]
        # 6,000 everyday entries leave about 3,000 beside the recommended ones; no travel entry at all.
        for name, phrases in (("更多-日常会话.dat", everyday_phrases + rest), ("更多-旅行.dat", everyday_phrases[:4000] + rest[2:])):
            with self.subTest(name), self.assertRaisesRegex(ValueError, name):
                x.split_ms_pinyin(phrases)
        files = x.split_ms_pinyin(everyday_phrases[:4990] + rest)
        self.assertEqual(sum(map(len, files.values())), 4994)
        self.assertTrue(len(files[x.MS_PINYIN_RECOMMENDED_FILE]) <= 3000 and len(files["更多-日常会话.dat"]) <= 2000)

    def test_position_outside_the_candidate_slots_is_refused(self):
        with self.assertRaises(ValueError):
            x.encode_ms_pinyin([x.Phrase("xiexie", 0, "ありがとう")])


class TextFormTest(unittest.TestCase):
    def test_lines_are_code_position_phrase_in_utf16le_with_bom_and_crlf(self):
        data = x.encode_text_form(SAMPLE[:3])
        self.assertEqual(
            data,
            "\ufeffxiexie=2,ありがとうございます\r\nxiexie=3,ありがとう\r\narigatou=1,ありがとう\r\n".encode("utf-16-le"),
        )


def rime_menu(key_phrases, word_weights):
    """The order in which Rime merges a key's full-span candidates, by the qualities it computes:
    a word has table weight / 10^8; a custom phrase's weight becomes a dee kept with six
    significant digits, whose quality grows in proportion."""
    candidates = [(weight / 1e8, f"word{i}") for i, weight in enumerate(word_weights or [0.0])]
    if not word_weights:
        candidates = [(1e-12, "sentence")]
    for phrase, weight in zip(key_phrases, x.rime_weights(key_phrases, word_weights)):
        dee = float(f"{(weight + 1) / 1e8:.6g}")
        quality = dee * 0.5 * math.e * math.exp(-0.005) * (1 - math.exp(-0.005)) - 1e-7
        candidates.append((quality, phrase.phrase))
    return [name for _, name in sorted(candidates, key=lambda c: -c[0])]


class RimeWeightTest(unittest.TestCase):
    def test_phrases_land_after_as_many_chinese_candidates_as_their_slots_leave(self):
        words = [93814.0, 13890.0, 5000.0, 700.0, 12.5, 3.4]
        cases = {
            "slots 2 and 3 after the first word": ((2, 3), ["word0", "a", "b", "word1"]),
            "slot 4 after three words": ((4, 5), ["word0", "word1", "word2", "a", "b", "word3"]),
            "slot 9 after every word": ((8, 9), ["word4", "word5", "a", "b"]),
            "gap between slots": ((2, 5), ["word0", "a", "word1", "word2", "b", "word3"]),
            "romaji slots 1 and 2 before everything": ((1, 2), ["a", "b", "word0"]),
            "romaji slots 1 and 3 around the first word": ((1, 3), ["a", "word0", "b", "word1"]),
        }
        for name, (slots, expected) in cases.items():
            with self.subTest(name):
                phrases = [x.Phrase("key", slot, phrase) for slot, phrase in zip(slots, "ab")]
                menu = rime_menu(phrases, words)
                start = menu.index(expected[0])
                self.assertEqual(menu[start : start + len(expected)], expected, menu)

    def test_key_that_spells_no_word_leaves_slot_one_to_rimes_sentence(self):
        phrases = [x.Phrase("key", 2, "a"), x.Phrase("key", 3, "b")]
        self.assertEqual(rime_menu(phrases, []), ["sentence", "a", "b"])
        romaji = [x.Phrase("key", 1, "a"), x.Phrase("key", 2, "b"), x.Phrase("key", 4, "c")]
        self.assertEqual(rime_menu(romaji, []), ["a", "b", "sentence", "c"])

    def test_tied_words_keep_the_phrase_below_the_whole_tie(self):
        phrases = [x.Phrase("key", 2, "a")]
        self.assertEqual(rime_menu(phrases, [800.0, 800.0, 20.0]), ["word0", "word1", "a", "word2"])

    def test_eight_phrases_in_one_gap_stay_apart_in_the_digits_rime_keeps(self):
        phrases = [x.Phrase("key", slot, f"p{slot}") for slot in range(2, 10)]
        for words in ([374279.0], [1.0], []):
            with self.subTest(words=words):
                menu = rime_menu(phrases, words)
                self.assertEqual([name for name in menu if name.startswith("p")], [p.phrase for p in phrases])

    def test_table_and_patch_files(self):
        table = x.encode_rime_table(x.group_by_key(SAMPLE), {"xiexie": [48389.0, 120.0]}).decode("utf-8")
        lines = table.split("\n")
        self.assertEqual(lines[:4], ["# Rime table", "# coding: utf-8", "#@/db_name\tkanaroute_phrase.txt", "#@/db_type\ttabledb"])
        entries = [line.split("\t") for line in lines if line and not line.startswith("#")]
        self.assertEqual([e[:2] for e in entries][:3], [["ありがとうございます", "xiexie"], ["ありがとう", "xiexie"], ["ありがとう", "arigatou"]])
        self.assertTrue(all(len(e) == 3 and e[2].isdigit() for e in entries), entries)
        # The user's custom_phrase translator and its weight are the user's own.
        self.assertNotIn("custom_phrase", x.encode_rime_patch().decode("utf-8").split("patch:")[1])


class CommandTest(unittest.TestCase):
    def run_exports(self, *arguments):
        errors = io.StringIO()
        with contextlib.redirect_stderr(errors):
            status = x.main(["make_exports.py", *arguments])
        return status, errors.getvalue()

    def test_writes_every_file_and_only_rime_needs_the_word_table(self):
        with tempfile.TemporaryDirectory() as folder:
            date_dat = os.path.join(folder, "date.dat")
            d = make_date_dat
            # 1,200 entries in each of three categories: 1,000 of each recommended, 200 of each in its file.
            categories = (x.MS_PINYIN_FILES["更多-旅行.dat"][0], "在日本看病", x.MS_PINYIN_FILES["更多-日常会话.dat"][0])
            digits_as_letters = str.maketrans("0123456789", "abcdefghij")  # keys are letters only

            def key(number, index):
                return f"k{number}n{index:04d}".translate(digits_as_letters)

            items = []
            for number, category in enumerate(categories):
                items.append(d.Heading(category))
                items += [d.Entry(key(number, i), 2, f"語{number}の{i}") for i in range(1200 - 6 * (number == 2))]
            items += [d.Entry(p.key, p.position, p.phrase) for p in SAMPLE]
            with open(date_dat, "wb") as written:
                written.write(make_date_dat.encode_date_dat(items))
            table = os.path.join(folder, "table.txt")
            with open(table, "w", encoding="utf-8") as written:
                written.write("# comment\n謝謝\txie xie\t48389\n今天\tjin tian\t50000\n")
            without, with_table = os.path.join(folder, "a"), os.path.join(folder, "b")
            self.assertEqual(self.run_exports(date_dat, without), (0, ""))
            self.assertEqual(self.run_exports(date_dat, with_table, "--luna-table", table)[0], 0)

            def files(root):
                return sorted(os.path.relpath(os.path.join(d, f), root) for d, _, names in os.walk(root) for f in names)

            ms_files = [f"微软拼音/{name}" for name in [x.MS_PINYIN_RECOMMENDED_FILE, *x.MS_PINYIN_FILES]]
            apple_files = ["苹果设备/推荐短语.plist", "苹果设备/全部短语.plist"]
            self.assertEqual(files(without), sorted(["QQ输入法和百度输入法/日语短语.txt", *ms_files, *apple_files]))
            self.assertEqual(files(with_table), sorted(files(without) + ["Rime/kanaroute_phrase.txt", "Rime/luna_pinyin_simp.custom.yaml"]))
            read_back = {}
            for name in [x.MS_PINYIN_RECOMMENDED_FILE, *x.MS_PINYIN_FILES]:
                with open(os.path.join(without, "微软拼音", name), "rb") as written:
                    read_back[name] = read_mschxudp(written.read())
            # The shortest keys of each category are recommended; the rest goes by the heading above it.
            self.assertEqual(len(read_back[x.MS_PINYIN_RECOMMENDED_FILE]), 3000)
            for name, number in (("更多-旅行.dat", 0), (x.MS_PINYIN_DEFAULT_FILE, 1)):
                self.assertEqual([code for code, _, _ in read_back[name]], [key(number, i) for i in range(1000, 1200)])
            self.assertEqual([len(read_back[name]) for name in x.MS_PINYIN_FILES], [200, 200, 200])
            with open(os.path.join(without, "苹果设备", "全部短语.plist"), "rb") as written:
                self.assertEqual(len(plistlib.load(written)), 3600)

    def test_unreadable_date_dat_writes_nothing_and_says_why(self):
        with tempfile.TemporaryDirectory() as folder:
            broken = os.path.join(folder, "date.dat")
            with open(broken, "wb") as written:
                written.write("xiexie,2=ありがとう\r\n".encode("utf-8"))
            output = os.path.join(folder, "out")
            for path in (broken, os.path.join(folder, "missing.dat")):
                with self.subTest(path=path):
                    status, message = self.run_exports(path, output)
                    self.assertEqual(status, 1)
                    self.assertIn(os.path.basename(path), message)
                    self.assertFalse(os.path.exists(output))


if __name__ == "__main__":
    unittest.main()
