// The file steps from which every lexicon operation is built. The Win32
// implementation works on the real file system; the unit tests use a fake one
// that behaves like Windows.
#pragma once

#include <string>
#include <utility>

namespace kana::lexicon {

// The outcome of one step. On failure, reason holds the system's own
// description of what went wrong, ready to be shown to the user.
struct StepResult {
    bool ok = true;
    std::wstring reason;

    static StepResult success() { return {}; }
    static StepResult failure(std::wstring reason) { return {false, std::move(reason)}; }
};

class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // True when a file or a folder of exactly that path exists. Files marked
    // hidden or system do not count.
    virtual bool exists(const std::wstring& path) = 0;
    // Deletes a file.
    virtual StepResult deleteFile(const std::wstring& path) = 0;
    // Gives the file (or folder) from the name to; fails when to exists.
    virtual StepResult rename(const std::wstring& from, const std::wstring& to) = 0;
    // Copies the file byte for byte; an existing target is replaced.
    virtual StepResult copy(const std::wstring& from, const std::wstring& to) = 0;
    // Creates or empties the file and writes one line: the current local date and
    // time in the locale's general date form, in the system's ANSI code page.
    virtual StepResult writeTimeStamp(const std::wstring& path) = 0;
    // Starts the program at appPath with a normal, focused window; does not wait.
    virtual StepResult startSettingsProgram(const std::wstring& appPath) = 0;

    // Whether the file can be opened for reading (a check before the first change).
    virtual StepResult canRead(const std::wstring& path) = 0;
    // Reads and writes a small file whole (a time-stamp file kept for undoing).
    virtual StepResult readSmallFile(const std::wstring& path, std::string& bytes) = 0;
    virtual StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) = 0;
    // The full path that a bare file name stands for in the current directory.
    virtual std::wstring fullPath(const std::wstring& bareName) = 0;
};

} // namespace kana::lexicon
