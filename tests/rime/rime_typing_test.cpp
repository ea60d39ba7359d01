// Types every key of the phrase list into the real Rime engine, with the exported
// custom_phrase.txt and schema patch placed in a user folder as the guide tells a user
// to place them, and reads the candidate menu a user would see.

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
// The same schema without the custom-phrase translator: what Rime offers without the list.
const char* const kReferenceSchema = "kanaroute_reference";
const int kPageSize = 9; // the largest slot, so that every slot can be on the first page
const size_t kCandidateLimit = 200;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot be opened");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

RimeEngine::Files userFolder() {
    const std::string exports = KANAROUTE_RIME_EXPORT_DIR;
    return {
        {"custom_phrase.txt", readFile(exports + "/custom_phrase.txt")},
        {"luna_pinyin_simp.custom.yaml", readFile(exports + "/luna_pinyin_simp.custom.yaml")},
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

std::string join(const std::vector<std::string>& items, size_t count) {
    std::string out;
    for (size_t i = 0; i < items.size() && i < count; ++i)
        out += (i ? " " : "") + ("[" + items[i] + "]");
    return out;
}

struct Tally {
    size_t keys = 0, phrases = 0, unreachable = 0, offFirstPage = 0, outOfOrder = 0, displaced = 0,
           atSlot = 0;
    size_t chineseFirst = 0, afterCommonWords = 0; // keys checked for the Chinese first word
};

TEST(RimeTyping, EveryKeyShowsItsPhrasesOnTheFirstPageInSlotOrderAfterTheChineseWord) {
    const std::vector<ListedKey> list = readPhraseList(KANAROUTE_DATE_DAT);
    ASSERT_FALSE(list.empty());
    RimeEngine rime(userFolder());
    Tally tally;

    for (const ListedKey& listed : list) {
        const Menu menu = rime.type(kSchema, listed.key, kCandidateLimit);
        ASSERT_EQ(menu.pageSize, kPageSize) << "the test's page size did not reach the schema";
        ++tally.keys;
        tally.phrases += listed.phrases.size();
        const size_t firstPage = std::min(menu.candidates.size(), static_cast<size_t>(kPageSize));
        const std::string shown = join(menu.candidates, kPageSize);

        std::vector<size_t> places; // each phrase's place in the menu, in slot order
        size_t missing = 0;
        for (size_t i = 0; i < listed.phrases.size(); ++i) {
            auto at = std::find(menu.candidates.begin(), menu.candidates.end(), listed.phrases[i]);
            if (at == menu.candidates.end()) {
                ++missing;
                continue;
            }
            size_t place = at - menu.candidates.begin();
            places.push_back(place);
            if (place + 1 == static_cast<size_t>(listed.slots[i]))
                ++tally.atSlot;
        }
        if (missing == listed.phrases.size()) {
            ++tally.unreachable;
            ADD_FAILURE() << "Rime cannot reach key " << listed.key
                          << ": none of its phrases is offered; menu " << shown;
            continue;
        }
        if (missing > 0 ||
            std::any_of(places.begin(), places.end(), [&](size_t p) { return p >= firstPage; })) {
            ++tally.offFirstPage;
            ADD_FAILURE() << "key " << listed.key << ": not every phrase is on the first page; menu "
                          << shown;
        } else if (!std::is_sorted(places.begin(), places.end())) {
            ++tally.outOfOrder;
            ADD_FAILURE() << "key " << listed.key << ": phrases out of slot order; menu " << shown;
        }
        if (listed.slots.front() >= 2) {
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

    std::ostringstream summary;
    summary << "Rime (" << kSchema << ", page size " << kPageSize << "): typed " << tally.keys
            << " keys with " << tally.phrases << " phrases; unreachable " << tally.unreachable
            << ", off the first page " << tally.offFirstPage << ", out of order " << tally.outOfOrder
            << ", Chinese first word displaced " << tally.displaced << " (of " << tally.chineseFirst
            << " keys that leave slot 1 to Chinese, " << tally.afterCommonWords
            << " of them from slot 4 on); " << tally.atSlot << " phrases exactly at their slot\n";
    std::cout << summary.str();
    std::ofstream(KANAROUTE_RIME_SUMMARY) << summary.str();
    EXPECT_EQ(tally.unreachable + tally.offFirstPage + tally.outOfOrder + tally.displaced, 0u);
}

} // namespace
} // namespace kana::rimetest
