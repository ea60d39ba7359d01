// Carries out the changing steps of one lexicon operation so that a failure
// part-way leaves the files as they were: every rename, copy and time-stamp
// write is recorded and undone in reverse order when a later step fails, and a
// file being replaced is only set aside, and deleted once everything else is in
// place.
#pragma once

#include "lexicon/file_steps.h"

#include <optional>
#include <string>
#include <vector>

namespace kana::lexicon {

enum class StepKind { Rename, Copy, Delete, WriteTimeStamp, ReadFile, WriteFile };

// A step that did not succeed: path is the file that could not be changed (the
// source of a rename or copy), target the new name or copy (empty otherwise).
struct StepFailure {
    StepKind kind = StepKind::Rename;
    std::wstring path;
    std::wstring target;
    std::wstring reason;
};

// A change that could not be undone, and so where things are now.
struct UndoFailure {
    enum class Kind {
        NotMovedBack,      // the content of originalPath is now in currentPath
        CopyNotRemoved,    // currentPath is an extra copy of originalPath
        TimeStampNotReset, // currentPath holds a new time
    };
    Kind kind = Kind::NotMovedBack;
    std::wstring originalPath;
    std::wstring currentPath;
    std::wstring reason;
};

class FileTransaction {
  public:
    explicit FileTransaction(FileSteps& steps) : steps_(steps) {}
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // Each step does nothing once an earlier one has failed, so an operation can
    // be written as a plain sequence of steps followed by commit().

    void rename(const std::wstring& from, const std::wstring& to);
    // The target must be absent: undoing the copy deletes it.
    void copy(const std::wstring& from, const std::wstring& to);
    // Keeps the earlier content of the file (if any) so that it can be put back.
    void writeTimeStamp(const std::wstring& path);
    // Renames path to asideName; the set-aside file is deleted by commit(). At
    // most one file may be set aside per transaction, as its deletion is the one
    // change that cannot be undone.
    void setAside(const std::wstring& path, const std::wstring& asideName);

    // Deletes the file set aside. Returns false when any step failed; the earlier
    // changes have then been undone (see undoFailures()).
    bool commit();

    bool failed() const { return failure_.has_value(); }
    // Whether any file had been changed when the failure happened.
    bool changedAnything() const { return changedAnything_; }
    const std::optional<StepFailure>& failure() const { return failure_; }
    const std::vector<UndoFailure>& undoFailures() const { return undoFailures_; }

  private:
    struct Change {
        enum class Kind { Rename, Copy, TimeStamp } kind;
        std::wstring from;                         // rename source; copy source
        std::wstring to;                           // rename target; copy target; time-stamp file
        std::optional<std::string> earlierContent; // time-stamp file before it was written
    };

    bool fail(StepKind kind, const std::wstring& path, const std::wstring& target, const StepResult& result);
    void undo();

    FileSteps& steps_;
    std::vector<Change> changes_;
    std::optional<std::wstring> asideFile_;
    std::optional<StepFailure> failure_;
    bool changedAnything_ = false;
    std::vector<UndoFailure> undoFailures_;
};

} // namespace kana::lexicon
