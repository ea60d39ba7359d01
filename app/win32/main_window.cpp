#include "app/win32/main_window.h"

#include "app/input_method_paths.h"
#include "app/load_handler.h"
#include "app/main_window_layout.h"
#include "app/main_window_texts.h"
#include "app/win32/backup_time_reader.h"
#include "app/win32/input_method_folder.h"
#include "app/win32/input_method_registry.h"
#include "common/win32/busy_windows.h"
#include "common/win32/message_box.h"
#include "lexicon/file_set.h"
#include "lexicon/operations.h"
#include "lexicon/win32/lexicon_commands.h"
#include "windows/win32/about_box.h"
#include "windows/win32/advertisement_window.h"
#include "windows/win32/help_window.h"
#include "windows/win32/web_links.h"

namespace kana::win32 {

using namespace kana::main_window;

namespace {

// The controls by what they do for the user; the layout table keeps the
// design's names (Command3, Option3, ...) as the link to the design.
constexpr int aboutButton = kCommand1;
constexpr int exitButton = kCommand2;
constexpr int installButton = kCommand3;
constexpr int restoreButton = kCommand4;
constexpr int uninstallButton = kCommand5;
constexpr int helpButton = kCommand6;
constexpr int backupButton = kCommand7;
constexpr int vendorLogo = kImage1;
constexpr int introductionLink = kLabel3;
constexpr int advertisingLine = kLabel8;
constexpr int backUpFirstBox = kCheck1;
constexpr int addMode = kOption1;
constexpr int replaceMode = kOption2;
constexpr int restoreToInitialChoice = kOption3;
constexpr int restoreToLatestChoice = kOption4;
constexpr int hintLine = kDlg;
constexpr int installTargetLine = kLabel2;
constexpr int initialBackupTime = kLabel5;
constexpr int latestBackupTime = kLabel6;

} // namespace

namespace {

// The main window as the lexicon operations see it: refresh, ask, help window, end.
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

MainWindow::MainWindow() : Form(layout()) {}

MainWindow::~MainWindow() = default;

namespace {

std::wstring userName() {
    // USERNAME may be missing; the label then shows no name.
    const DWORD length = ::GetEnvironmentVariableW(L"USERNAME", nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring name(length, L'\0');
    name.resize(::GetEnvironmentVariableW(L"USERNAME", name.data(), length));
    return name;
}

} // namespace

bool MainWindow::load() {
    const RegistryReadResult registry = readInputMethodRegistry();
    if (!registry.values) {
        showMessage(std::wstring(texts::kInputMethodNotFound) + L"\r\n\r\n详细信息：" + registry.problem,
                    texts::kApplicationTitle);
        return false;
    }
    if (const std::optional<std::wstring> unsafe = unsafeInputMethodFolder(*registry.values)) {
        showMessage(unsafePathMessage(*registry.values, *unsafe), texts::kApplicationTitle);
        return false;
    }
    if (!recoveryDone_) {
        // At start-up, before anything is shown or looked up: an operation cut
        // short last time is finished or undone first.
        recoveryDone_ = true;
        const std::wstring versionDir = versionDirectoryOf(*registry.values);
        if (!runOperation([&] { recoverInterruptedOperation(versionDir); })) {
            return false;
        }
    }
    const lexicon::FileSet files(versionDirectoryOf(*registry.values));
    const LoadDecision load = decideLoad(*registry.values, userName(), existsByLookup(files.phrases()));
    versionDir_ = load.versionDir;

    // Restore choices are offered again before the time stamps decide.
    setEnabled(restoreToInitialChoice, true);
    setEnabled(restoreToLatestChoice, true);
    selectOption(restoreToInitialChoice);
    setEnabled(restoreButton, true);
    applyChange(replaceMode, load.replaceMode);
    applyChange(backUpFirstBox, load.backUpFirst);
    applyChange(backupButton, load.backupButton);
    if (load.replaceMode.checked.value_or(false)) {
        selectOption(replaceMode);
    }
    applyChange(addMode, load.addMode);
    setText(installTargetLine, load.installTargetText);

    if (load.warnLowVersion) {
        showMessage(texts::kLowVersionWarning, texts::kApplicationTitle);
    }

    const BackupDecision backups =
        decideBackups(readTimeStamp(files.initialTimeStamp()), readTimeStamp(files.latestTimeStamp()));
    setText(initialBackupTime, backups.initialBackupText);
    applyChange(restoreToInitialChoice, backups.restoreToInitialChoice);
    setText(latestBackupTime, backups.latestBackupText);
    applyChange(restoreToLatestChoice, backups.restoreToLatestChoice);
    applyChange(restoreButton, backups.restoreButton);
    return true;
}

void MainWindow::applyChange(int id, const ControlChange& change) {
    if (change.checked) {
        setChecked(id, *change.checked);
    }
    if (change.enabled) {
        setEnabled(id, *change.enabled);
    }
}

void MainWindow::showHint(std::wstring_view controlName) {
    const HintLineState next = afterMouseMove(hint_, controlName);
    if (next.text == hint_.text && next.colour == hint_.colour) {
        return;
    }
    hint_ = next;
    setText(hintLine, hint_.text);
    setForeColour(hintLine, hint_.colour);
}

void MainWindow::onControlMouseMove(int id) {
    for (const ControlSpec& control : windowLayout().controls) {
        if (control.id == id) {
            showHint(control.name);
            return;
        }
    }
}

void MainWindow::onSurfaceMouseMove() {
    showHint(windowLayout().name);
}

void MainWindow::onCloseBox() {
    // Closing the main window ends the program, with the help and advertisement
    // windows. While files are being changed, the operation is let finish
    // first, with every message it has for the user: ended half-way, it would
    // leave its undo to the next start.
    if (operationRunning_) {
        closeAsked_ = true;
        return;
    }
    endProgram();
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Windows is asked to wait with signing out or shutting down while files
    // are being changed (not while a message of the operation waits for the user).
    if (message == WM_QUERYENDSESSION && operationRunning_ && BusyWindows::shown()) {
        return FALSE;
    }
    return Form::handleMessage(message, wParam, lParam);
}

void MainWindow::endProgram() {
    stopShowingMessages();
    for (Form* other : {static_cast<Form*>(help_.get()), static_cast<Form*>(advertisement_.get())}) {
        if (other != nullptr && other->exists()) {
            ::DestroyWindow(other->hwnd());
        }
    }
    if (exists()) {
        ::DestroyWindow(hwnd());
    }
}

void MainWindow::onDestroyed() {
    ::PostQuitMessage(0);
}

void MainWindow::showHelpWindow() {
    if (!exists()) {
        return; // the program is ending
    }
    if (!help_ || !help_->exists()) {
        help_ = std::make_unique<HelpWindow>();
        if (!help_->create()) {
            showMessage(L"无法打开帮助窗口。", texts::kApplicationTitle);
            help_.reset();
            return;
        }
    }
    help_->showModeless();
}

void MainWindow::openAdvertisementWindow() {
    if (!advertisement_ || !advertisement_->exists()) {
        advertisement_ = std::make_unique<AdvertisementWindow>();
        if (!advertisement_->create()) {
            showMessage(L"无法打开广告窗口。", texts::kApplicationTitle);
            advertisement_.reset();
            return;
        }
    }
    advertisement_->showModeless();
}

void MainWindow::onClick(int id) {
    // The window is disabled while an operation runs; a click that arrives all
    // the same (posted before, or from a screen reader) must not start a second one.
    if (operationRunning_) {
        return;
    }
    switch (id) {
    case aboutButton:
        showAboutBox();
        break;
    case exitButton:
        endProgram();
        break;
    case helpButton:
        showHelpWindow();
        break;
    case vendorLogo:
        openLink(WebLink::VendorSite, texts::kApplicationTitle);
        break;
    case introductionLink:
        openLink(WebLink::Introduction, texts::kApplicationTitle);
        break;
    case advertisingLine:
        openAdvertisementWindow();
        break;
    case installButton:
        install();
        break;
    case backupButton:
        backUp();
        break;
    case restoreButton:
        restore();
        break;
    case uninstallButton:
        uninstall();
        break;
    default:
        break;
    }
}

template <typename Work> bool MainWindow::runOperation(Work work) {
    operationRunning_ = true;
    work();
    operationRunning_ = false;
    if (closeAsked_) {
        endProgram();
        return false;
    }
    return true;
}

template <typename Command> void MainWindow::runCommand(Command command) {
    MainWindowHost host(*this);
    LexiconCommandContext context{host, versionDir_};
    runOperation([&] { command(context); });
}

void MainWindow::install() {
    const bool backUpFirst = isChecked(backUpFirstBox);
    runCommand([backUpFirst](LexiconCommandContext& context) { runInstall(context, backUpFirst); });
}

void MainWindow::backUp() {
    runCommand([](LexiconCommandContext& context) { runBackup(context); });
}

void MainWindow::restore() {
    const bool toInitial = isChecked(restoreToInitialChoice);
    runCommand([toInitial](LexiconCommandContext& context) { runRestore(context, toInitial); });
}

void MainWindow::uninstall() {
    runCommand([](LexiconCommandContext& context) { runUninstall(context); });
}

} // namespace kana::win32
