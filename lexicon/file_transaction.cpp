#include "lexicon/file_transaction.h"

namespace kana::lexicon {

void FileTransaction::rename(const std::wstring& from, const std::wstring& to) {
    if (failed()) {
        return;
    }
    if (const StepResult result = steps_.rename(from, to); !result.ok) {
        fail(StepKind::Rename, from, to, result);
        return;
    }
    changes_.push_back({Change::Kind::Rename, from, to, std::nullopt});
}

void FileTransaction::copy(const std::wstring& from, const std::wstring& to) {
    if (failed()) {
        return;
    }
    if (const StepResult result = steps_.copy(from, to); !result.ok) {
        fail(StepKind::Copy, from, to, result);
        return;
    }
    changes_.push_back({Change::Kind::Copy, from, to, std::nullopt});
}

void FileTransaction::writeTimeStamp(const std::wstring& path) {
    if (failed()) {
        return;
    }
    std::optional<std::string> earlierContent;
    if (steps_.exists(path)) {
        std::string bytes;
        if (const StepResult result = steps_.readSmallFile(path, bytes); !result.ok) {
            fail(StepKind::ReadFile, path, {}, result);
            return;
        }
        earlierContent = std::move(bytes);
    }
    if (const StepResult result = steps_.writeTimeStamp(path); !result.ok) {
        fail(StepKind::WriteTimeStamp, path, {}, result);
        return;
    }
    changes_.push_back({Change::Kind::TimeStamp, {}, path, std::move(earlierContent)});
}

void FileTransaction::setAside(const std::wstring& path, const std::wstring& asideName) {
    rename(path, asideName);
    if (!failed()) {
        asideFile_ = asideName;
    }
}

bool FileTransaction::commit() {
    if (failed()) {
        return false;
    }
    if (asideFile_) {
        if (const StepResult result = steps_.deleteFile(*asideFile_); !result.ok) {
            fail(StepKind::Delete, *asideFile_, {}, result);
            return false;
        }
        asideFile_.reset();
    }
    changes_.clear();
    return true;
}

bool FileTransaction::fail(StepKind kind, const std::wstring& path, const std::wstring& target,
                           const StepResult& result) {
    failure_ = StepFailure{kind, path, target, result.reason};
    changedAnything_ = !changes_.empty();
    undo();
    return false;
}

// Undoes the recorded changes, latest first. A rename back never replaces
// anything (the system refuses an existing target), so an undo that fails
// leaves every content in some file; each such case is recorded for the user.
void FileTransaction::undo() {
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
        switch (change->kind) {
        case Change::Kind::Rename:
            if (const StepResult result = steps_.rename(change->to, change->from); !result.ok) {
                undoFailures_.push_back(
                    {UndoFailure::Kind::NotMovedBack, change->from, change->to, result.reason});
            }
            break;
        case Change::Kind::Copy:
            if (const StepResult result = steps_.deleteFile(change->to); !result.ok) {
                undoFailures_.push_back(
                    {UndoFailure::Kind::CopyNotRemoved, change->from, change->to, result.reason});
            }
            break;
        case Change::Kind::TimeStamp: {
            const StepResult result = change->earlierContent
                                          ? steps_.writeSmallFile(change->to, *change->earlierContent)
                                          : steps_.deleteFile(change->to);
            if (!result.ok) {
                undoFailures_.push_back(
                    {UndoFailure::Kind::TimeStampNotReset, change->to, change->to, result.reason});
            }
            break;
        }
        }
    }
    changes_.clear();
    asideFile_.reset();
}

} // namespace kana::lexicon
