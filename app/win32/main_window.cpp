#include "app/win32/main_window.h"

#include <cstdlib>

#include "app/input_method_paths.h"
#include "app/load_handler.h"
#include "app/main_window_layout.h"
#include "app/main_window_texts.h"
#include "app/win32/backup_time_reader.h"
#include "app/win32/input_method_folder.h"
#include "app/win32/input_method_registry.h"
#include "common/win32/message_box.h"
#include "lexicon/win32/lexicon_commands.h"
#include "windows/win32/about_box.h"
#include "windows/win32/advertisement_window.h"
#include "windows/win32/help_window.h"
#include "windows/win32/web_links.h"

namespace kana::win32 {

using namespace kana::main_window;

void endProgram() {
    ::ExitProcess(0);
}

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
        recoverInterruptedOperation(versionDirectoryOf(*registry.values));
    }
    const std::wstring phrasesPath = versionDirectoryOf(*registry.values) + L"\\phrases.ini";
    const LoadDecision load = decideLoad(*registry.values, userName(), existsByLookup(phrasesPath));
    versionDir_ = load.versionDir;
    phrasesPath_ = load.phrasesPath;

    // Restore choices are offered again before the time stamps decide.
    setEnabled(kOption3, true);
    setEnabled(kOption4, true);
    selectOption(kOption3);
    setEnabled(kCommand4, true);
    applyChange(kOption2, load.option2);
    applyChange(kCheck1, load.check1);
    applyChange(kCommand7, load.command7);
    if (load.option2.checked.value_or(false)) {
        selectOption(kOption2);
    }
    applyChange(kOption1, load.option1);
    setText(kLabel2, load.label2Caption);

    if (load.warnLowVersion) {
        showMessage(texts::kLowVersionWarning, texts::kApplicationTitle);
    }

    const BackupDecision backups = decideBackups(readTimeStamp(versionDir_ + L"\\time000.ini"),
                                                 readTimeStamp(versionDir_ + L"\\time001.ini"));
    setText(kLabel5, backups.label5Caption);
    applyChange(kOption3, backups.option3);
    setText(kLabel6, backups.label6Caption);
    applyChange(kOption4, backups.option4);
    applyChange(kCommand4, backups.command4);
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
    setText(kDlg, hint_.text);
    setForeColour(kDlg, hint_.colour);
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
    // Closing the main window ends the program, with the help and advertisement windows.
    endProgram();
}

void MainWindow::showHelpWindow() {
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
    switch (id) {
    case kCommand1:
        showAboutBox();
        break;
    case kCommand2:
        endProgram();
    case kCommand6:
        showHelpWindow();
        break;
    case kImage1:
        openLink(WebLink::VendorSite);
        break;
    case kLabel3:
        openLink(WebLink::Introduction);
        break;
    case kLabel8:
        openAdvertisementWindow();
        break;
    case kCommand3:
    case kCommand4:
    case kCommand5:
    case kCommand7:
        runLexiconOperation(id);
        break;
    default:
        break;
    }
}

void MainWindow::runLexiconOperation(int id) {
    LexiconCommandContext context{*this, versionDir_, phrasesPath_};
    switch (id) {
    case kCommand3:
        runInstall(context, isChecked(kCheck1));
        break;
    case kCommand7:
        runBackup(context);
        break;
    case kCommand4:
        runRestore(context, isChecked(kOption3));
        break;
    case kCommand5:
        runUninstall(context);
        break;
    default:
        break;
    }
}

} // namespace kana::win32
