#include "lexicon/operations.h"

#include "lexicon/file_transaction.h"

#include <optional>

namespace kana::lexicon {

namespace {

// Either the transaction went through, or the message that stops the operation.
using StopMessage = std::optional<Message>;

// A record that could not be removed at the end is reported with the
// operation's result: until it goes, no other operation starts.
StopMessage resultOf(FileTransaction& transaction, const FileSet& files, OperationHost& host) {
    const bool committed = transaction.commit();
    const std::optional<std::wstring>& recordLeft = transaction.recordNotRemoved();
    if (committed) {
        if (recordLeft) {
            host.showMessage(messages::recordNotRemovedAfterSuccess(files.intentRecord(), *recordLeft));
        }
        return std::nullopt;
    }
    Message failure = messages::stepFailed(*transaction.failure(), transaction.changedAnything(),
                                           transaction.undoFailures());
    if (recordLeft) {
        failure.text += L"\r\n\r\n" + messages::recordNotRemoved(files.intentRecord(), *recordLeft);
    }
    return failure;
}

// The message comes first: the refresh ends the program when the input method
// has gone, and the user must still learn where the files are.
Outcome stop(OperationHost& host, const Message& message) {
    host.showMessage(message);
    host.refresh();
    return Outcome::Stopped;
}

void startSettingsProgram(FileSteps& steps, const FileSet& files, OperationHost& host) {
    const std::wstring appPath = files.settingsProgram();
    if (const StepResult result = steps.startSettingsProgram(appPath); !result.ok) {
        host.showMessage(messages::settingsProgramNotStarted(appPath, result.reason));
    }
}

// The look-ups an operation makes before its first change. The first one whose
// answer is unknown stops the operation; every later one then answers absent
// and is not made.
class Survey {
  public:
    Survey(FileSteps& steps, const FileSet& files) : steps_(steps) {
        // A record left by an earlier operation is dealt with at start-up;
        // while it is there, no operation may add its own.
        if (lookUp(files.intentRecord()).present()) {
            refuse(messages::leftOverRecord(files.intentRecord()));
        }
    }

    Lookup lookUp(const std::wstring& path) {
        if (stop_) {
            return Lookup::absentFile();
        }
        Lookup lookup = steps_.lookUp(path);
        if (lookup.unknown()) {
            stop_ = messages::existenceUnknown(path, lookup.reason);
            return Lookup::absentFile();
        }
        return lookup;
    }
    bool present(const std::wstring& path) { return lookUp(path).present(); }

    // A file that this operation replaces or moves into phrases.ini's place
    // must not be read-only: the new phrases.ini must stay changeable.
    bool presentAndChangeable(const std::wstring& path) {
        const Lookup lookup = lookUp(path);
        if (lookup.present() && lookup.readOnly) {
            refuse(messages::readOnlyFile(path));
        }
        return lookup.present();
    }

    // A file to be replaced is set aside under a fixed name until its
    // replacement is in place. A file left under that name by an earlier run
    // is never touched: the operation refuses to start and names it.
    void requireAsideFree(const std::wstring& asideName) {
        if (lookUp(asideName).present()) {
            refuse(messages::leftOverAsideFile(asideName));
        }
    }

    void refuse(Message message) {
        if (!stop_) {
            stop_ = std::move(message);
        }
    }
    const StopMessage& stopped() const { return stop_; }

  private:
    FileSteps& steps_;
    StopMessage stop_;
};

StopMessage restoreToInitial(FileSteps& steps, const FileSet& files, OperationKind operation,
                             OperationHost& host) {
    // Without phrases.ini there is nothing to move into the latest backup's
    // place, and the latest backup may hold the user's only copy of their
    // phrases: it stays, and only the initial backup is copied back.
    Survey survey(steps, files);
    const bool phrasesPresent = survey.presentAndChangeable(files.phrases());
    const bool latestPresent = phrasesPresent && survey.presentAndChangeable(files.latestBackup());
    if (latestPresent) {
        survey.requireAsideFree(files.latestBackupAside());
    }
    const bool initialPresent = survey.present(files.initialBackup());
    if (survey.stopped()) {
        return survey.stopped();
    }

    FileTransaction transaction(steps, files, operation);
    if (phrasesPresent) {
        if (latestPresent) {
            transaction.setAside(files.latestBackup(), files.latestBackupAside());
        }
        transaction.rename(files.phrases(), files.latestBackup());
    }
    if (initialPresent) {
        transaction.copy(files.initialBackup(), files.phrases());
        transaction.writeTimeStamp(files.initialTimeStamp());
    }
    return resultOf(transaction, files, host);
}

StopMessage restoreToLatest(FileSteps& steps, const FileSet& files, OperationHost& host) {
    Survey survey(steps, files);
    if (!survey.presentAndChangeable(files.latestBackup())) {
        survey.refuse(messages::latestBackupMissing(files.latestBackup()));
    }
    if (!survey.presentAndChangeable(files.phrases())) {
        survey.refuse(messages::phrasesMissingForRestore(files.phrases()));
    }
    if (survey.present(files.swapFile())) {
        survey.refuse(messages::leftOverSwapFile(files.swapFile()));
    }
    if (survey.stopped()) {
        return survey.stopped();
    }

    FileTransaction transaction(steps, files, OperationKind::RestoreToLatest);
    transaction.rename(files.latestBackup(), files.swapFile());
    transaction.rename(files.phrases(), files.latestBackup());
    transaction.rename(files.swapFile(), files.phrases());
    transaction.writeTimeStamp(files.latestTimeStamp());
    return resultOf(transaction, files, host);
}

// Restore operation and uninstall share the two closing messages.
void showRestoreMessages(OperationHost& host) {
    host.showMessage(messages::restoreDone());
    host.showMessage(messages::applyInSettingsProgram());
}

// The phrase list is looked up in the current directory first, then beside
// the program: a shortcut or a command prompt may start the program from
// another folder. Its full path is what the messages name.
std::optional<std::wstring> findPhraseList(FileSteps& steps, OperationHost& host) {
    const std::wstring inCurrentFolder = steps.fullPath(FileSet::phraseListName());
    const std::wstring besideProgram = steps.besideProgram(FileSet::phraseListName());
    std::wstring found = inCurrentFolder;
    if (steps.lookUp(inCurrentFolder).absent()) {
        if (steps.lookUp(besideProgram).absent()) {
            stop(host, messages::phraseListMissing(inCurrentFolder, besideProgram));
            return std::nullopt;
        }
        found = besideProgram;
    }
    if (const StepResult readable = steps.canRead(found); !readable.ok) {
        stop(host, messages::phraseListUnreadable(found, readable.reason));
        return std::nullopt;
    }
    return found;
}

} // namespace

Outcome install(FileSteps& steps, const FileSet& files, bool keepBackup, OperationHost& host) {
    const std::optional<std::wstring> phraseList = findPhraseList(steps, host);
    if (!phraseList) {
        return Outcome::Stopped;
    }

    // With nothing to back up the backup part is skipped.
    Survey survey(steps, files);
    const bool phrasesPresent = survey.presentAndChangeable(files.phrases());
    const bool backingUp = keepBackup && phrasesPresent;
    const bool initialPresent = backingUp && survey.present(files.initialBackup());
    const bool latestPresent = initialPresent && survey.present(files.latestBackup());
    // Without a backup the old phrases.ini is replaced; it is set aside until the
    // copy is complete, so that a failed copy cannot take it away.
    const bool replacingPhrases = !backingUp && phrasesPresent;
    if (latestPresent) {
        survey.requireAsideFree(files.latestBackupAside());
    }
    if (replacingPhrases) {
        survey.requireAsideFree(files.phrasesAside());
    }
    if (survey.stopped()) {
        return stop(host, *survey.stopped());
    }

    FileTransaction transaction(steps, files, OperationKind::Install);
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
    transaction.copy(*phraseList, files.phrases());
    if (StopMessage failure = resultOf(transaction, files, host)) {
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
    // phrases.ini is only copied: a read-only one can be backed up.
    Survey survey(steps, files);
    if (!survey.present(files.phrases())) {
        survey.refuse(messages::phrasesMissingForBackup(files.phrases()));
    }
    const bool initialPresent = survey.present(files.initialBackup());
    const bool latestPresent = initialPresent && survey.present(files.latestBackup());
    if (latestPresent) {
        survey.requireAsideFree(files.latestBackupAside());
    }
    if (survey.stopped()) {
        return stop(host, *survey.stopped());
    }

    FileTransaction transaction(steps, files, OperationKind::Backup);
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
    if (StopMessage failure = resultOf(transaction, files, host)) {
        return stop(host, *failure);
    }

    host.refresh();
    host.showMessage(messages::backupDone());
    return Outcome::Completed;
}

Outcome restore(FileSteps& steps, const FileSet& files, bool toInitial, OperationHost& host) {
    if (StopMessage failure = toInitial
                                  ? restoreToInitial(steps, files, OperationKind::RestoreToInitial, host)
                                  : restoreToLatest(steps, files, host)) {
        return stop(host, *failure);
    }
    host.refresh();
    showRestoreMessages(host);
    startSettingsProgram(steps, files, host);
    host.showHelpWindow();
    return Outcome::Completed;
}

Outcome uninstall(FileSteps& steps, const FileSet& files, OperationHost& host) {
    if (StopMessage failure = restoreToInitial(steps, files, OperationKind::Uninstall, host)) {
        return stop(host, *failure);
    }
    showRestoreMessages(host);
    startSettingsProgram(steps, files, host);
    host.endProgram();
    return Outcome::Completed;
}

} // namespace kana::lexicon
