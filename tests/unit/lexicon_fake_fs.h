// A file system in memory that behaves like Windows for the lexicon file
// steps: a rename or copy refuses an existing target, a folder counts for the
// existence test, hidden files do not, a look-up can fail for another reason
// than "not found", and a file can be locked (held by another program) or
// read-only. The intent record is held open like a real one. Every call that
// changes or flushes a file is logged in order. Any call that can fail can be
// made to fail by its number, and the process can be made to die at any call.
#pragma once

#include "lexicon/file_set.h"
#include "lexicon/file_steps.h"
#include "lexicon/operations.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kana::lexicon::testing {

inline constexpr wchar_t kNotFound[] = L"系统找不到指定的文件。";
inline constexpr wchar_t kAlreadyExists[] = L"当文件已存在时，无法创建该文件。";
inline constexpr wchar_t kAccessDenied[] = L"拒绝访问。";
inline constexpr wchar_t kInUse[] = L"另一个程序正在使用此文件，进程无法访问。";
inline constexpr wchar_t kDiskFull[] = L"磁盘空间不足。";

inline constexpr wchar_t kNetworkError[] = L"指定的网络名不再可用。";

inline const std::wstring kVersionDir = L"C:\\Program Files\\SogouInput\\4.2.0.1234";

// Thrown where the process dies: after the call (or, torn, in its middle).
struct SimulatedCrash {};

class FakeFileSystem : public FileSteps {
  public:
    std::wstring currentDirectory = L"C:\\Kanaroute";
    std::wstring programDirectory = L"D:\\Programs\\Kanaroute";
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders;
    std::set<std::wstring> locked;   // held open by another program without sharing
    std::set<std::wstring> heldHere; // held open by this process (an intent record)
    std::set<std::wstring> readOnly; // may be renamed, not changed or deleted
    std::set<std::wstring> hidden;
    std::set<std::wstring> unknown; // the look-up fails with kNetworkError
    // Contents moved to the Recycle Bin, in order; with noRecycleBin they are deleted.
    std::vector<std::string> recycled;
    bool noRecycleBin = false;
    // Every changing call and every flush, as "kind path", in order.
    std::vector<std::wstring> log;

    // The number of the failable call after which the process dies (0: never);
    // with tornCrash it dies in the middle of that call instead, leaving half
    // of a copy or a write.
    int crashAtCall = 0;
    bool tornCrash = false;

    // Numbers (from 1) of the failable calls that fail with kDiskFull.
    std::set<int> failingCalls;
    int callCount = 0;
    // The kind and path of each call that was made to fail.
    std::vector<std::pair<std::wstring, std::wstring>> injected;

    // Where started programs and nothing else is recorded, shared with the host.
    std::vector<std::wstring>* events = nullptr;
    int timeStampCount = 0;

    void put(const std::wstring& path, std::string content) { files[resolve(path)] = std::move(content); }
    std::optional<std::string> content(const std::wstring& path) const {
        auto found = files.find(resolve(path));
        return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

    bool exists(const std::wstring& path) const {
        const std::wstring full = resolve(path);
        return (files.count(full) != 0 || folders.count(full) != 0) && hidden.count(full) == 0;
    }

    Lookup lookUp(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (unknown.count(full) != 0) {
            return Lookup::unknownState(kNetworkError);
        }
        return exists(full) ? Lookup::presentFile(readOnly.count(full) != 0) : Lookup::absentFile();
    }

    StepResult recycle(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"recycle", full)) {
            return *failure;
        }
        if (folders.count(full) != 0 || readOnly.count(full) != 0) {
            return StepResult::failure(kAccessDenied);
        }
        if (locked.count(full) != 0 || heldHere.count(full) != 0) {
            return StepResult::heldFile(kInUse);
        }
        auto file = files.find(full);
        if (file == files.end()) {
            return StepResult::failure(kNotFound);
        }
        if (!noRecycleBin) {
            recycled.push_back(file->second);
        }
        files.erase(file);
        return done(L"recycle", full);
    }

    StepResult flush(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"flush", full)) {
            return *failure;
        }
        if (files.count(full) == 0) {
            return StepResult::failure(kNotFound);
        }
        return done(L"flush", full);
    }

    StepResult deleteFile(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"delete", full)) {
            return *failure;
        }
        if (folders.count(full) != 0 || readOnly.count(full) != 0) {
            return StepResult::failure(kAccessDenied);
        }
        if (locked.count(full) != 0 || heldHere.count(full) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (files.erase(full) == 0) {
            return StepResult::failure(kNotFound);
        }
        return done(L"delete", full);
    }

    StepResult rename(const std::wstring& from, const std::wstring& to) override {
        const std::wstring source = resolve(from);
        const std::wstring target = resolve(to);
        if (auto failure = inject(L"rename", source)) {
            return *failure;
        }
        if (present(target)) {
            return StepResult::failure(kAlreadyExists);
        }
        if (locked.count(source) != 0 || heldHere.count(source) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (folders.erase(source) != 0) {
            folders.insert(target);
            return done(L"rename", target);
        }
        auto file = files.find(source);
        if (file == files.end()) {
            return StepResult::failure(kNotFound);
        }
        files[target] = file->second;
        files.erase(source);
        moveFlag(readOnly, source, target);
        moveFlag(hidden, source, target);
        return done(L"rename", target);
    }

    StepResult copy(const std::wstring& from, const std::wstring& to) override {
        const std::wstring source = resolve(from);
        const std::wstring target = resolve(to);
        if (auto failure = inject(L"copy", source)) {
            return *failure;
        }
        if (present(target)) {
            return StepResult::failure(kAlreadyExists);
        }
        if (locked.count(source) != 0 || heldHere.count(source) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (folders.count(source) != 0) {
            return StepResult::failure(kAccessDenied);
        }
        auto file = files.find(source);
        if (file == files.end()) {
            return StepResult::failure(kNotFound);
        }
        // The copy is a plain file: the read-only attribute does not come along.
        tear(target, file->second);
        files[target] = file->second;
        return done(L"copy", target);
    }

    StepResult writeTimeStamp(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"timestamp", full)) {
            return *failure;
        }
        if (auto refused = refuseWrite(full)) {
            return *refused;
        }
        const std::string stamp = "stamp " + std::to_string(++timeStampCount) + "\r\n";
        tear(full, stamp);
        files[full] = stamp;
        return done(L"timestamp", full);
    }

    StepResult startSettingsProgram(const std::wstring& appPath) override {
        const std::wstring full = resolve(appPath);
        if (auto failure = inject(L"start", full)) {
            return *failure;
        }
        if (files.count(full) == 0) {
            return StepResult::failure(kNotFound);
        }
        if (events != nullptr) {
            events->push_back(L"start " + full);
        }
        return StepResult::success();
    }

    StepResult canRead(const std::wstring& path) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"canRead", full)) {
            return *failure;
        }
        return readable(full);
    }

    StepResult readSmallFile(const std::wstring& path, std::string& bytes) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"read", full)) {
            return *failure;
        }
        if (StepResult result = readable(full); !result.ok) {
            return result;
        }
        bytes = files[full];
        return StepResult::success();
    }

    StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"write", full)) {
            return *failure;
        }
        if (auto refused = refuseWrite(full)) {
            return *refused;
        }
        tear(full, bytes);
        files[full] = bytes;
        return done(L"write", full);
    }

    StepResult createHeldFile(const std::wstring& path, const std::string& bytes,
                              std::unique_ptr<HeldFile>& held) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"write", full)) {
            return *failure;
        }
        if (present(full)) {
            return StepResult::failure(kAlreadyExists);
        }
        tear(full, bytes);
        files[full] = bytes;
        held = std::make_unique<FakeHeldFile>(*this, full);
        return done(L"write", full);
    }

    StepResult openHeldFile(const std::wstring& path, std::string& bytes,
                            std::unique_ptr<HeldFile>& held) override {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"open", full)) {
            return *failure;
        }
        if (locked.count(full) != 0 || heldHere.count(full) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (StepResult result = readable(full); !result.ok) {
            return result;
        }
        bytes = files[full];
        held = std::make_unique<FakeHeldFile>(*this, full);
        return StepResult::success();
    }

    std::wstring fullPath(const std::wstring& bareName) override { return resolve(bareName); }
    std::wstring besideProgram(const std::wstring& bareName) override {
        return programDirectory + L"\\" + bareName;
    }

  private:
    class FakeHeldFile final : public HeldFile {
      public:
        FakeHeldFile(FakeFileSystem& fs, std::wstring path) : fs_(fs), path_(std::move(path)) {
            fs_.heldHere.insert(path_);
        }
        ~FakeHeldFile() override { close(); }
        StepResult append(const std::string& bytes) override { return fs_.appendHeld(path_, bytes); }
        StepResult remove() override {
            close();
            return fs_.deleteFile(path_);
        }

      private:
        void close() { fs_.heldHere.erase(path_); }
        FakeFileSystem& fs_;
        std::wstring path_;
    };

    StepResult appendHeld(const std::wstring& path, const std::string& bytes) {
        const std::wstring full = resolve(path);
        if (auto failure = inject(L"append", full)) {
            return *failure;
        }
        // Through this process's own handle: no one else's hold or flag stops it.
        if (files.count(full) == 0) {
            return StepResult::failure(kNotFound);
        }
        tear(full, files[full] + bytes, files[full].size());
        files[full] += bytes;
        return done(L"append", full);
    }

    std::wstring resolve(const std::wstring& path) const {
        return path.find(L':') != std::wstring::npos ? path : currentDirectory + L"\\" + path;
    }
    bool present(const std::wstring& full) const {
        return files.count(full) != 0 || folders.count(full) != 0;
    }

    // Logs a change that went through; the process may die right after it.
    StepResult done(const wchar_t* kind, const std::wstring& full) {
        log.push_back(std::wstring(kind) + L" " + full);
        if (callCount == crashAtCall && !tornCrash) {
            throw SimulatedCrash{};
        }
        return StepResult::success();
    }

    // Dies in the middle of writing: the file holds the first half of its new
    // bytes (after the kept ones, for an append).
    void tear(const std::wstring& full, const std::string& bytes, std::size_t kept = 0) {
        if (callCount == crashAtCall && tornCrash) {
            files[full] = bytes.substr(0, kept + (bytes.size() - kept) / 2);
            throw SimulatedCrash{};
        }
    }

    std::optional<StepResult> inject(const wchar_t* kind, const std::wstring& path) {
        ++callCount;
        const std::wstring kindName(kind);
        const bool writes =
            kindName == L"copy" || kindName == L"write" || kindName == L"append" || kindName == L"timestamp";
        if (callCount == crashAtCall && tornCrash && !writes) {
            throw SimulatedCrash{}; // a step that cannot be half done dies before it
        }
        if (failingCalls.count(callCount) == 0) {
            return std::nullopt;
        }
        injected.emplace_back(kind, path);
        return StepResult::failure(kDiskFull);
    }

    std::optional<StepResult> refuseWrite(const std::wstring& full) const {
        if (locked.count(full) != 0 || heldHere.count(full) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (folders.count(full) != 0 || readOnly.count(full) != 0 || hidden.count(full) != 0) {
            return StepResult::failure(kAccessDenied);
        }
        return std::nullopt;
    }

    // A file this process holds can still be read: it shares reading.
    StepResult readable(const std::wstring& full) const {
        if (locked.count(full) != 0) {
            return StepResult::heldFile(kInUse);
        }
        if (folders.count(full) != 0) {
            return StepResult::failure(kAccessDenied);
        }
        if (files.count(full) == 0) {
            return StepResult::failure(kNotFound);
        }
        return StepResult::success();
    }

    static void moveFlag(std::set<std::wstring>& flags, const std::wstring& from, const std::wstring& to) {
        if (flags.erase(from) != 0) {
            flags.insert(to);
        }
    }
};

// Records everything the operation asks of the main window, in order.
class RecordingHost : public OperationHost {
  public:
    std::vector<std::wstring> events;
    std::vector<Message> messages;
    MessageAnswer answerToQuestions = MessageAnswer::Ok;

    void refresh() override { events.push_back(L"refresh"); }
    MessageAnswer showMessage(const Message& message) override {
        events.push_back(L"message " + message.text);
        messages.push_back(message);
        return message.buttons == Buttons::OkCancel ? answerToQuestions : MessageAnswer::Ok;
    }
    void showHelpWindow() override { events.push_back(L"help"); }
    void endProgram() override { events.push_back(L"end"); }
};

// The five states of the companions of phrases.ini. Contents: "P" phrases.ini,
// "I" initial backup, "L" latest backup, "T0"/"T1" time-stamp files, "D" the
// phrase list.
inline void setUpState(FakeFileSystem& fs, char state, bool withPhrases = true) {
    const FileSet files(kVersionDir);
    if (withPhrases) {
        fs.put(files.phrases(), "P");
    }
    if (state == 'B' || state == 'C' || state == 'D') {
        fs.put(files.initialBackup(), "I");
        fs.put(files.initialTimeStamp(), "T0");
    }
    if (state == 'C' || state == 'D' || state == 'E') {
        fs.put(files.latestBackup(), "L");
    }
    if (state == 'C') {
        fs.put(files.latestTimeStamp(), "T1");
    }
    fs.put(FileSet::phraseListName(), "D");
    fs.put(files.settingsProgram(), "exe");
}

// The state of the companions, or '?' when they are in none of the five, or a
// swap or set-aside file is left.
inline char stateOf(FakeFileSystem& fs) {
    const FileSet files(kVersionDir);
    if (fs.exists(files.swapFile()) || fs.exists(files.latestBackupAside()) ||
        fs.exists(files.phrasesAside()) || fs.exists(files.intentRecord())) {
        return '?';
    }
    const bool initial = fs.exists(files.initialBackup());
    const bool latest = fs.exists(files.latestBackup());
    const bool t0 = fs.exists(files.initialTimeStamp());
    const bool t1 = fs.exists(files.latestTimeStamp());
    if (!initial && !latest && !t0 && !t1) {
        return 'A';
    }
    if (initial && !latest && t0 && !t1) {
        return 'B';
    }
    if (initial && latest && t0 && t1) {
        return 'C';
    }
    if (initial && latest && t0 && !t1) {
        return 'D';
    }
    if (!initial && latest && !t0 && !t1) {
        return 'E';
    }
    return '?';
}

// Runs one of the operations by name: "install+backup" (Check1 ticked),
// "install", "backup", "restore-initial" (Option3 selected), "restore-latest",
// "uninstall".
inline Outcome runOperation(const std::string& operation, FileSteps& steps, const FileSet& files,
                            OperationHost& host) {
    if (operation == "install+backup") {
        return install(steps, files, true, host);
    }
    if (operation == "install") {
        return install(steps, files, false, host);
    }
    if (operation == "backup") {
        return backup(steps, files, host);
    }
    if (operation == "restore-initial") {
        return restore(steps, files, true, host);
    }
    if (operation == "restore-latest") {
        return restore(steps, files, false, host);
    }
    return uninstall(steps, files, host);
}

// The operations by the names runOperation takes.
inline const std::vector<std::string> kOperations = {"install+backup",  "install",        "backup",
                                                     "restore-initial", "restore-latest", "uninstall"};

// A start state of the version directory (A to E), with or without phrases.ini.
struct Start {
    char state;
    bool withPhrases;
    std::string name() const { return std::string(1, state) + (withPhrases ? "" : " without phrases"); }
};

inline std::vector<Start> allStarts() {
    std::vector<Start> starts;
    for (char state : {'A', 'B', 'C', 'D', 'E'}) {
        starts.push_back({state, true});
        starts.push_back({state, false});
    }
    return starts;
}

inline bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

} // namespace kana::lexicon::testing
