#pragma once

#include <string>
#include <vector>

namespace kana::rimetest {

// One key of the installed phrase list with its phrases (UTF-8) in slot order.
struct ListedKey {
    std::string key;
    std::vector<int> slots;
    std::vector<std::string> phrases;
};

// Reads date.dat (UTF-16LE with a byte-order mark, CR LF, ';' comment lines,
// "key,slot=phrase" entries) and groups its entries by key, in the order the keys
// first appear. Throws std::runtime_error naming the file and line when the file
// cannot be read or is not in that form.
std::vector<ListedKey> readPhraseList(const std::string& path);

} // namespace kana::rimetest
