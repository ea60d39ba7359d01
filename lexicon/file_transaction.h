// Carries out the changing steps of one lexicon operation so that nothing is
// lost at any instant. The steps are planned first; commit() then writes the
// plan to the intent record beside the files (through to the disk), takes the
// steps one by one, marking each in the record once it is done and its data is
// on the disk, and finally moves the file that was set aside to the Recycle Bin
// and removes the record. The record is created anew (never over an existing
// one) and held open from its creation to its removal, so that another copy
// of the program cannot take a live operation for one that was cut short. When a step fails, the steps done
// so far are undone in reverse order; when the process dies instead, the next start reads the record and
// finishes or undoes the operation (see recovery.h).
#pragma once

#include "lexicon/file_set.h"
#include "lexicon/file_steps.h"
#include "lexicon/intent_record.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kana::lexicon {

enum class StepKind { Rename, Copy, Delete, WriteTimeStamp, ReadFile, WriteFile, Flush, LookUp };

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

// What is left where undoing a planned step failed.
UndoFailure undoFailureOf(const PlannedStep& step, const std::wstring& reason);

class FileTransaction {
  public:
    FileTransaction(FileSteps& steps, const FileSet& files, OperationKind operation)
        : steps_(steps), recordPath_(files.intentRecord()), operation_(operation) {}
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // Plans a step; nothing changes before commit().
    void rename(const std::wstring& from, const std::wstring& to);
    // The target must be absent: undoing the copy deletes it.
    void copy(const std::wstring& from, const std::wstring& to);
    // The earlier content of the file (if any) is kept so that it can be put back.
    void writeTimeStamp(const std::wstring& path);
    // Renames path to asideName; the set-aside file goes to the Recycle Bin once
    // every other step is done. At most one file may be set aside per
    // transaction, as its removal is the one change that cannot be undone.
    void setAside(const std::wstring& path, const std::wstring& asideName);

    // Takes the planned steps. Returns false when any step failed; the earlier
    // changes have then been undone (see undoFailures()).
    bool commit();

    bool failed() const { return failure_.has_value(); }
    // Whether any file had been changed when the failure happened.
    bool changedAnything() const { return changedAnything_; }
    const std::optional<StepFailure>& failure() const { return failure_; }
    const std::vector<UndoFailure>& undoFailures() const { return undoFailures_; }
    // Why the record could not be removed once nothing more was left to do,
    // or nothing when it was removed (or had to stay for the next start).
    const std::optional<std::wstring>& recordNotRemoved() const { return recordNotRemoved_; }

  private:
    bool prepare();
    bool takeStep(std::size_t index);
    bool fail(StepKind kind, const std::wstring& path, const std::wstring& target, const StepResult& result);
    void undo();
    void removeRecord();

    FileSteps& steps_;
    std::wstring recordPath_;
    OperationKind operation_;
    std::vector<PlannedStep> plan_;
    std::size_t done_ = 0;             // steps taken, counted from the first
    std::unique_ptr<HeldFile> record_; // the record, once this transaction has written it
    std::optional<StepFailure> failure_;
    bool changedAnything_ = false;
    std::vector<UndoFailure> undoFailures_;
    std::optional<std::wstring> recordNotRemoved_;
};

} // namespace kana::lexicon
