"""Tests for the phrasebook page's generator: where each kana reading is shown."""

import os
import tempfile
import unittest

import make_phrasebook as m
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


if __name__ == "__main__":
    unittest.main()
