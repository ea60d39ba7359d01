// The main window form1: applies the load handler's decisions, shows the hint
// line and routes the buttons to the lexicon operations and the other windows.
#pragma once

#include <memory>
#include <string>

#include "app/hint_line.h"
#include "app/load_handler.h"
#include "common/win32/form.h"

namespace kana::win32 {

class HelpWindow;
class AdvertisementWindow;

class MainWindow : public Form {
  public:
    MainWindow();
    ~MainWindow() override;

    // Runs the load handler: at start-up before the window is first shown, and
    // again as the refresh after a lexicon operation. Returns false when the
    // input method cannot be found or its folder is unsafe to use; the program
    // then ends. The first run also recovers from an interrupted operation.
    bool load();

    const std::wstring& versionDir() const { return versionDir_; }

    // Creates the help window on first use (and afresh after the user closed
    // it) and shows it modeless, without an owner.
    void showHelpWindow();
    void openAdvertisementWindow();

    // Ends the program at once: every window of the program goes, no message
    // is shown any more, and the message loop ends, so that the program
    // leaves through its normal path.
    void endProgram();

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onClick(int id) override;
    void onControlMouseMove(int id) override;
    void onSurfaceMouseMove() override;
    void onCloseBox() override;
    void onDestroyed() override;

  private:
    void showHint(std::wstring_view controlName);
    void applyChange(int id, const ControlChange& change);
    void install();
    void backUp();
    void restore();
    void uninstall();
    // Runs work that changes the lexicon's files (an operation, the start-up
    // recovery): clicks start nothing meanwhile, and a close asked for ends
    // the program after it; then false.
    template <typename Work> bool runOperation(Work work);
    // Runs one lexicon command as such an operation.
    template <typename Command> void runCommand(Command command);

    std::wstring versionDir_;
    bool recoveryDone_ = false;
    // An operation or the start-up recovery is running: clicks start nothing.
    bool operationRunning_ = false;
    bool closeAsked_ = false;
    HintLineState hint_ = kInitialHintLine;
    std::unique_ptr<HelpWindow> help_;
    std::unique_ptr<AdvertisementWindow> advertisement_;
};

} // namespace kana::win32
