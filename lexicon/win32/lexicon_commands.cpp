#include "lexicon/win32/lexicon_commands.h"

#include "common/win32/message_box.h"
#include "common/win32/worker_thread.h"
#include "lexicon/operations.h"
#include "lexicon/recovery.h"
#include "lexicon/retrying_file_steps.h"
#include "lexicon/win32/win32_file_steps.h"

#include <optional>

namespace kana::win32 {

namespace {

// The real files, with steps on a file that another program holds for a
// moment tried again. They are taken on a worker thread, so the pause between
// two tries holds back no window.
class SleepingPause final : public lexicon::Pause {
  public:
    void wait(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
};

struct RealFiles {
    lexicon::win32::Win32FileSteps win32;
    SleepingPause pause;
    lexicon::RetryingFileSteps steps{win32, pause};
};

// The main window as an operation on the worker thread sees it: each call is
// made on the window's thread, in the order the operation makes it, and the
// operation goes on once it has returned.
class HostOnWindowThread final : public lexicon::OperationHost {
  public:
    HostOnWindowThread(lexicon::OperationHost& host, WorkerThread& worker) : host_(host), worker_(worker) {}

    void refresh() override {
        auto call = [this] { host_.refresh(); };
        worker_.onWindowThread(call);
    }
    lexicon::MessageAnswer showMessage(const lexicon::Message& message) override {
        lexicon::MessageAnswer answer = lexicon::MessageAnswer::Cancel;
        auto call = [&] { answer = host_.showMessage(message); };
        worker_.onWindowThread(call);
        return answer;
    }
    void showHelpWindow() override {
        auto call = [this] { host_.showHelpWindow(); };
        worker_.onWindowThread(call);
    }
    void endProgram() override {
        auto call = [this] { host_.endProgram(); };
        worker_.onWindowThread(call);
    }

  private:
    lexicon::OperationHost& host_;
    WorkerThread& worker_;
};

// One operation as the commands run it: its file steps, its files, its host,
// and the one choice the user made for it (back up first, restore to the
// initial backup), where it has one.
using Operation = void (*)(lexicon::FileSteps& steps, const lexicon::FileSet& files,
                           lexicon::OperationHost& host, bool choice);

// Runs one operation against the real files on a worker thread, with the main
// window as its host.
void runWithRealFiles(LexiconCommandContext& context, Operation operation, bool choice = false) {
    WorkerThread worker;
    HostOnWindowThread host(context.host, worker);
    const lexicon::FileSet files(context.versionDir);
    auto work = [&] {
        RealFiles real;
        operation(real.steps, files, host, choice);
    };
    worker.run(work);
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
    std::optional<lexicon::Message> report;
    WorkerThread worker;
    auto work = [&] {
        RealFiles files;
        report = lexicon::recoverInterruptedOperation(files.steps, lexicon::FileSet(versionDir));
    };
    worker.run(work);
    if (report) {
        win32::showMessage(report->text, report->title, Buttons::Ok);
    }
}

void runUninstall(LexiconCommandContext& context) {
    runWithRealFiles(context,
                     [](lexicon::FileSteps& steps, const lexicon::FileSet& files,
                        lexicon::OperationHost& host, bool) { lexicon::uninstall(steps, files, host); });
}

} // namespace kana::win32
