#include "tests/rime/phrase_list_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <stdexcept>

namespace kana::rimetest {
namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-16LE text after the byte-order mark, as UTF-8.
std::string decodeUtf16le(const std::string& bytes, const std::string& path) {
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' || bytes.size() % 2 != 0)
        throw std::runtime_error(path + ": not UTF-16LE text with a byte-order mark");
    std::string out;
    for (size_t i = 2; i < bytes.size(); i += 2) {
        char32_t unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            char32_t low = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3])
                                                                          << 8;
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

} // namespace

std::vector<ListedKey> readPhraseList(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot be opened");
    std::string text = decodeUtf16le(std::string(std::istreambuf_iterator<char>(file), {}), path);

    std::vector<ListedKey> keys;
    std::map<std::string, size_t> index;
    size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            throw std::runtime_error(path + ":" + std::to_string(line) + ": line without CR LF");
        std::string entry = text.substr(start, end - start);
        start = end + 2;
        if (entry.empty() || entry[0] == ';')
            continue;
        size_t comma = entry.find(',');
        size_t equals = entry.find('=');
        if (comma == std::string::npos || equals != comma + 2 || entry[comma + 1] < '1' ||
            entry[comma + 1] > '9')
            throw std::runtime_error(path + ":" + std::to_string(line) + ": not key,slot=phrase");
        std::string key = entry.substr(0, comma);
        auto [found, added] = index.emplace(key, keys.size());
        if (added)
            keys.push_back({key, {}, {}});
        ListedKey& listed = keys[found->second];
        listed.slots.push_back(entry[comma + 1] - '0');
        listed.phrases.push_back(entry.substr(equals + 1));
    }
    // The input methods place a key's phrases by slot, whatever the order of their lines.
    for (ListedKey& listed : keys) {
        std::vector<size_t> order(listed.slots.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return listed.slots[a] < listed.slots[b]; });
        ListedKey sorted{listed.key, {}, {}};
        for (size_t i : order) {
            sorted.slots.push_back(listed.slots[i]);
            sorted.phrases.push_back(listed.phrases[i]);
        }
        listed = std::move(sorted);
    }
    return keys;
}

} // namespace kana::rimetest
