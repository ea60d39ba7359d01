#include "lexicon/operations.h"

#include "lexicon/file_transaction.h"

#include <optional>

namespace kana::lexicon {

namespace {

// Either the transaction went through, or the message that stops the operation.
using StopMessage = std::optional<Message>;

StopMessage resultOf(FileTransaction& transaction) {
    if (transaction.commit()) {
        return std::nullopt;
    }
    return messages::stepFailed(*transaction.failure(), transaction.changedAnything(),
                                transaction.undoFailures());
}

Outcome stop(OperationHost& host, const Message& message) {
    host.refresh();
    host.showMessage(message);
    return Outcome::Stopped;
}

void startSettingsProgram(FileSteps& steps, const FileSet& files, OperationHost& host) {
    const std::wstring appPath = files.settingsProgram();
    if (const StepResult result = steps.startSettingsProgram(appPath); !result.ok) {
        host.showMessage(messages::settingsProgramNotStarted(appPath, result.reason));
    }
}

// A file to be replaced is set aside under a fixed name until its replacement
// is in place. A file left under that name by an earlier run is never touched:
// the operation refuses to start and names it.
StopMessage checkAsideFree(FileSteps& steps, const std::wstring& asideName) {
    if (steps.exists(asideName)) {
        return messages::leftOverAsideFile(asideName);
    }
    return std::nullopt;
}

StopMessage restoreToInitial(FileSteps& steps, const FileSet& files) {
    // Without phrases.ini there is nothing to move into the latest backup's
    // place, and the latest backup may hold the user's only copy of their
    // phrases: it stays, and only the initial backup is copied back.
    const bool phrasesPresent = steps.exists(files.phrases());
    const bool latestPresent = phrasesPresent && steps.exists(files.latestBackup());
    if (latestPresent) {
        if (StopMessage refusal = checkAsideFree(steps, files.latestBackupAside())) {
            return refusal;
        }
    }

    FileTransaction transaction(steps);
    if (phrasesPresent) {
        if (latestPresent) {
            transaction.setAside(files.latestBackup(), files.latestBackupAside());
        }
        transaction.rename(files.phrases(), files.latestBackup());
    }
    if (!transaction.failed() && steps.exists(files.initialBackup())) {
        transaction.copy(files.initialBackup(), files.phrases());
        transaction.writeTimeStamp(files.initialTimeStamp());
    }
    return resultOf(transaction);
}

StopMessage restoreToLatest(FileSteps& steps, const FileSet& files) {
    if (!steps.exists(files.latestBackup())) {
        return messages::latestBackupMissing(files.latestBackup());
    }
    if (!steps.exists(files.phrases())) {
        return messages::phrasesMissingForRestore(files.phrases());
    }
    if (steps.exists(files.swapFile())) {
        return messages::leftOverSwapFile(files.swapFile());
    }

    FileTransaction transaction(steps);
    transaction.rename(files.latestBackup(), files.swapFile());
    transaction.rename(files.phrases(), files.latestBackup());
    transaction.rename(files.swapFile(), files.phrases());
    transaction.writeTimeStamp(files.latestTimeStamp());
    return resultOf(transaction);
}

// Restore operation and uninstall share the two closing messages.
void showRestoreMessages(OperationHost& host) {
    host.showMessage(messages::restoreDone());
    host.showMessage(messages::applyInSettingsProgram());
}

} // namespace

Outcome install(FileSteps& steps, const FileSet& files, bool keepBackup, OperationHost& host) {
    // The phrase list is looked up in the current directory; its full path is
    // what the messages name.
    const std::wstring phraseList = steps.fullPath(FileSet::phraseListName());
    if (const StepResult readable = steps.canRead(phraseList); !readable.ok) {
        return stop(host, messages::phraseListUnreadable(phraseList, readable.reason));
    }

    // With nothing to back up the backup part is skipped.
    const bool phrasesPresent = steps.exists(files.phrases());
    const bool backingUp = keepBackup && phrasesPresent;
    const bool initialPresent = backingUp && steps.exists(files.initialBackup());
    const bool latestPresent = initialPresent && steps.exists(files.latestBackup());
    // Without a backup the old phrases.ini is replaced; it is set aside until the
    // copy is complete, so that a failed copy cannot take it away.
    const bool replacingPhrases = !backingUp && phrasesPresent;
    if (latestPresent) {
        if (StopMessage refusal = checkAsideFree(steps, files.latestBackupAside())) {
            return stop(host, *refusal);
        }
    }
    if (replacingPhrases) {
        if (StopMessage refusal = checkAsideFree(steps, files.phrasesAside())) {
            return stop(host, *refusal);
        }
    }

    FileTransaction transaction(steps);
    if (backingUp && !initialPresent) {
        transaction.rename(files.phrases(), files.initialBackup());
        transaction.writeTimeStamp(files.initialTimeStamp());
    } else if (backingUp) {
        if (latestPresent) {
            transaction.setAside(files.latestBackup(), files.latestBackupAside());
        }
        transaction.rename(files.phrases(), files.latestBackup());
        transaction.writeTimeStamp(files.latestTimeStamp());
    } else if (replacingPhrases) {
        transaction.setAside(files.phrases(), files.phrasesAside());
    }
    transaction.copy(phraseList, files.phrases());
    if (StopMessage failure = resultOf(transaction)) {
        return stop(host, *failure);
    }

    host.refresh();
    if (host.showMessage(messages::askRestartAfterInstall()) == MessageAnswer::Cancel) {
        startSettingsProgram(steps, files, host);
        host.showHelpWindow();
        return Outcome::Completed;
    }
    host.showMessage(messages::restartToApply());
    host.endProgram();
    return Outcome::Completed;
}

Outcome backup(FileSteps& steps, const FileSet& files, OperationHost& host) {
    if (!steps.exists(files.phrases())) {
        return stop(host, messages::phrasesMissingForBackup(files.phrases()));
    }
    const bool initialPresent = steps.exists(files.initialBackup());
    const bool latestPresent = initialPresent && steps.exists(files.latestBackup());
    if (latestPresent) {
        if (StopMessage refusal = checkAsideFree(steps, files.latestBackupAside())) {
            return stop(host, *refusal);
        }
    }

    FileTransaction transaction(steps);
    if (!initialPresent) {
        transaction.copy(files.phrases(), files.initialBackup());
        transaction.writeTimeStamp(files.initialTimeStamp());
    } else {
        if (latestPresent) {
            transaction.setAside(files.latestBackup(), files.latestBackupAside());
        }
        transaction.copy(files.phrases(), files.latestBackup());
        transaction.writeTimeStamp(files.latestTimeStamp());
    }
    if (StopMessage failure = resultOf(transaction)) {
        return stop(host, *failure);
    }

    host.refresh();
    host.showMessage(messages::backupDone());
    return Outcome::Completed;
}

Outcome restore(FileSteps& steps, const FileSet& files, bool toInitial, OperationHost& host) {
    if (StopMessage failure = toInitial ? restoreToInitial(steps, files) : restoreToLatest(steps, files)) {
        return stop(host, *failure);
    }
    host.refresh();
    showRestoreMessages(host);
    startSettingsProgram(steps, files, host);
    host.showHelpWindow();
    return Outcome::Completed;
}

Outcome uninstall(FileSteps& steps, const FileSet& files, OperationHost& host) {
    if (StopMessage failure = restoreToInitial(steps, files)) {
        return stop(host, *failure);
    }
    showRestoreMessages(host);
    startSettingsProgram(steps, files, host);
    host.endProgram();
    return Outcome::Completed;
}

} // namespace kana::lexicon
