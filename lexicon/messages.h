// Every message box of the lexicon operations, with its text, title and
// buttons. No message box of the program shows an icon.
#pragma once

#include "lexicon/file_transaction.h"
#include "lexicon/intent_record.h"

#include <string>
#include <vector>

namespace kana::lexicon {

enum class Buttons { Ok, OkCancel };
enum class DefaultButton { First, Second };
enum class MessageAnswer { Ok, Cancel };

struct Message {
    std::wstring text;
    std::wstring title;
    Buttons buttons = Buttons::Ok;
    DefaultButton defaultButton = DefaultButton::First;

    friend bool operator==(const Message&, const Message&) = default;
};

namespace messages {

inline constexpr wchar_t kApplicationTitle[] = L"Kanaroute";
inline constexpr wchar_t kDecideTitle[] = L"请决定";

// After an install: restart (OK) or apply by hand (Cancel).
Message askRestartAfterInstall();
// After the OK answer, before the program ends.
Message restartToApply();
Message backupDone();
Message restoreDone();
// Before the settings program is started after a restore or an uninstall.
Message applyInSettingsProgram();

// The settings program could not be started; the files are already changed.
Message settingsProgramNotStarted(const std::wstring& appPath, const std::wstring& reason);

// Checks before the first change; nothing has been changed.
Message phraseListUnreadable(const std::wstring& fullPath, const std::wstring& reason);
// The phrase list is neither in the current folder nor beside the program.
Message phraseListMissing(const std::wstring& inCurrentFolder, const std::wstring& besideProgram);
Message phrasesMissingForBackup(const std::wstring& phrasesPath);
Message phrasesMissingForRestore(const std::wstring& phrasesPath);
Message latestBackupMissing(const std::wstring& latestBackupPath);
Message leftOverSwapFile(const std::wstring& swapPath);
Message leftOverAsideFile(const std::wstring& asidePath);
// The existence of a file could not be determined.
Message existenceUnknown(const std::wstring& path, const std::wstring& reason);
// A file that is to be replaced or to become phrases.ini carries the read-only attribute.
Message readOnlyFile(const std::wstring& path);
// The record of an earlier operation is still there (its undo failed).
Message leftOverRecord(const std::wstring& recordPath);

// At start-up, about an operation that was cut short.
Message recoveryNothingChanged();
Message recoveryFinished(OperationKind operation);
Message recoveryUndone(OperationKind operation);
Message recoveryIncomplete(OperationKind operation, const std::vector<UndoFailure>& undoFailures);
Message recordUnreadable(const std::wstring& recordPath, const std::wstring& reason);
Message recordNotRecognised(const std::wstring& recordPath);
Message recordUnwritable(const std::wstring& recordPath, const std::wstring& reason);
// Every step was done, but the file set aside cannot go to the Recycle Bin.
Message recycleRefused(OperationKind operation, const std::wstring& asidePath, const std::wstring& reason);
// The record of an operation could not be removed once there was nothing more
// to do for it: a paragraph that follows what the user is told about the operation.
std::wstring recordNotRemoved(const std::wstring& recordPath, const std::wstring& reason);
// The same on its own, after an operation that went through.
Message recordNotRemovedAfterSuccess(const std::wstring& recordPath, const std::wstring& reason);
// Set-aside or swap files with no record that explains them.
Message leftOverFiles(const std::vector<std::wstring>& paths);

// A step failed part-way; says which file, why, and where everything is now.
Message stepFailed(const StepFailure& failure, bool changedAnything,
                   const std::vector<UndoFailure>& undoFailures);

} // namespace messages
} // namespace kana::lexicon
