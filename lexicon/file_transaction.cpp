#include "lexicon/file_transaction.h"

namespace kana::lexicon {

void FileTransaction::rename(const std::wstring& from, const std::wstring& to) {
    plan_.push_back({PlannedStep::Kind::Rename, from, to, std::nullopt});
}

void FileTransaction::copy(const std::wstring& from, const std::wstring& to) {
    plan_.push_back({PlannedStep::Kind::Copy, from, to, std::nullopt});
}

void FileTransaction::writeTimeStamp(const std::wstring& path) {
    plan_.push_back({PlannedStep::Kind::WriteTimeStamp, {}, path, std::nullopt});
}

void FileTransaction::setAside(const std::wstring& path, const std::wstring& asideName) {
    plan_.push_back({PlannedStep::Kind::SetAside, path, asideName, std::nullopt});
}

bool FileTransaction::commit() {
    if (failed()) {
        return false;
    }
    if (plan_.empty()) {
        return true;
    }
    if (!prepare()) {
        return false;
    }
    for (std::size_t index = 0; index < plan_.size(); ++index) {
        if (!takeStep(index)) {
            return false;
        }
    }
    for (const PlannedStep& step : plan_) {
        if (step.kind == PlannedStep::Kind::SetAside) {
            if (const StepResult result = steps_.recycle(step.to); !result.ok) {
                return fail(StepKind::Delete, step.to, {}, result);
            }
        }
    }
    // Should the record stay, the next start finds every step done and only
    // removes it; the user is told now.
    removeRecord();
    return true;
}

void FileTransaction::removeRecord() {
    if (const StepResult removed = record_->remove(); !removed.ok) {
        recordNotRemoved_ = removed.reason;
    }
    record_.reset();
}

// Reads what the time-stamp files hold now, then writes the plan; nothing has
// been changed when this fails.
bool FileTransaction::prepare() {
    for (PlannedStep& step : plan_) {
        if (step.kind != PlannedStep::Kind::WriteTimeStamp) {
            continue;
        }
        const Lookup stamp = steps_.lookUp(step.to);
        if (stamp.unknown()) {
            return fail(StepKind::LookUp, step.to, {}, StepResult::failure(stamp.reason));
        }
        if (stamp.present()) {
            std::string bytes;
            if (const StepResult result = steps_.readSmallFile(step.to, bytes); !result.ok) {
                return fail(StepKind::ReadFile, step.to, {}, result);
            }
            step.earlierContent = std::move(bytes);
        }
    }
    IntentRecord record;
    record.operation = operation_;
    record.steps = plan_;
    if (const StepResult result = steps_.createHeldFile(recordPath_, encodePlan(record), record_);
        !result.ok) {
        record_.reset();
        // A record that is already there (hidden from the look-ups, or made
        // since) belongs to another operation: it is named and left alone.
        const StepResult readable = steps_.canRead(recordPath_);
        if (result.held || readable.ok || readable.held) {
            return fail(StepKind::WriteFile, recordPath_, {}, result);
        }
        // The record lies beside the files, so the first step would have failed
        // for the same reason (a missing folder, a write-protected one): the
        // user is told about that step, which is what they asked for.
        const PlannedStep& first = plan_.front();
        switch (first.kind) {
        case PlannedStep::Kind::Copy:
            return fail(StepKind::Copy, first.from, first.to, result);
        case PlannedStep::Kind::WriteTimeStamp:
            return fail(StepKind::WriteTimeStamp, first.to, {}, result);
        default:
            return fail(StepKind::Rename, first.from, first.to, result);
        }
    }
    return true;
}

bool FileTransaction::takeStep(std::size_t index) {
    const PlannedStep& step = plan_[index];
    switch (step.kind) {
    case PlannedStep::Kind::SetAside:
    case PlannedStep::Kind::Rename:
        if (const StepResult result = steps_.rename(step.from, step.to); !result.ok) {
            return fail(StepKind::Rename, step.from, step.to, result);
        }
        break;
    case PlannedStep::Kind::Copy:
        if (const StepResult result = steps_.copy(step.from, step.to); !result.ok) {
            return fail(StepKind::Copy, step.from, step.to, result);
        }
        break;
    case PlannedStep::Kind::WriteTimeStamp:
        if (const StepResult result = steps_.writeTimeStamp(step.to); !result.ok) {
            return fail(StepKind::WriteTimeStamp, step.to, {}, result);
        }
        break;
    }
    done_ = index + 1;
    // The data of a new file reaches the disk before anything that could make
    // an older copy unreachable, and before the record says the step is done.
    if (step.kind == PlannedStep::Kind::Copy || step.kind == PlannedStep::Kind::WriteTimeStamp) {
        if (const StepResult result = steps_.flush(step.to); !result.ok) {
            return fail(StepKind::Flush, step.to, {}, result);
        }
    }
    if (const StepResult result = record_->append(doneMark(static_cast<int>(done_))); !result.ok) {
        return fail(StepKind::WriteFile, recordPath_, {}, result);
    }
    return true;
}

bool FileTransaction::fail(StepKind kind, const std::wstring& path, const std::wstring& target,
                           const StepResult& result) {
    failure_ = StepFailure{kind, path, target, result.reason};
    changedAnything_ = done_ > 0;
    undo();
    return false;
}

UndoFailure undoFailureOf(const PlannedStep& step, const std::wstring& reason) {
    switch (step.kind) {
    case PlannedStep::Kind::Copy:
        return {UndoFailure::Kind::CopyNotRemoved, step.from, step.to, reason};
    case PlannedStep::Kind::WriteTimeStamp:
        return {UndoFailure::Kind::TimeStampNotReset, step.to, step.to, reason};
    default:
        return {UndoFailure::Kind::NotMovedBack, step.from, step.to, reason};
    }
}

// Undoes the steps taken, latest first, marking each in the record. A rename
// back never replaces anything (the system refuses an existing target), so an
// undo that fails leaves every content in some file; each such case is
// recorded for the user, and the record stays so that the next start tries
// again. Without its mark an undo must go no further: the record would no
// longer tell which steps are still in effect.
void FileTransaction::undo() {
    // First the record learns how many steps are in effect, so that the next
    // start never takes an undone step for one the process died in.
    if (record_ && done_ > 0) {
        if (const StepResult marked = record_->append(undoMark(static_cast<int>(done_))); !marked.ok) {
            for (std::size_t left = done_; left > 0; --left) {
                undoFailures_.push_back(undoFailureOf(plan_[left - 1], marked.reason));
            }
            return;
        }
    }
    for (std::size_t index = done_; index > 0; --index) {
        const PlannedStep& step = plan_[index - 1];
        StepResult result;
        switch (step.kind) {
        case PlannedStep::Kind::SetAside:
        case PlannedStep::Kind::Rename:
            result = steps_.rename(step.to, step.from);
            break;
        case PlannedStep::Kind::Copy:
            result = steps_.deleteFile(step.to);
            break;
        case PlannedStep::Kind::WriteTimeStamp:
            result = step.earlierContent ? steps_.writeSmallFile(step.to, *step.earlierContent)
                                         : steps_.deleteFile(step.to);
            break;
        }
        if (!result.ok) {
            undoFailures_.push_back(undoFailureOf(step, result.reason));
            continue;
        }
        if (const StepResult marked = record_->append(undoneMark(static_cast<int>(index))); !marked.ok) {
            for (std::size_t left = index - 1; left > 0; --left) {
                undoFailures_.push_back(undoFailureOf(plan_[left - 1], marked.reason));
            }
            break;
        }
    }
    if (record_ && undoFailures_.empty()) {
        removeRecord();
    }
    // Otherwise the record stays for the next start; it is closed here.
    record_.reset();
}

} // namespace kana::lexicon
