#include "lexicon/recovery.h"

#include "lexicon/intent_record.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kana::lexicon {

namespace {

// Whether path is exactly one of the lexicon's own files.
bool isOneOf(const std::wstring& path, std::initializer_list<std::wstring> files) {
    return std::find(files.begin(), files.end(), path) != files.end();
}

// A record is followed only where every path it would change is one of the
// lexicon's own names directly in the version directory, in the role that
// this program gives it. A copy's source is only read, never changed.
bool belongsHere(const FileSet& files, const IntentRecord& record) {
    const std::wstring phrases = files.phrases();
    const std::wstring initial = files.initialBackup();
    const std::wstring latest = files.latestBackup();
    const std::wstring swap = files.swapFile();
    for (const PlannedStep& step : record.steps) {
        bool known = false;
        switch (step.kind) {
        case PlannedStep::Kind::SetAside:
            known = isOneOf(step.from, {phrases, latest}) &&
                    isOneOf(step.to, {files.phrasesAside(), files.latestBackupAside()});
            break;
        case PlannedStep::Kind::Rename:
            known = isOneOf(step.from, {phrases, initial, latest, swap}) &&
                    isOneOf(step.to, {phrases, initial, latest, swap});
            break;
        case PlannedStep::Kind::Copy:
            known = isOneOf(step.to, {phrases, initial, latest});
            break;
        case PlannedStep::Kind::WriteTimeStamp:
            known = isOneOf(step.to, {files.initialTimeStamp(), files.latestTimeStamp()});
            break;
        }
        if (!known) {
            return false;
        }
    }
    return true;
}

bool wasUndone(const IntentRecord& record, int index) {
    for (const int undone : record.undone) {
        if (undone == index) {
            return true;
        }
    }
    return false;
}

// Puts one step back, judging by the files themselves whether it happened:
// the step after the last one marked done may or may not have been taken, and
// an undo may have been cut short before its mark.
StepResult undoStep(FileSteps& steps, const PlannedStep& step, bool mayNotHaveHappened) {
    switch (step.kind) {
    case PlannedStep::Kind::SetAside:
    case PlannedStep::Kind::Rename: {
        const Lookup from = steps.lookUp(step.from);
        const Lookup to = steps.lookUp(step.to);
        if (from.unknown() || to.unknown()) {
            return StepResult::failure(from.unknown() ? from.reason : to.reason);
        }
        if (from.present() && to.absent()) {
            return StepResult::success(); // not taken, or already put back
        }
        if (from.absent() && to.present()) {
            return steps.rename(step.to, step.from);
        }
        if (mayNotHaveHappened) {
            // Had the rename happened, its source would be gone: an earlier
            // step's undo has put another file under one of the two names.
            return StepResult::success();
        }
        return StepResult::failure(from.present() ? L"两个文件都存在，程序无法判断哪一个是原来的。"
                                                  : L"两个文件都不存在。");
    }
    case PlannedStep::Kind::Copy: {
        // The target was absent before the copy, so whatever is there is the copy.
        const Lookup to = steps.lookUp(step.to);
        if (to.unknown()) {
            return StepResult::failure(to.reason);
        }
        return to.present() ? steps.deleteFile(step.to) : StepResult::success();
    }
    case PlannedStep::Kind::WriteTimeStamp: {
        if (step.earlierContent) {
            return steps.writeSmallFile(step.to, *step.earlierContent);
        }
        const Lookup to = steps.lookUp(step.to);
        if (to.unknown()) {
            return StepResult::failure(to.reason);
        }
        return to.present() ? steps.deleteFile(step.to) : StepResult::success();
    }
    }
    return StepResult::success();
}

// The record has served: it is removed, and the report says so where it cannot be.
Message withRemovedRecord(HeldFile& held, const std::wstring& recordPath, Message report) {
    if (const StepResult removed = held.remove(); !removed.ok) {
        report.text += L"\r\n\r\n" + messages::recordNotRemoved(recordPath, removed.reason);
    }
    return report;
}

Message finish(FileSteps& steps, HeldFile& held, const std::wstring& recordPath, const IntentRecord& record) {
    // A set-aside file that cannot be removed now stays, and so does the
    // record, so that the next start tries again.
    for (const PlannedStep& step : record.steps) {
        if (step.kind == PlannedStep::Kind::SetAside && !steps.lookUp(step.to).absent()) {
            if (const StepResult result = steps.recycle(step.to); !result.ok) {
                return messages::recycleRefused(record.operation, step.to, result.reason);
            }
        }
    }
    // Should the record stay, the next start finds every step done again.
    return withRemovedRecord(held, recordPath, messages::recoveryFinished(record.operation));
}

Message undo(FileSteps& steps, const FileSet& files, HeldFile& held, const IntentRecord& record) {
    const int stepCount = static_cast<int>(record.steps.size());
    // Without a failure first, the process died on its way forward: the step
    // after the last one marked done may or may not have been taken. After a
    // failure the record says how many steps were in effect when the undo began.
    const bool diedForward = record.undoFrom == 0;
    const int last = diedForward ? std::min(record.done + 1, stepCount) : record.undoFrom;
    if (diedForward) {
        // Should this start die too, the next one finds the undo begun and
        // the step taken or not marked undone before any earlier one is undone.
        if (const StepResult marked = held.append(undoMark(last)); !marked.ok) {
            return messages::recordUnwritable(files.intentRecord(), marked.reason);
        }
    }
    std::vector<UndoFailure> failures;
    for (int index = last; index >= 1; --index) {
        if (wasUndone(record, index)) {
            continue;
        }
        const PlannedStep& step = record.steps[static_cast<std::size_t>(index - 1)];
        // Once a step could not be undone, the earlier ones stay in effect:
        // judged by the files, a later step's file under their names would
        // look like their own.
        if (!failures.empty()) {
            failures.push_back(undoFailureOf(step, L"其后的一步未能还原，这一步保持原样。"));
            continue;
        }
        if (const StepResult result = undoStep(steps, step, diedForward && index > record.done); !result.ok) {
            failures.push_back(undoFailureOf(step, result.reason));
            continue;
        }
        // Without its mark an undone step would be judged again by the next
        // start, after later undos may have put another file under its name:
        // the undo stops here, and the next start goes on from the files.
        if (const StepResult marked = held.append(undoneMark(index)); !marked.ok) {
            return messages::recordUnwritable(files.intentRecord(), marked.reason);
        }
    }
    if (!failures.empty()) {
        // The record stays: the next start tries again.
        return messages::recoveryIncomplete(record.operation, failures);
    }
    return withRemovedRecord(held, files.intentRecord(), messages::recoveryUndone(record.operation));
}

std::optional<Message> replayRecord(FileSteps& steps, const FileSet& files) {
    const std::wstring recordPath = files.intentRecord();
    const Lookup lookup = steps.lookUp(recordPath);
    if (lookup.absent()) {
        return std::nullopt;
    }
    if (lookup.unknown()) {
        return messages::recordUnreadable(recordPath, lookup.reason);
    }
    // Only a record that this process can hold for itself is acted on: one
    // held by a live process belongs to that process's running operation
    // (another copy of this program, in another session), and is left alone
    // without a word.
    std::string bytes;
    std::unique_ptr<HeldFile> held;
    if (const StepResult result = steps.openHeldFile(recordPath, bytes, held); !result.ok) {
        if (result.held) {
            return std::nullopt;
        }
        return messages::recordUnreadable(recordPath, result.reason);
    }
    const std::optional<IntentRecord> record = parseIntentRecord(bytes);
    if (!record || !belongsHere(files, *record)) {
        return messages::recordNotRecognised(recordPath);
    }
    if (!record->planComplete || record->steps.empty()) {
        // Cut short while the plan was written: no file had been changed.
        return withRemovedRecord(*held, recordPath, messages::recoveryNothingChanged());
    }
    if (record->undoFrom == 0 && record->done == static_cast<int>(record->steps.size())) {
        return finish(steps, *held, recordPath, *record);
    }
    return undo(steps, files, *held, *record);
}

} // namespace

std::optional<Message> recoverInterruptedOperation(FileSteps& steps, const FileSet& files) {
    std::optional<Message> report = replayRecord(steps, files);
    if (steps.lookUp(files.intentRecord()).present()) {
        return report; // what is left over belongs to the record
    }
    std::vector<std::wstring> leftOver;
    for (const std::wstring& path : {files.phrasesAside(), files.latestBackupAside(), files.swapFile()}) {
        if (!steps.lookUp(path).absent()) {
            leftOver.push_back(path);
        }
    }
    if (leftOver.empty()) {
        return report;
    }
    const Message leftOverReport = messages::leftOverFiles(leftOver);
    if (!report) {
        return leftOverReport;
    }
    report->text += L"\r\n\r\n" + leftOverReport.text;
    return report;
}

} // namespace kana::lexicon
