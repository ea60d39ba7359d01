"""Tests for the phrasebook page's generator: where each kana reading is shown, and when the
readings it makes with MeCab stop the build. Run with Debian's own Python (python3-mecab)."""

import os
import tempfile
import unittest

import make_date_dat
import make_phrasebook as m
import phrase_readings as pr
import phrase_sections as ps

SECTION = """## 测试
nageren,2=あの人|那个人|敬
nageren,3=あの方|那个人|敬
nageren,4=あのかた|那个人|读
yongyuandeshen,2=神|永远的神|俗
yongyuandeshen,3=最高|永远的神|俗
yongyuandeshen,4=かみ|永远的神|读
yongyuandeshen,5=さいこう|永远的神|读
haojiubujian,2=お久しぶりです|好久不见|敬
haojiubujian,3=久しぶり|好久不见|常
haojiubujian,4=ひさしぶり|好久不见|读
nihao,2=こんにちは|你好|敬
xuesheng,2=がくせい|学生|读
"""


class ReadingPlacementTest(unittest.TestCase):
    def rows(self):
        with tempfile.TemporaryDirectory() as directory:
            path = os.path.join(directory, "01-test.txt")
            with open(path, "w", encoding="utf-8") as file:
                file.write(SECTION)
            sections, problems = ps.read_sections([path])
            keys = ps.group_keys(sections, problems)
        self.assertEqual(problems, [])
        return {key.name: m.key_rows(key) for key in keys}

    def test_each_reading_stands_beside_the_word_it_spells(self):
        rows = self.rows()
        self.assertEqual(rows["nageren"], [("あの人", "", "敬"), ("あの方", "あのかた", "敬")])
        self.assertEqual(rows["yongyuandeshen"], [("神", "かみ", "俗"), ("最高", "さいこう", "俗")])
        self.assertEqual(rows["haojiubujian"], [("お久しぶりです", "", "敬"), ("久しぶり", "ひさしぶり", "常")])
        self.assertEqual(rows["nihao"], [("こんにちは", "", "敬")])
        self.assertEqual(rows["xuesheng"], [("がくせい", "", "读")])


class ReadingFailureTest(unittest.TestCase):
    def problems(self, section, corrections):
        with tempfile.TemporaryDirectory() as directory:
            path = os.path.join(directory, "01-test.txt")
            with open(path, "w", encoding="utf-8") as file:
                file.write("## 测试\n" + section)
            table = os.path.join(directory, "corrections.txt")
            with open(table, "w", encoding="utf-8") as file:
                file.write(corrections)
            try:
                m.build([path], pr.ReadingMaker.from_file(table))
            except make_date_dat.PhraseListError as error:
                return [problem.describe().replace(directory + os.sep, "") for problem in error.problems]
        return []

    def test_the_build_names_the_phrase_and_what_is_wrong_with_its_reading(self):
        section = (
            "jintian,2=今日|今天|敬\n"
            "jintian,3=こんにち|今天|读\n"  # the list's own reading line disagrees with きょう
            "zhuminpiao,2=住民票の写しを3通ください|住民票|敬\n"  # a number with a counter, not in the table
            "guaizi,2=彁です|怪字|敬\n"  # a kanji the dictionary cannot read
            "piaoju,2=票をください|票|敬\n"
            "piaoju,3=ぴょう|票|读\n"  # the reading line of a word inside the phrase disagrees with ひょう
            "yitian,4=1日|一天|敬\n"
            "yihao,4=1日|一号|敬\n"
        )
        problems = self.problems(section, "1日|いちにち\n1日|ついたち|一号\n")
        self.assertEqual(len(problems), 4, problems)
        self.assertRegex(problems[0], r"^01-test.txt:3: .*“今日”读作“きょう”，和本行的读音“こんにち”不一致")
        self.assertRegex(problems[1], r"^01-test.txt:4: .*“住民票の写しを3通ください”.*“3通\|读音”")
        self.assertRegex(problems[2], r"^01-test.txt:5: .*“彁です”.*“彁”")
        self.assertRegex(problems[3], r"^01-test.txt:7: .*“票をください”里的“票”读作“ひょう”，和本行的读音“ぴょう”不一致")
        # A correction applies only where its meaning says, and fixes the build.
        self.assertEqual(self.problems(section, "1日|いちにち\n1日|ついたち|一号\n3通|さんつう\n彁|か\n今日|こんにち\n票を|ぴょうを\n"), [])

        with tempfile.TemporaryDirectory() as directory:
            table = os.path.join(directory, "corrections.txt")
            with open(table, "w", encoding="utf-8") as file:
                file.write("# 注释\n取り消し|とけし\n明日|あした\n今日|キョウ日\n")
            with self.assertRaises(pr.ReadingError) as raised:
                pr.read_corrections(table)
        message = str(raised.exception)
        self.assertIn("corrections.txt:2: 读音“とけし”没有按原样保留“取り消し”的假名", message)
        self.assertIn("corrections.txt:4:", message)
        self.assertNotIn(":3:", message)

    def test_readings_keep_the_written_kana_and_spell_romaji(self):
        maker = pr.ReadingMaker(pr.read_corrections())
        reading = maker.read("住民票の写しを1通ください", "住民票")
        self.assertEqual(reading.kana, "じゅうみんひょうのうつしをいっつうください")
        self.assertTrue(all(s.ruby == "" for s in reading.segments if not any(map(pr.needs_reading, s.text))))
        self.assertEqual(reading.romaji, "jūminhyō no utsushi o ittsū kudasai")
        self.assertEqual(maker.read("1日", "一号").kana, "ついたち")
        self.assertEqual(maker.read("1日", "一天").kana, "いちにち")
        self.assertEqual(maker.read("コンビニはどこですか？").romaji, "konbini wa doko desu ka?")
        # っ at the end of one of MeCab's words doubles the next word's consonant.
        self.assertEqual(maker.read("今やってる病院ある？").romaji, "ima yatteru byōin aru?")
        # Spoken contractions stay one word with their verb.
        self.assertEqual(maker.read("待っててね、食べちゃった").romaji, "mattete ne, tabechatta")
        # A reading line is one word, which MeCab would cut into nonsense (ka zo ku, wa kone).
        self.assertEqual(maker.read("かぞく", reading_line=True).romaji, "kazoku")
        self.assertEqual(maker.read("はこね", reading_line=True).romaji, "hakone")


if __name__ == "__main__":
    unittest.main()
