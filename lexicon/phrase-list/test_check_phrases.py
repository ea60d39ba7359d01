"""Tests for the phrase-list checks, with the real Debian language data (run with /usr/bin/python3)."""

import contextlib
import io
import os
import unittest
import zipfile

import check_phrases as c
import make_report
import phrase_sections as ps
from test_make_date_dat import SectionFolderTest

HERE = os.path.dirname(os.path.abspath(__file__))
SECTIONS = os.path.join(HERE, "sections")

GOOD = """\
# 问候
## 问候与礼貌
xiexieni,2=ありがとうございます|谢谢你|敬
xiexieni,3=ありがとう|谢谢你|常
xiexieni,4=サンキュー|谢谢你|俗
zaoshanghao,2=おはようございます|早上好|敬
zaoshanghao,3=おはよう|早上好|常
tingbudong,2=わかりません|听不懂|敬
tingbudong,3=わからない|听不懂|常
xianzaijidian,2=今何時ですか？|现在几点|敬
xianzaijidian,3=今何時？|现在几点|常
jinnian,4=今年|今年|读
"""


class CheckTest(SectionFolderTest):
    def findings(self, *entries, name="01-greetings.txt", heading="## 问候与礼貌"):
        self.write(name, "\n".join((heading,) + entries) + "\n")
        return c.check([self.directory])

    def problems(self, *entries, **where):
        return [p.message for p in self.findings(*entries, **where).problems]

    def assertCaught(self, entries, expected, **where):
        found = self.problems(*entries, **where)
        self.assertTrue(any(expected in message for message in found), f"{expected!r} not in {found}")

    def assertClean(self, *entries, **where):
        self.assertEqual(self.problems(*entries, **where), [])

    def test_good_list_passes_and_is_counted(self):
        self.write("01-greetings.txt", GOOD.replace("jinnian,4=今年|今年|读\n", ""))
        self.write("20-romaji.txt", "## 罗马字输入\narigatou,1=ありがとう|谢谢|常\nsumimasen,1=すみません|对不起|敬\n")
        findings = c.check([self.directory])
        self.assertEqual([p.describe() for p in findings.problems], [])
        self.assertEqual((len(findings.keys), sum(len(s.entries) for s in findings.sections)), (6, 11))
        report = "\n".join(c.summary(findings))
        self.assertIn("| 01-greetings.txt | 问候与礼貌 | 4 | 9 |", report)
        self.assertIn("| 20-romaji.txt | 罗马字输入 | 2 | 2 |", report)

    def test_key_must_spell_its_meaning_with_two_syllables_or_more(self):
        self.assertCaught(["yi,2=いち|一|敬"], "只有一个音节")
        self.assertCaught(["xiexie,2=ありがとうございます|感谢|敬"], "不是“感谢”的完整拼音")
        self.assertCaught(["lyuyou,2=旅行に行きます|旅游|敬"], "完整拼音")
        self.assertCaught(["sidian,4=4時|4点|敬"], "没有拼音")
        # Polyphonic characters: any reading fits; ü is written v; punctuation is not read.
        self.assertClean("yinhangka,2=カードです|银行卡|敬", "xinglixiang,2=スーツケースです|行李箱|敬")
        self.assertClean("nvpengyou,2=彼女です|女朋友|敬", "duoshaoqian,2=いくらですか？|多少钱？|敬")

    def test_common_homophone_pushes_japanese_to_slot_four(self):
        # kele is also 可乐, shijian also 事件 and 实践.
        self.assertCaught(["kele,2=のどが渇きました|渴了|敬"], "可乐")
        self.assertCaught(["shijian,3=じかん|时间|敬"], "事件")
        self.assertClean("kele,4=のどが渇きました|渴了|敬", "shijian,4=時間があります|时间|敬")
        # A variant spelling outside everyday simplified characters (妳好) does not count.
        self.assertClean("nihao,2=こんにちは|你好|敬")

    def test_slots_and_candidate_counts(self):
        self.assertCaught(["nihao,1=こんにちは|你好|敬"], "第 1 位留给中文")
        self.assertCaught(["nihao,2=こんにちは|你好|敬", "nihao,3=どうも|你好|常", "nihao,4=やあ|你好|常"], "最多只能有 2 个")
        self.assertCaught(["nihao,6=こんにちは|你好|敬"], "只能在第 2 到 5 位")
        many = [f"ohayougozaimasu,{n}=おはようございます{'！' * n}|早上好|敬" for n in range(1, 10)]
        self.assertCaught(many, "最多只能有 8 个", name="20-romaji.txt", heading="## 罗马字输入")
        self.assertCaught(["zaoshanghao,3=おはようございます|早上好|敬", "zaoshanghao,2=おはよう|早上好|常"], "递增")
        self.assertCaught(["zaoshanghao,2=おはようございます|早上好|敬", "zaoshanghao,2=おはよう|早上好|常"], "已在第 2 行用过")
        self.assertCaught(["zaoshanghao,2=おはよう|早上好|常", "zaoshanghao,3=おはよう|早上好|常"], "已在第 2 行出现过")
        self.assertCaught(["zaoshanghao,2=おはようございます|早上好|敬", "zaoshanghao,3=おはよう|早安|常"], "中文意思应与")

    def test_key_lives_in_one_file_on_consecutive_lines(self):
        self.write("02-self-introduction.txt", "## 自我介绍\nxiexie,2=どうも|谢谢|常\n")
        self.assertCaught(["xiexie,2=ありがとうございます|谢谢|敬"], "已在 01-greetings.txt 第 2 行使用")
        self.assertCaught(
            ["xiexie,2=ありがとうございます|谢谢|敬", "nihao,2=こんにちは|你好|敬", "xiexie,3=ありがとう|谢谢|常"],
            "必须连在一起",
        )

    def test_japanese_equal_to_its_meaning_is_refused(self):
        for entry in ["dazhangfu,2=大丈夫|大丈夫|敬", "riben,2=日本|日本|敬", "lvxing,2=旅行！|旅行|敬"]:
            with self.subTest(entry):
                self.assertCaught([entry], "一模一样")
        # Its reading may stand alone when the meaning is Japanese writing too; 时间 is not.
        self.assertClean("riben,2=にほん|日本|读")
        self.assertCaught(["ceshiyixia,4=じかん|测试一下|读"], "前面没有需要读音的汉字候选")

    def test_japanese_glyph_form_counts_only_with_its_reading(self):
        # 時間 is 时间 in Japanese glyphs; 国民健康保険 is several words, which the kanji-word rule
        # alone would let pass without a reading.
        # 予約 and 窓口 are glyph forms that OpenCC's conversion misses (予 becomes 豫, 窓 stays).
        glyph_forms = [("時間", "shijian,4={}|时间"), ("国民健康保険", "guominjiankangbaoxian,2={}|国民健康保险")]
        glyph_forms += [("予約", "yuyue,4={}|预约"), ("窓口", "chuangkou,4={}|窗口")]
        for word, meaning in glyph_forms:
            with self.subTest(word):
                self.assertCaught([meaning.format(word) + "|敬"], "日文字形")
        findings = self.findings("shijian,4=時間|时间|敬", "shijian,5=じかん|时间|读", "yuyue,4=予約|预约|敬", "yuyue,5=よやく|预约|读")
        self.assertEqual((findings.problems, findings.glyph_keys), ([], 2))
        self.assertClean("xinganxian,4=新幹線|新干线|敬", "xinganxian,5=新幹線に乗ります|新干线|敬", "xinganxian,6=しんかんせん|新干线|读")
        # A Latin letter in a Chinese word is typed as itself.
        self.assertClean("aazhi,2=割り勘にしましょう|AA制|敬")

    def test_chinese_characters_that_japanese_lacks_are_refused(self):
        self.assertCaught(["zuodianche,2=电车に乗ります|坐电车|敬"], "“电、车”是中文的写法")
        self.assertClean("zuodianche,2=電車に乗ります|坐电车|敬")

    def test_words_mecab_does_not_know(self):
        self.assertCaught(["xiexie,2=ありがとうございまふ|谢谢|敬"], "MeCab 不认识")
        self.assertCaught(["ganbei,4=ｸﾞｸﾞﾚｶｽﾞｽﾞ|干杯|俗"], "MeCab 不认识")
        # Digits are numbers, not unknown words.
        self.assertClean("sandian,2=3時です|三点|敬")

    def test_accepted_words_are_used_and_reported(self):
        accepted = self.write("accepted.txt", "# test\nﾃｽﾄﾜｰﾄﾞ | a name for the test\n")
        self.write("01-greetings.txt", "## 问候与礼貌\nceshiyixia,2=ﾃｽﾄﾜｰﾄﾞです|测试一下|敬\n")
        findings = c.check([os.path.join(self.directory, "01-greetings.txt")], accepted)
        self.assertEqual(findings.problems, [])
        self.assertEqual(findings.exceptions_used, {"ﾃｽﾄﾜｰﾄﾞ": "a name for the test"})

    def test_kanji_word_needs_a_later_reading(self):
        for word in ["今年", "辛い", "4時", "1日", "お土産", "切符"]:
            with self.subTest(word):
                self.assertCaught([f"ceshiyixia,4={word}|测试一下|敬"], "需要一个写出读音")
        self.assertCaught(["ceshiyixia,4=ことし|测试一下|读", "ceshiyixia,5=今年|测试一下|敬"], "前面没有需要读音的汉字候选")
        self.assertCaught(["ceshiyixia,4=今年|测试一下|敬", "ceshiyixia,5=今年です|测试一下|读"], "只能用假名")
        # Two kanji words need two readings; a reading that MeCab does not give (いつ) still counts.
        self.assertCaught(["ceshiyixia,4=今年|测试一下|敬", "ceshiyixia,5=去年|测试一下|敬", "ceshiyixia,6=ことし|测试一下|读"], "去年")
        self.assertClean(
            "ceshiyixia,4=今年|测试一下|敬", "ceshiyixia,5=何時|测试一下|敬", "ceshiyixia,6=いつ|测试一下|读", "ceshiyixia,7=ことし|测试一下|读"
        )
        # A sentence with kanji is not a word.
        self.assertClean("ceshiyixia,4=今年も頑張ります|测试一下|敬", "ceshiyixia,5=今何時？|测试一下|常")
        self.assertClean("ceshiyixia,4=ご確認ください|测试一下|敬", "ceshiyixia,5=忙しすぎる|测试一下|常")
        self.assertClean("ceshiyixia,4=向かい|测试一下|敬", "ceshiyixia,5=むかい|测试一下|读")
        # Readings are kana that MeCab's dictionary hardly knows; the kanji word is what it analyses.
        self.assertClean("ceshiyixia,4=残業|测试一下|敬", "ceshiyixia,5=ざんぎょう|测试一下|读")

    def test_registers_polite_first_and_honest(self):
        self.assertCaught(["budong,4=わからない|不懂|常", "budong,5=わかりません|不懂|敬"], "语体顺序倒退")
        self.assertCaught(["budong,4=わかりません|不懂|常"], "“常”候选里有です/ます")
        self.assertCaught(["budong,4=わからない|不懂|敬"], "以简体结尾")
        self.assertCaught(["haochi,2=おいしいね|好吃|敬"], "以简体结尾")
        for plain in ["気をつけて", "わかった", "いいよ", "行こう", "しらない", "だめだ"]:
            with self.subTest(plain):
                self.assertCaught([f"ceshiyixia,4={plain}|测试一下|敬"], "以简体结尾")
        for polite in ["ちょっと待ってください", "ありがとうございました", "一緒に行きませんか？", "お元気で", "どうぞ",
                       "お気をつけて", "いってらっしゃい", "すうじ", "でんしゃ", "じゅうでんき"]:
            with self.subTest(polite):
                self.assertClean(f"ceshiyixia,4={polite}|测试一下|敬")

    def test_romaji_keys(self):
        where = {"name": "20-romaji.txt", "heading": "## 罗马字输入"}
        self.assertClean("arigatou,1=ありがとう|谢谢|常", "konnichiha,1=こんにちは|你好|敬", **where)
        self.assertCaught(["neko,1=猫です|猫|敬"], "至少要有 5 个字母", **where)
        self.assertCaught(["ikimasu,1=行きます|去|敬"], "不能以 i、u 或 v 开头", **where)
        self.assertCaught(["shijian,1=時間があります|时间|敬"], "也是中文词", **where)
        # Romaji keys belong in the romaji file only.
        self.assertCaught(["arigatou,2=ありがとう|谢谢|常"], "完整拼音")

    def test_layout_faults_name_their_line(self):
        cases = {
            "no heading": ("xiexie,2=ありがとう|谢谢|常", "缺少“## 分类名”标题"),
            "two fields": ("## 问候\nxiexie,2=ありがとう|谢谢", "三栏"),
            "bad register": ("## 问候\nxiexie,2=ありがとう|谢谢|礼", "语体"),
            "second heading": ("## 问候\nxiexie,2=ありがとう|谢谢|常\n## 再来", "只能有一个"),
            "position zero": ("## 问候\nxiexie,0=ありがとう|谢谢|常", "位置"),
            "pipe in phrase": ("## 问候\nxiexie,2=あり|がとう|谢谢|常", "三栏"),
        }
        for name, (text, expected) in cases.items():
            with self.subTest(name):
                section, problems = ps.parse_section("01-greetings.txt", text + "\n")
                self.assertTrue(any(expected in p.message for p in problems), problems)
        _, problems = ps.parse_section("greetings.txt", "## 问候\nxiexie,2=ありがとう|谢谢|常\n")
        self.assertIn("文件名", problems[0].message)

    def test_command_line_prints_file_line_messages_and_fails(self):
        path = self.write("01-greetings.txt", "## 问候与礼貌\nyi,2=いち|一|敬\n")
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            code = c.main(["check_phrases.py", "--report", os.path.join(self.directory, "r.md"), path])
        self.assertEqual(code, 1)
        self.assertIn(f"{path}:2: ", output.getvalue())
        self.assertTrue(os.path.exists(os.path.join(self.directory, "r.md")))

    def test_report_surveys_the_threshold_and_sizes_date_dat_in_the_zip(self):
        self.write("01-greetings.txt", "## 问候与礼貌\nkele,4=のどが渇きました|渴了|敬\nshijian,4=時間があります|时间|敬\n")
        zip_path = os.path.join(self.directory, "k.zip")
        with zipfile.ZipFile(zip_path, "w") as archive:
            archive.writestr("Kanaroute/Kanaroute.exe", b"MZ")
            archive.writestr("Kanaroute/date.dat", b"x" * 2048)
        text = "\n".join(make_report.report(self.directory, zip_path))
        self.assertIn("`Kanaroute/date.dat` in `k.zip`: 2,048 bytes", text)
        self.assertIn("| 500 (in use) | 2 |", text)
        self.assertIn("| 2000 | 2 |", text)
        self.assertIn("| shijian | 时间 | 事件 | 13890 |", text)


class ShippedSectionsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.findings = c.check([SECTIONS])
        cls.keys = {key.name: key for key in cls.findings.keys}

    def phrases(self, key):
        return [entry.phrase for entry in self.keys[key].entries] if key in self.keys else []

    def test_pass_every_check(self):
        self.assertEqual([p.describe() for p in self.findings.problems], [])

    def test_errors_found_in_review_stay_fixed(self):
        wrong = {
            "dazhangfu": "大丈夫",
            "duobaozhong": "お大事に",
            "kele": "のどが渇いた",
            "wuliao": "暇",
            "xiayu": "雨",
            "xiaxue": "雪",
            "yilushunfeng": "いってらっしゃい",
            "techan": "お土産",
            "laopo": "奥さん",
        }
        for key, phrase in wrong.items():
            with self.subTest(key):
                self.assertNotIn(phrase, self.phrases(key))
        self.assertNotEqual(self.phrases("buzhidao")[:1], ["知らない"], "the blunt form must not come first")
        self.assertFalse({"よいお年を", "あけましておめでとうございます"} <= set(self.phrases("xinniankuaile")))
        for phrase in ["よいお年を", "あけましておめでとうございます", "お土産", "のどが渇きました"]:
            with self.subTest(phrase):
                self.assertTrue(any(phrase in self.phrases(key) for key in self.keys), f"no key offers {phrase}")
        readings = {"jidian": ("何時", "なんじ"), "haola": ("辛", "からい")}
        for key, (kanji, reading) in readings.items():
            with self.subTest(key):
                if any(kanji in phrase for phrase in self.phrases(key)):
                    self.assertTrue(any(reading in phrase for phrase in self.phrases(key)), self.phrases(key))

    def test_review_fixes_stay(self):
        self.assertNotIn("動詞の活用", self.phrases("dongci"))
        # Classroom words: the kanji first, the reading after it, marked 读.
        for key, kanji, reading in [("xingrongci", "形容詞", "けいようし"), ("heiban", "黒板", "こくばん"),
                                    ("changyin", "長音", "ちょうおん"), ("mingci", "名詞", "めいし"),
                                    ("yuxi", "予習", "よしゅう"), ("lianxi", "練習", "れんしゅう"),
                                    ("dongci", "動詞", "どうし"), ("shijian", "時間", "じかん"),
                                    ("dianhua", "電話", "でんわ")]:
            with self.subTest(key):
                entries = [(e.phrase, e.register) for e in self.keys[key].entries]
                self.assertLess(entries.index((kanji, "敬")), entries.index((reading, "读")), entries)
        # Where the kanji word is the Chinese word itself (数字, 日本), slot 1 shows it and its reading follows.
        for key, reading in [("shuzi", "すうじ"), ("riben", "にほん")]:
            with self.subTest(key):
                self.assertIn((reading, "读"), [(e.phrase, e.register) for e in self.keys[key].entries])
        self.assertIn("じかん", self.phrases("shijian"))
        for key, phrase in [("qingliubu", "どうぞお構いなく"), ("haoba", "じゃあ、いいよ"), ("zhiqian", "この前")]:
            with self.subTest(key):
                self.assertNotIn(phrase, self.phrases(key))
        self.assertNotEqual(self.phrases("suoyi")[:1], ["ですから"])

    def test_living_in_japan(self):
        living = [key for key in self.findings.keys if key.section.slug in c.LIVING_SLUGS]
        self.assertGreaterEqual(len(living), 400)
        # What a newcomer looks for in the first weeks finds something, by its Chinese words.
        meanings = [key.meaning for key in self.findings.keys]
        for word in ["转入登记", "住民票", "个人编号卡", "国民健康保险", "年金", "住民税", "签证更新", "入管",
                     "印章", "押金", "礼金", "看房", "开通网络", "邮票", "航空件", "投币寄存柜", "宅配柜", "餐券",
                     "挂哪个科", "内科", "就诊卡", "处方", "没赶上车", "月票", "自行车防盗登记", "AA制", "吸烟室"]:
            with self.subTest(word):
                self.assertTrue(any(word in meaning for meaning in meanings), f"nothing means {word}")

    def test_keys_people_really_type_are_there(self):
        for key in ["shangchang", "baihuoshangdian", "shanghua", "kanyinghua", "haoke", "naer", "zainaer",
                    "weishengjian", "zaofan", "wanfan", "wucan", "renshinihengaoxing", "gongjiao", "dishi",
                    "xiaopiao", "suibiankankan", "meishier", "arigatou", "sumimasen", "yoroshiku", "otsukaresama",
                    "konnichiwa", "konnichiha"]:
            with self.subTest(key):
                self.assertTrue(key in self.keys, f"no entry for {key}")

    def test_keys_that_hid_common_chinese_words_start_at_slot_four(self):
        for key in ["shijian", "tongshi", "yiqian", "laoshi", "nali", "budong", "gaoxiao", "huiyi", "jiaozi", "kele"]:
            if key in self.keys:
                with self.subTest(key):
                    self.assertGreaterEqual(min(e.position for e in self.keys[key].entries), 4)


if __name__ == "__main__":
    unittest.main()
