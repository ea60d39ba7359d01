"""Tests for the phrase-list generator and for the shipped phrase list."""

import contextlib
import io
import os
import tempfile
import unittest
from collections import defaultdict

import make_date_dat as m

HERE = os.path.dirname(os.path.abspath(__file__))
SHIPPED_SOURCE = os.path.join(HERE, "phrases.txt")


def read_shipped_source():
    with open(SHIPPED_SOURCE, encoding="utf-8") as source:
        return source.read()


class RoundTripTest(unittest.TestCase):
    SAMPLE = (
        "# comment that stays in the source\n"
        "## 问候\n"
        "xiexie,2=ありがとう\n"
        "xiexie,3=ありがとうございます\n"
        "\n"
        "; another comment\n"
        "nihao,2=こんにちは、元気？\n"
        "ok,9=👍🏻\n"
        "family,2=👨\u200d👩\u200d👧\n"
    )

    def test_sample_survives_encode_and_parse(self):
        items = m.parse_source(self.SAMPLE)
        self.assertEqual(m.parse_date_dat(m.encode_date_dat(items)), m.entries_of(items))
        self.assertEqual(
            [(e.key, e.position, e.phrase) for e in m.entries_of(items)][:3],
            [("xiexie", 2, "ありがとう"), ("xiexie", 3, "ありがとうございます"), ("nihao", 2, "こんにちは、元気？")],
        )

    def test_shipped_list_survives_encode_and_parse(self):
        items = m.parse_source(read_shipped_source())
        self.assertEqual(m.parse_date_dat(m.encode_date_dat(items)), m.entries_of(items))

    def test_output_is_utf16le_with_bom_crlf_and_a_comment_header(self):
        data = m.encode_date_dat(m.parse_source(self.SAMPLE))
        self.assertTrue(data.startswith(b"\xff\xfe"))
        text = data[2:].decode("utf-16-le")
        self.assertTrue(text.endswith("\r\n"))
        lines = text.split("\r\n")[:-1]
        self.assertFalse(any("\n" in line or "\r" in line for line in lines))
        self.assertTrue(lines[0].startswith(";"))
        self.assertIn("; 问候", lines)
        self.assertIn("xiexie,2=ありがとう", lines)
        self.assertFalse(any("comment" in line for line in lines), "source comments must stay in the source")

    def test_source_with_bom_and_crlf_is_read_like_plain_utf8(self):
        plain = m.parse_source(self.SAMPLE)
        self.assertEqual(m.parse_source("\ufeff" + self.SAMPLE.replace("\n", "\r\n")), plain)

    def test_malformed_date_dat_is_refused(self):
        good = m.encode_date_dat(m.parse_source(self.SAMPLE))
        cases = {
            "no byte-order mark": good[2:],
            "LF line ends": b"\xff\xfe" + "xiexie,2=ありがとう\n".encode("utf-16-le"),
            "last line without CR LF": good[:-4],
            "entry line out of format": b"\xff\xfe" + "xiexie=ありがとう\r\n".encode("utf-16-le"),
        }
        for name, data in cases.items():
            with self.subTest(name):
                with self.assertRaises(ValueError):
                    m.parse_date_dat(data)


class ValidatorTest(unittest.TestCase):
    def assertRejected(self, bad_line, expected_word):
        text = "# header\nxiexie,2=ありがとう\n" + bad_line + "\nnihao,2=こんにちは\n"
        problems = m.validate(text)
        self.assertEqual(len(problems), 1, problems)
        self.assertEqual(problems[0].line, 3)
        self.assertIn(expected_word, problems[0].message)
        with self.assertRaises(m.PhraseListError):
            m.parse_source(text)

    def test_bad_key_characters(self):
        for line in ["XieXie,2=ありがとう", "xie xie,2=ありがとう", "xie-xie,2=ありがとう", "nü,2=娘", "2b,2=ありがとう",
                     "ｘｉｅ,2=ありがとう"]:
            with self.subTest(line):
                self.assertRejected(line, "缩写")
        self.assertRejected(",2=ありがとう", "缩写为空")

    def test_position_outside_one_to_nine(self):
        for line in ["xiexie,0=ありがとう", "xiexie,10=ありがとう", "xiexie,-1=ありがとう", "xiexie,a=ありがとう",
                     "xiexie,=ありがとう", "xiexie,２=ありがとう", "xiexie, 3=ありがとう"]:
            with self.subTest(line):
                self.assertRejected(line, "位置")
        self.assertRejected("xiexie=ありがとう", "缺少位置")

    def test_empty_or_padded_phrase(self):
        self.assertRejected("xiexie,3=", "短语为空")
        self.assertRejected("xiexie,3=\u3000 ", "短语为空")
        self.assertRejected("xiexie,3= どうも", "空白")
        self.assertRejected("xiexie,3=どうも ", "空白")

    def test_same_key_and_position_twice(self):
        self.assertRejected("xiexie,2=どうも", "第 2 行")

    def test_same_phrase_twice_for_one_key(self):
        self.assertRejected("xiexie,3=ありがとう", "第 2 行")

    def test_characters_that_are_not_allowed(self):
        cases = {
            "tab": "\t",
            "carriage return inside a line": "\r",
            "next line": "\u0085",
            "line separator": "\u2028",
            "byte-order mark": "\ufeff",
            "private use": "\ue000",
            "zero-width space": "\u200b",
            "right-to-left mark": "\u200f",
            "noncharacter": "\uffff",
        }
        for name, character in cases.items():
            with self.subTest(name):
                self.assertRejected(f"xiexie,3=どう{character}も", "不允许的字符")
        self.assertRejected("xiexie,3=a=b", "等号")
        self.assertRejected("## 标题\u0007", "不允许的字符")

    def test_line_that_is_no_entry(self):
        self.assertRejected("xiexie ありがとう", "无法识别")

    def test_every_fault_is_reported_with_its_line(self):
        problems = m.validate("A,2=x\nok,2=y\nb,0=z\nc,2=\n")
        self.assertEqual([p.line for p in problems], [1, 3, 4])
        self.assertEqual(problems[0].describe("phrases.txt"), "phrases.txt:1: " + problems[0].message)

    def test_allowed_text(self):
        text = "## 标题 = 也可以有等号\nk,1=a,b（逗号）\nk,2=👍🏻\nk,3=家族👨\u200d👩\u200d👧\n  # indented comment\n\n"
        self.assertEqual(m.validate(text), [])


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        temporary = tempfile.TemporaryDirectory()
        self.addCleanup(temporary.cleanup)
        self.directory = temporary.name

    def run_cli(self, source, output_path=None):
        """Runs the command line on a source written to phrases.txt; returns (exit code, stderr, output path)."""
        source_path = os.path.join(self.directory, "phrases.txt")
        with open(source_path, "wb") as written:
            written.write(source.encode("utf-8") if isinstance(source, str) else source)
        output_path = output_path or os.path.join(self.directory, "bin", "date.dat")
        errors = io.StringIO()
        with contextlib.redirect_stderr(errors):
            code = m.main(["make_date_dat.py", source_path, output_path])
        return code, errors.getvalue(), output_path

    def test_good_source_is_written(self):
        code, errors, output = self.run_cli("xiexie,2=ありがとう\n")
        self.assertEqual((code, errors), (0, ""))
        with open(output, "rb") as built:
            self.assertEqual(m.parse_date_dat(built.read()), [m.Entry("xiexie", 2, "ありがとう")])

    def test_bad_source_names_file_and_line_and_keeps_the_previous_output(self):
        directory = os.path.join(self.directory, "bin")
        os.makedirs(directory)
        output = os.path.join(directory, "date.dat")
        with open(output, "wb") as previous:
            previous.write(b"previous")
        code, errors, _ = self.run_cli("# c\nxiexie,2=ありがとう\nxiexie,12=どうも\n", output)
        self.assertEqual(code, 1)
        self.assertIn("phrases.txt:3: ", errors)
        with open(output, "rb") as kept:
            self.assertEqual(kept.read(), b"previous")
        self.assertEqual(os.listdir(directory), ["date.dat"], "no temporary file may be left behind")

    def test_source_that_is_not_utf8_names_the_line(self):
        code, errors, output = self.run_cli("xiexie,2=ありがとう\n".encode("utf-8") + "nihao,2=你好\n".encode("gbk"))
        self.assertEqual(code, 1)
        self.assertIn("phrases.txt:2: ", errors)
        self.assertFalse(os.path.exists(output))

    def test_source_without_entries_is_refused(self):
        code, errors, output = self.run_cli("# nothing yet\n")
        self.assertEqual(code, 1)
        self.assertFalse(os.path.exists(output))


class ShippedListTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.text = read_shipped_source()
        cls.problems = m.validate(cls.text)
        cls.entries = m.entries_of(m.parse_source(cls.text)) if not cls.problems else []

    def test_passes_the_validator(self):
        self.assertEqual([p.describe("phrases.txt") for p in self.problems], [])

    def test_has_at_least_300_entries(self):
        self.assertGreaterEqual(len(self.entries), 300)

    def test_japanese_starts_at_position_2_and_positions_are_consecutive(self):
        positions = defaultdict(list)
        for entry in self.entries:
            positions[entry.key].append(entry.position)
        for key, found in positions.items():
            with self.subTest(key):
                self.assertEqual(found, list(range(2, 2 + len(found))), "in file order, starting at 2")

    def test_covers_the_basic_words(self):
        phrases = defaultdict(set)
        for entry in self.entries:
            phrases[entry.key].add(entry.phrase)
        expected = {
            "xiexie": "ありがとう",
            "nihao": "こんにちは",
            "duibuqi": "すみません",
            "zaijian": "さようなら",
            "shide": "はい",
            "bushi": "いいえ",
        }
        for key, phrase in expected.items():
            with self.subTest(key):
                self.assertIn(phrase, phrases[key])
        numbers = ["yi", "er", "san", "si", "wu", "liu", "qi", "ba", "jiu", "shi"]
        days = ["xingqiyi", "xingqier", "xingqisan", "xingqisi", "xingqiwu", "xingqiliu", "xingqitian"]
        months = [n + "yue" for n in numbers] + ["shiyiyue", "shieryue"]
        for key in numbers + days + months:
            with self.subTest(key):
                self.assertTrue(phrases[key], f"no entry for {key}")


if __name__ == "__main__":
    unittest.main()
