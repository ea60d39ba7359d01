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

// Runs one operation against the real files, with the main window as its host.
template <typename Operation> void runWithRealFiles(LexiconCommandContext& context, Operation operation) {
    RealFiles files;
    lexicon::FileSteps& steps = files.steps;
    lexicon::OperationHost& host = context.host;
    operation(steps, lexicon::FileSet(context.versionDir), host);
}

} // namespace

void runInstall(LexiconCommandContext& context, bool backupFirst) {
    runWithRealFiles(context, [backupFirst](auto& steps, const auto& files, auto& host) {
        lexicon::install(steps, files, backupFirst, host);
    });
}

void runBackup(LexiconCommandContext& context) {
    runWithRealFiles(context,
                     [](auto& steps, const auto& files, auto& host) { lexicon::backup(steps, files, host); });
}

void runRestore(LexiconCommandContext& context, bool toInitial) {
    runWithRealFiles(context, [toInitial](auto& steps, const auto& files, auto& host) {
        lexicon::restore(steps, files, toInitial, host);
    });
}

void recoverInterruptedOperation(const std::wstring& versionDir) {
    RealFiles files;
    if (const std::optional<lexicon::Message> report =
            lexicon::recoverInterruptedOperation(files.steps, lexicon::FileSet(versionDir))) {
        win32::showMessage(report->text, report->title, Buttons::Ok);
    }
}

void runUninstall(LexiconCommandContext& context) {
    runWithRealFiles(
        context, [](auto& steps, const auto& files, auto& host) { lexicon::uninstall(steps, files, host); });
}

} // namespace kana::win32
