#include "lexicon/win32/lexicon_commands.h"

#include "app/win32/main_window.h"
#include "common/win32/message_box.h"
#include "lexicon/operations.h"
#include "lexicon/recovery.h"
#include "lexicon/win32/win32_file_steps.h"

namespace kana::win32 {

namespace {

// The main window as the operations see it: refresh, ask, help window, end.
class MainWindowHost final : public lexicon::OperationHost {
  public:
    explicit MainWindowHost(MainWindow& window) : window_(window) {}

    void refresh() override {
        if (!window_.load()) {
            // The input method went away while the program ran: nothing more can be offered.
            window_.endProgram();
        }
    }

    lexicon::MessageAnswer showMessage(const lexicon::Message& message) override {
        const Answer answer = win32::showMessage(
            message.text, message.title,
            message.buttons == lexicon::Buttons::OkCancel ? Buttons::OkCancel : Buttons::Ok);
        return answer == Answer::Ok ? lexicon::MessageAnswer::Ok : lexicon::MessageAnswer::Cancel;
    }

    void showHelpWindow() override { window_.showHelpWindow(); }

    void endProgram() override { window_.endProgram(); }

  private:
    MainWindow& window_;
};

} // namespace

namespace {

// Runs one operation against the real files, with the main window as its host.
template <typename Operation> void runWithRealFiles(LexiconCommandContext& context, Operation operation) {
    lexicon::win32::Win32FileSteps steps;
    MainWindowHost host(context.window);
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
    lexicon::win32::Win32FileSteps steps;
    if (const std::optional<lexicon::Message> report =
            lexicon::recoverInterruptedOperation(steps, lexicon::FileSet(versionDir))) {
        win32::showMessage(report->text, report->title, Buttons::Ok);
    }
}

void runUninstall(LexiconCommandContext& context) {
    runWithRealFiles(
        context, [](auto& steps, const auto& files, auto& host) { lexicon::uninstall(steps, files, host); });
}

} // namespace kana::win32
