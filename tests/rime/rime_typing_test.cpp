// Types every key of the phrase list into the real Rime engine, with the exported phrase
// table and schema patch copied, as the guide tells a user, into a user folder that already
// holds the user's own custom_phrase.txt, and reads the candidate menu a user would see. It
// does so twice: with Debian's luna-pinyin schema, whose filter is plain `simplifier`, and with
// a current-style one derived from it, whose filter is `simplifier@zh_hans` with its options
// under `zh_hans:`.

#include "tests/rime/phrase_list_file.h"
#include "tests/rime/rime_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kana::rimetest {
namespace {

const char* const kSchema = "luna_pinyin_simp";
// The same schema without the phrase translators: what Rime offers without the list.
const char* const kReferenceSchema = "kanaroute_reference";
const int kPageSize = 9; // the largest slot, so that every slot can be on the first page
const size_t kCandidateLimit = 200;
const std::string kSharedData = "/usr/share/rime-data/";
// The user's own phrase, on a key that the list does not use.
const char* const kOwnKey = "wodedizhi";
const char* const kOwnPhrase = "北京市海淀区中关村大街1号";

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot be opened");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string replaceOnce(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos || text.find(from, at + 1) != std::string::npos)
        throw std::runtime_error("Debian's schema no longer holds \"" + from + "\" exactly once");
    return text.replace(at, from.size(), to);
}

// What the user folder holds before the list arrives: the user's own custom phrases, and the
// test's page size and reference schema.
RimeEngine::Files usersOwnFiles() {
    return {
        {"custom_phrase.txt", std::string("# Rime table\n# coding: utf-8\n#@/db_name\tcustom_phrase.txt\n"
                                          "#@/db_type\ttabledb\n#\n# no comment\n") +
                                  kOwnPhrase + "\t" + kOwnKey + "\t1\n"},
        {"default.custom.yaml", "patch:\n"
                                "  schema_list:\n"
                                "    - schema: luna_pinyin_simp\n"
                                "    - schema: kanaroute_reference\n"
                                "  menu/page_size: " +
                                    std::to_string(kPageSize) + "\n"},
        {"kanaroute_reference.schema.yaml",
         "__include: luna_pinyin_simp.schema:/\n"
         "schema:\n"
         "  schema_id: kanaroute_reference\n"
         "  name: reference\n"
         "__patch:\n"
         "  engine/translators: [punct_translator, reverse_lookup_translator, script_translator]\n"},
    };
}

// Today's upstream luna-pinyin names the filter simplifier@zh_hans and keeps its options,
// reverse lookup excluded, under zh_hans:. A schema in the user folder takes the place of the
// shared one of the same name.
RimeEngine::Files currentStyleSchemas() {
    std::string luna = replaceOnce(readFile(kSharedData + "luna_pinyin.schema.yaml"), "    - simplifier\n",
                                   "    - simplifier@zh_hans\n");
    luna += "\nzh_hans:\n  option_name: simplification\n  excluded_types: [ reverse_lookup ]\n";
    std::string simplified = replaceOnce(readFile(kSharedData + "luna_pinyin_simp.schema.yaml"),
                                         "\nsimplifier:\n", "\nzh_hans:\n");
    return {{"luna_pinyin.schema.yaml", luna}, {"luna_pinyin_simp.schema.yaml", simplified}};
}

// The two files the guide tells a Rime user to copy into the user folder.
RimeEngine::Files exportedFiles() {
    const std::string exports = KANAROUTE_RIME_EXPORT_DIR;
    RimeEngine::Files files;
    for (const char* name : {"kanaroute_phrase.txt", "luna_pinyin_simp.custom.yaml"})
        files.emplace_back(name, readFile(exports + "/" + name));
    return files;
}

std::string join(const std::vector<std::string>& items, size_t count) {
    std::string out;
    for (size_t i = 0; i < items.size() && i < count; ++i)
        out += (i ? " " : "") + ("[" + items[i] + "]");
    return out;
}

struct Tally {
    size_t keys = 0, phrases = 0, notAsWritten = 0, offFirstPage = 0, outOfOrder = 0, displaced = 0,
           atSlot = 0;
    size_t chineseFirst = 0, afterCommonWords = 0; // keys checked for the Chinese first word
};

Tally typeEveryKey(RimeEngine& rime, const std::vector<ListedKey>& list) {
    Tally tally;
    for (const ListedKey& listed : list) {
        const Menu menu = rime.type(kSchema, listed.key, kCandidateLimit);
        if (menu.pageSize != kPageSize)
            throw std::runtime_error("the test's page size did not reach the schema");
        ++tally.keys;
        tally.phrases += listed.phrases.size();
        const size_t firstPage = std::min(menu.candidates.size(), static_cast<size_t>(kPageSize));
        const std::string shown = join(menu.candidates, kPageSize);

        std::vector<size_t> places; // each phrase's place in the menu, in slot order
        bool offPage = false;
        for (size_t i = 0; i < listed.phrases.size(); ++i) {
            auto at = std::find(menu.candidates.begin(), menu.candidates.end(), listed.phrases[i]);
            if (at == menu.candidates.end()) {
                ++tally.notAsWritten;
                ADD_FAILURE() << "key " << listed.key << ": " << listed.phrases[i]
                              << " is not offered as written (simplified?); menu " << shown;
                continue;
            }
            size_t place = at - menu.candidates.begin();
            places.push_back(place);
            if (place >= firstPage) {
                ++tally.offFirstPage;
                offPage = true;
            }
            if (place + 1 == static_cast<size_t>(listed.slots[i]))
                ++tally.atSlot;
        }
        if (offPage) {
            ADD_FAILURE() << "key " << listed.key << ": not every phrase is on the first page; menu "
                          << shown;
        } else if (!std::is_sorted(places.begin(), places.end())) {
            ++tally.outOfOrder;
            ADD_FAILURE() << "key " << listed.key << ": phrases out of slot order; menu " << shown;
        }
        if (listed.slots.front() >= 2 && !menu.candidates.empty()) {
            // The list leaves slot 1 to Chinese: what Rime puts first without the list stays first.
            const Menu reference = rime.type(kReferenceSchema, listed.key, 1);
            ++tally.chineseFirst;
            if (listed.slots.front() >= 4) // where common Chinese words share the key's pinyin
                ++tally.afterCommonWords;
            if (!reference.candidates.empty() && menu.candidates.front() != reference.candidates.front()) {
                ++tally.displaced;
                ADD_FAILURE() << "key " << listed.key << ": the Chinese word " << reference.candidates.front()
                              << " is no longer first; menu " << shown;
            }
        }
    }
    return tally;
}

TEST(RimeTyping, EveryPhraseOnTheFirstPageAsWrittenBesideTheUsersOwnWithTheOlderAndTheCurrentSchema) {
    const std::vector<ListedKey> list = readPhraseList(KANAROUTE_DATE_DAT);
    ASSERT_FALSE(list.empty());
    ASSERT_TRUE(std::none_of(list.begin(), list.end(), [](const ListedKey& k) { return k.key == kOwnKey; }))
        << "the user's own phrase needs a key that the list does not use";
    struct Schema {
        std::string name;
        RimeEngine::Files files;
    };
    const std::vector<Schema> schemas = {
        {"Debian's luna_pinyin_simp (filter simplifier)", {}},
        {"current-style luna_pinyin_simp (filter simplifier@zh_hans, options under zh_hans)",
         currentStyleSchemas()},
    };

    std::ostringstream summary;
    for (const Schema& schema : schemas) {
        SCOPED_TRACE(schema.name);
        RimeEngine::Files folder = usersOwnFiles();
        folder.insert(folder.end(), schema.files.begin(), schema.files.end());
        const RimeEngine::Files exported = exportedFiles();
        folder.insert(folder.end(), exported.begin(), exported.end()); // throws rather than overwrite
        RimeEngine rime(folder);

        // Without the simplifier at work, "as written" would prove nothing.
        const Menu thanks = rime.type(kSchema, "xiexie", 1);
        ASSERT_EQ(thanks.candidates, std::vector<std::string>{"谢谢"}) << "the schema does not simplify";
        const Menu own = rime.type(kSchema, kOwnKey, kPageSize);
        EXPECT_FALSE(own.candidates.empty() || own.candidates.front() != kOwnPhrase)
            << "the user's own phrase is no longer first on " << kOwnKey << "; menu "
            << join(own.candidates, kPageSize);

        const Tally tally = typeEveryKey(rime, list);
        summary << "Rime (" << schema.name << ", page size " << kPageSize << "): typed " << tally.keys
                << " keys with " << tally.phrases << " phrases; not as written " << tally.notAsWritten
                << ", off the first page " << tally.offFirstPage << ", keys out of order " << tally.outOfOrder
                << ", Chinese first word displaced " << tally.displaced << " (of " << tally.chineseFirst
                << " keys that leave slot 1 to Chinese, " << tally.afterCommonWords
                << " of them from slot 4 on); " << tally.atSlot
                << " phrases exactly at their slot; the user's own phrase first on " << kOwnKey << ": "
                << (!own.candidates.empty() && own.candidates.front() == kOwnPhrase ? "yes" : "no") << "\n";
        EXPECT_EQ(tally.notAsWritten + tally.offFirstPage + tally.outOfOrder + tally.displaced, 0u);
    }
    std::cout << summary.str();
    std::ofstream(KANAROUTE_RIME_SUMMARY) << summary.str();
}

} // namespace
} // namespace kana::rimetest
