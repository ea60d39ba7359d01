#include "lexicon/win32/lexicon_commands.h"

#include "common/win32/message_box.h"
#include "lexicon/operations.h"
#include "lexicon/recovery.h"
#include "lexicon/retrying_file_steps.h"
#include "lexicon/win32/win32_file_steps.h"

namespace kana::win32 {

namespace {

// The real files, with steps on a file that another program holds for a
// moment tried again.
class SleepingPause final : public lexicon::Pause {
  public:
    void wait(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
};

struct RealFiles {
    lexicon::win32::Win32FileSteps win32;
    SleepingPause pause;
    lexicon::RetryingFileSteps steps{win32, pause};
};

// One operation as the commands run it: its file steps, its files, its host,
// and the one choice the user made for it (back up first, restore to the
// initial backup), where it has one.
using Operation = void (*)(lexicon::FileSteps& steps, const lexicon::FileSet& files,
                           lexicon::OperationHost& host, bool choice);

// Runs one operation against the real files, with the main window as its host.
void runWithRealFiles(LexiconCommandContext& context, Operation operation, bool choice = false) {
    RealFiles files;
    operation(files.steps, lexicon::FileSet(context.versionDir), context.host, choice);
}

} // namespace

void runInstall(LexiconCommandContext& context, bool backupFirst) {
    runWithRealFiles(
        context,
        [](lexicon::FileSteps& steps, const lexicon::FileSet& files, lexicon::OperationHost& host,
           bool backup) { lexicon::install(steps, files, backup, host); },
        backupFirst);
}

void runBackup(LexiconCommandContext& context) {
    runWithRealFiles(context,
                     [](lexicon::FileSteps& steps, const lexicon::FileSet& files,
                        lexicon::OperationHost& host, bool) { lexicon::backup(steps, files, host); });
}

void runRestore(LexiconCommandContext& context, bool toInitial) {
    runWithRealFiles(
        context,
        [](lexicon::FileSteps& steps, const lexicon::FileSet& files, lexicon::OperationHost& host,
           bool initial) { lexicon::restore(steps, files, initial, host); },
        toInitial);
}

void recoverInterruptedOperation(const std::wstring& versionDir) {
    RealFiles files;
    if (const std::optional<lexicon::Message> report =
            lexicon::recoverInterruptedOperation(files.steps, lexicon::FileSet(versionDir))) {
        win32::showMessage(report->text, report->title, Buttons::Ok);
    }
}

void runUninstall(LexiconCommandContext& context) {
    runWithRealFiles(context,
                     [](lexicon::FileSteps& steps, const lexicon::FileSet& files,
                        lexicon::OperationHost& host, bool) { lexicon::uninstall(steps, files, host); });
}

} // namespace kana::win32
