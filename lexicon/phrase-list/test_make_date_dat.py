"""Tests for the phrase-list generator, the section layout and the shipped phrase list."""

import contextlib
import io
import os
import tempfile
import unittest
from collections import defaultdict

import make_date_dat as m
import phrase_sections as ps

HERE = os.path.dirname(os.path.abspath(__file__))
SHIPPED_SECTIONS = os.path.join(HERE, "sections")

GREETINGS = (
    "# comment that stays in the source\n"
    "## 问候\n"
    "xiexie,4=ありがとうございます|谢谢|敬\n"
    "xiexie,5=ありがとう|谢谢|常\n"
    "\n"
    "nihao,4=こんにちは、元気？|你好|常\n"
)
CHAT = "## 聊天\n# sub-group\nzan,9=👍🏻|赞|俗\njiating,2=👨\u200d👩\u200d👧|家庭|俗\n"


class SectionFolderTest(unittest.TestCase):
    """A temporary folder of section files (also the base of the checker's tests)."""

    def setUp(self):
        temporary = tempfile.TemporaryDirectory()
        self.addCleanup(temporary.cleanup)
        self.directory = temporary.name

    def write(self, name, text):
        path = os.path.join(self.directory, name)
        with open(path, "wb") as written:
            written.write(text.encode("utf-8") if isinstance(text, str) else text)
        return path


class RoundTripTest(SectionFolderTest):
    def test_sections_in_name_order_survive_encode_and_parse(self):
        self.write("16-chat.txt", CHAT)
        self.write("01-greetings.txt", GREETINGS)
        items = m.read_source([self.directory])
        self.assertEqual(
            items[:4],
            [m.Heading("问候"), m.Entry("xiexie", 4, "ありがとうございます"), m.Entry("xiexie", 5, "ありがとう"),
             m.Entry("nihao", 4, "こんにちは、元気？")],
        )
        self.assertEqual(items[4], m.Heading("聊天"))
        self.assertEqual(m.parse_date_dat(m.encode_date_dat(items)), m.entries_of(items))

    def test_output_is_utf16le_with_bom_crlf_headings_and_no_source_columns(self):
        self.write("01-greetings.txt", GREETINGS)
        data = m.encode_date_dat(m.read_source([self.directory]))
        self.assertTrue(data.startswith(b"\xff\xfe"))
        text = data[2:].decode("utf-16-le")
        self.assertTrue(text.endswith("\r\n"))
        lines = text.split("\r\n")[:-1]
        self.assertFalse(any("\n" in line or "\r" in line for line in lines))
        self.assertTrue(lines[0].startswith(";"))
        self.assertIn("; 问候", lines)
        self.assertIn("xiexie,4=ありがとうございます", lines)
        self.assertFalse(any("comment" in line or "|" in line or "谢谢" in line for line in lines))

    def test_source_with_bom_and_crlf_is_read_like_plain_utf8(self):
        self.write("01-greetings.txt", GREETINGS)
        plain = m.read_source([self.directory])
        self.write("01-greetings.txt", "\ufeff" + GREETINGS.replace("\n", "\r\n"))
        self.assertEqual(m.read_source([self.directory]), plain)

    def test_malformed_date_dat_is_refused(self):
        self.write("01-greetings.txt", GREETINGS)
        good = m.encode_date_dat(m.read_source([self.directory]))
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


class LineLayoutTest(unittest.TestCase):
    def assertRejected(self, bad_line, expected_word):
        text = "# header\n## 问候\nxiexie,2=ありがとう|谢谢|常\n" + bad_line + "\nnihao,2=こんにちは|你好|敬\n"
        _, problems = ps.parse_section("01-greetings.txt", text)
        self.assertEqual(len(problems), 1, problems)
        self.assertEqual(problems[0].line, 4)
        self.assertIn(expected_word, problems[0].message)

    def test_bad_key_characters(self):
        for key in ["XieXie", "xie xie", "xie-xie", "nü", "2b", "ｘｉｅ"]:
            with self.subTest(key):
                self.assertRejected(f"{key},2=ありがとう|谢谢|常", "缩写")
        self.assertRejected(",2=ありがとう|谢谢|常", "缩写为空")

    def test_position_outside_one_to_nine(self):
        for position in ["0", "10", "-1", "a", "", "２", " 3"]:
            with self.subTest(position):
                self.assertRejected(f"xiexie,{position}=ありがとう|谢谢|常", "位置")
        self.assertRejected("xiexie=ありがとう|谢谢|常", "缺少位置")

    def test_empty_or_padded_fields(self):
        self.assertRejected("xiexie,3=|谢谢|常", "短语为空")
        self.assertRejected("xiexie,3=\u3000 |谢谢|常", "短语为空")
        self.assertRejected("xiexie,3= どうも|谢谢|常", "空白")
        self.assertRejected("xiexie,3=どうも |谢谢|常", "空白")
        self.assertRejected("xiexie,3=どうも||常", "中文意思为空")
        self.assertRejected("xiexie,3=どうも|谢谢 |常", "中文意思")

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
                self.assertRejected(f"xiexie,3=どう{character}も|谢谢|常", "不允许的字符")
        self.assertRejected("xiexie,3=a=b|谢谢|常", "等号")

    def test_line_that_is_no_entry(self):
        self.assertRejected("xiexie ありがとう", "无法识别")

    def test_allowed_text(self):
        text = "## 标题 = 也可以有等号\nk,1=a,b（逗号）|意思|常\nk,2=👍🏻|意思|俗\nk,3=家族👨\u200d👩\u200d👧|意思|俗\n  # indented\n\n"
        self.assertEqual(ps.parse_section("01-a.txt", text)[1], [])


class KeyLinesTest(SectionFolderTest):
    def faults(self, *texts):
        for number, text in enumerate(texts, start=1):
            self.write(f"{number:02d}-part.txt", "## 分类\n" + text)
        with self.assertRaises(m.PhraseListError) as raised:
            m.read_source([self.directory])
        return [p.describe() for p in raised.exception.problems]

    def test_same_key_and_position_or_phrase_twice(self):
        faults = self.faults("xiexie,2=ありがとう|谢谢|常\nxiexie,2=どうも|谢谢|常\nxiexie,3=ありがとう|谢谢|常\n")
        self.assertEqual(len(faults), 2)
        self.assertIn("01-part.txt:3: ", faults[0])
        self.assertIn("已在第 2 行用过", faults[0])
        self.assertIn("已在第 2 行出现过", faults[1])

    def test_key_in_two_files(self):
        faults = self.faults("xiexie,2=ありがとう|谢谢|常\n", "xiexie,3=どうも|谢谢|常\n")
        self.assertEqual(len(faults), 1)
        self.assertIn("02-part.txt:2: ", faults[0])

    def test_every_fault_is_reported_with_its_file_and_line(self):
        faults = self.faults("A,2=x|y|常\nok,2=y|y|常\nb,0=z|y|常\n")
        self.assertEqual([f.split(": ")[0] for f in faults], [os.path.join(self.directory, "01-part.txt:2"),
                                                             os.path.join(self.directory, "01-part.txt:4")])


class CommandLineTest(SectionFolderTest):
    def run_cli(self, output_path=None):
        """Runs the command line on the folder; returns (exit code, stderr, output path)."""
        output_path = output_path or os.path.join(self.directory, "bin", "date.dat")
        errors = io.StringIO()
        with contextlib.redirect_stderr(errors):
            code = m.main(["make_date_dat.py", self.directory, output_path])
        return code, errors.getvalue(), output_path

    def test_good_source_is_written(self):
        self.write("01-greetings.txt", "## 问候\nxiexie,2=ありがとう|谢谢|常\n")
        code, errors, output = self.run_cli()
        self.assertEqual((code, errors), (0, ""))
        with open(output, "rb") as built:
            self.assertEqual(m.parse_date_dat(built.read()), [m.Entry("xiexie", 2, "ありがとう")])

    def test_bad_source_names_file_and_line_and_keeps_the_previous_output(self):
        directory = os.path.join(self.directory, "bin")
        os.makedirs(directory)
        output = os.path.join(directory, "date.dat")
        with open(output, "wb") as previous:
            previous.write(b"previous")
        self.write("01-greetings.txt", "## 问候\nxiexie,2=ありがとう|谢谢|常\nxiexie,12=どうも|谢谢|常\n")
        code, errors, _ = self.run_cli(output)
        self.assertEqual(code, 1)
        self.assertIn("01-greetings.txt:3: ", errors)
        with open(output, "rb") as kept:
            self.assertEqual(kept.read(), b"previous")
        self.assertEqual(os.listdir(directory), ["date.dat"], "no temporary file may be left behind")

    def test_source_that_is_not_utf8_names_the_line(self):
        self.write("01-greetings.txt", "## 问候\nxiexie,2=ありがとう|谢谢|常\n".encode("utf-8") + "nihao,2=你好|你好|敬\n".encode("gbk"))
        code, errors, output = self.run_cli()
        self.assertEqual(code, 1)
        self.assertIn("01-greetings.txt:3: ", errors)
        self.assertFalse(os.path.exists(output))

    def test_source_without_entries_is_refused(self):
        self.write("01-greetings.txt", "## 问候\n# nothing yet\n")
        code, errors, output = self.run_cli()
        self.assertEqual(code, 1)
        self.assertFalse(os.path.exists(output))


@unittest.skipUnless(os.path.isdir(SHIPPED_SECTIONS), "no sections folder")
class ShippedListTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.items = m.read_source([SHIPPED_SECTIONS])
        cls.entries = m.entries_of(cls.items)

    def test_survives_encode_and_parse(self):
        self.assertEqual(m.parse_date_dat(m.encode_date_dat(self.items)), self.entries)

    def test_has_at_least_1300_keys_and_2500_entries(self):
        self.assertGreaterEqual(len({e.key for e in self.entries}), 1300)
        self.assertGreaterEqual(len(self.entries), 2500)

    def test_covers_the_basic_words(self):
        phrases = defaultdict(set)
        for entry in self.entries:
            phrases[entry.key].add(entry.phrase)
        expected = {
            "xiexie": "ありがとうございます",
            "nihao": "こんにちは",
            "duibuqi": "すみません",
            "zaijian": "さようなら",
            "arigatou": "ありがとう",
        }
        for key, phrase in expected.items():
            with self.subTest(key):
                self.assertIn(phrase, phrases[key])
        numbers = ["yi", "er", "san", "si", "wu", "liu", "qi", "ba", "jiu", "shi"]
        days = ["xingqiyi", "xingqier", "xingqisan", "xingqisi", "xingqiwu", "xingqiliu", "xingqitian"]
        months = [n + "yue" for n in numbers] + ["shiyiyue", "shieryue"]
        for key in days + months + ["shuzi", "yige", "yigeren"]:
            with self.subTest(key):
                self.assertTrue(phrases[key], f"no entry for {key}")
        for key in numbers:
            with self.subTest(key):
                self.assertFalse(phrases[key], f"single-syllable key {key} hides the commonest characters")


if __name__ == "__main__":
    unittest.main()
