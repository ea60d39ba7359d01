// The help window Form2: four topics, an illustration and a feedback note.
#pragma once

#include "common/win32/form.h"

namespace kana::win32 {

class HelpWindow : public Form {
  public:
    HelpWindow();
    // Shows the window modeless, without an owner, in front of the program's
    // other windows, and shows the activation topic, as every activation among the program's own
    // windows does. The first call also runs the window's load step.
    void showModeless();

  protected:
    // Esc closes the window, as its close box does.
    void onEscape() override { onCloseBox(); }
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onClick(int id) override;
    void onControlMouseMove(int id) override;
    void onActivate(HWND previous) override;

  private:
    void load();
    void chooseTopic(int topic);
    void highlightTopic(int topic);
    void enlarge();
    void backToNormal();

    bool loaded_ = false;
    int highlighted_ = 0; // the topic label last highlighted by this code; 0 before any
    bool returningFromAnotherProgram_ = false;
};

} // namespace kana::win32
