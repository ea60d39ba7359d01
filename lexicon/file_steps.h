// The file steps from which every lexicon operation is built. The Win32
// implementation works on the real file system; the unit tests use a fake one
// that behaves like Windows.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace kana::lexicon {

// The outcome of one step. On failure, reason holds the system's own
// description of what went wrong, ready to be shown to the user.
struct StepResult {
    bool ok = true;
    std::wstring reason;
    // The file is held by another program (a sharing or lock violation, or a
    // delete still pending): the same step may well succeed a moment later.
    bool held = false;

    static StepResult success() { return {}; }
    static StepResult failure(std::wstring reason) { return {false, std::move(reason), false}; }
    static StepResult heldFile(std::wstring reason) { return {false, std::move(reason), true}; }
};

// A small file that this process keeps open from its creation until it is
// removed: other programs may read it, but can neither change nor delete it,
// and another copy of this program can tell that it belongs to a live
// operation. Closing it (the destructor) leaves the file in place.
class HeldFile {
  public:
    virtual ~HeldFile() = default;
    // Adds bytes at the end, through to the disk.
    virtual StepResult append(const std::string& bytes) = 0;
    // Deletes the file through the handle that holds it, then closes it. On
    // failure the file stays, still held.
    virtual StepResult remove() = 0;
};

// What the existence test found. Only "file or path not found" counts as
// absent; any other error leaves the answer unknown, and an operation must not
// act on a guess.
struct Lookup {
    enum class State { Absent, Present, Unknown };
    State state = State::Absent;
    bool readOnly = false; // Present: the file carries the read-only attribute
    std::wstring reason;   // Unknown: the system's description of the error

    bool present() const { return state == State::Present; }
    bool absent() const { return state == State::Absent; }
    bool unknown() const { return state == State::Unknown; }

    static Lookup absentFile() { return {}; }
    static Lookup presentFile(bool readOnly = false) { return {State::Present, readOnly, {}}; }
    static Lookup unknownState(std::wstring reason) { return {State::Unknown, false, std::move(reason)}; }
};

class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // A directory look-up of exactly that path, which matches files and folders.
    // Files marked hidden or system count as absent.
    virtual Lookup lookUp(const std::wstring& path) = 0;
    // Deletes a file for good.
    virtual StepResult deleteFile(const std::wstring& path) = 0;
    // Moves a file to the Recycle Bin without asking; where its drive has no
    // Recycle Bin, deletes it.
    virtual StepResult recycle(const std::wstring& path) = 0;
    // Gives the file (or folder) from the name to; fails when to exists.
    virtual StepResult rename(const std::wstring& from, const std::wstring& to) = 0;
    // Copies the file byte for byte; fails when to exists. The copy never
    // carries the read-only attribute: it is a plain file the program can change.
    virtual StepResult copy(const std::wstring& from, const std::wstring& to) = 0;
    // Creates or empties the file and writes one line: the current local date and
    // time in the locale's general date form, in the system's ANSI code page.
    virtual StepResult writeTimeStamp(const std::wstring& path) = 0;
    // Writes the file's data through to the disk, so that it survives a power
    // cut; until then only the file's name is safe.
    virtual StepResult flush(const std::wstring& path) = 0;
    // Starts the program at appPath with a normal, focused window; does not wait.
    virtual StepResult startSettingsProgram(const std::wstring& appPath) = 0;

    // Whether the file can be opened for reading (a check before the first change).
    virtual StepResult canRead(const std::wstring& path) = 0;
    // Reads and writes a small file whole (a time-stamp file kept for undoing,
    // the record of an operation). Writes reach the disk before they return.
    virtual StepResult readSmallFile(const std::wstring& path, std::string& bytes) = 0;
    virtual StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) = 0;
    // Creates a small file that must not exist yet, writes bytes through to
    // the disk and keeps it held (see HeldFile). Where it fails after the file
    // was created, the file is removed again; an existing file is never touched.
    virtual StepResult createHeldFile(const std::wstring& path, const std::string& bytes,
                                      std::unique_ptr<HeldFile>& held) = 0;
    // Opens an existing small file for this process alone and reads it whole.
    // Fails as held when another process has it open for writing.
    virtual StepResult openHeldFile(const std::wstring& path, std::string& bytes,
                                    std::unique_ptr<HeldFile>& held) = 0;
    // The full path that a bare file name stands for in the current directory.
    virtual std::wstring fullPath(const std::wstring& bareName) = 0;
    // The full path of a file of that name beside the program itself.
    virtual std::wstring besideProgram(const std::wstring& bareName) = 0;
};

} // namespace kana::lexicon
