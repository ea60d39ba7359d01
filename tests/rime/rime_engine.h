#pragma once

#include <rime_api.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kana::rimetest {

// A folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// What Rime offers for one typed key: every candidate in menu order, and the page size.
struct Menu {
    int pageSize = 0;
    std::vector<std::string> candidates;
};

// The real Rime engine (librime) with Debian's shared data and a private user folder that
// holds the given files, exactly as a Rime user would place them; deployed on construction.
// A file is never written over: a name given twice throws std::runtime_error. One engine at a
// time: librime keeps its state in the process.
class RimeEngine {
  public:
    using Files = std::vector<std::pair<std::string, std::string>>; // name in the user folder, content
    explicit RimeEngine(const Files& userFiles);
    ~RimeEngine();
    RimeEngine(const RimeEngine&) = delete;
    RimeEngine& operator=(const RimeEngine&) = delete;

    // Types the key into an empty composition of the schema and reads the menu (at most limit
    // candidates). Throws std::runtime_error when the schema cannot be selected.
    Menu type(const std::string& schema, const std::string& key, size_t limit);

  private:
    RimeSessionId session(const std::string& schema);

    TemporaryFolder folder_;
    std::string userDir_;
    RimeApi* api_ = nullptr;
    std::map<std::string, RimeSessionId> sessions_;
};

} // namespace kana::rimetest
