#include "windows/win32/help_window.h"

#include "windows/help_topics.h"
#include "windows/help_window_layout.h"

namespace kana::win32 {

using namespace kana::help_window;

namespace {

// The controls by what they do; the layout table keeps the design's names.
constexpr int illustration = kImage1;           // the small picture, enlarged by a click
constexpr int enlargedIllustration = kPicture1; // covers the window, back to normal by a click
constexpr int topicText = kText1;

// The topic (1 to 4) whose label has this identifier, or 0.
int topicOfLabel(int id) {
    for (int topic = 1; topic <= help_topics::kTopicCount; ++topic) {
        if (kTopicLabels[topic - 1] == id) {
            return topic;
        }
    }
    return 0;
}

help_topics::PreviousWindow classify(HWND previous) {
    if (previous == nullptr) {
        return help_topics::PreviousWindow::None;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(previous, &process);
    return process == ::GetCurrentProcessId() ? help_topics::PreviousWindow::OfThisProgram
                                              : help_topics::PreviousWindow::OfAnotherProgram;
}

} // namespace

HelpWindow::HelpWindow() : Form(layout()) {}

void HelpWindow::load() {
    // The picture box covers the whole window; it shows only in the enlarged view.
    setVisible(enlargedIllustration, false);
    loaded_ = true;
}

void HelpWindow::showModeless() {
    if (!exists()) {
        return;
    }
    if (!loaded_) {
        load();
    }
    const bool shownAlready = ::IsWindowVisible(hwnd()) != FALSE;
    ::ShowWindow(hwnd(), SW_SHOW);
    if (shownAlready) {
        // Shown again while open: it comes in front of the program's other
        // windows, as a first showing does. Whether the program itself is in
        // front is the system's choice: a settings program just started may
        // come up in front of it, as the user expects.
        ::SetActiveWindow(hwnd());
    }
    // Showing the window counts as an activation among the program's own
    // windows, also when the system leaves another window in front.
    chooseTopic(help_topics::kActivationTopic);
}

LRESULT HelpWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATEAPP) {
        // Sent before the activation when the user comes back from another application.
        returningFromAnotherProgram_ = wParam != FALSE;
    }
    return Form::handleMessage(message, wParam, lParam);
}

void HelpWindow::onActivate(HWND previous) {
    if (help_topics::activationChoosesTopic(classify(previous), returningFromAnotherProgram_)) {
        chooseTopic(help_topics::kActivationTopic);
    }
    returningFromAnotherProgram_ = false;
}

void HelpWindow::onClick(int id) {
    if (const int topic = topicOfLabel(id); topic != 0) {
        chooseTopic(topic);
    } else if (id == illustration) {
        enlarge();
    } else if (id == enlargedIllustration) {
        backToNormal();
    }
}

void HelpWindow::onControlMouseMove(int id) {
    if (const int topic = topicOfLabel(id); topic != 0) {
        highlightTopic(topic);
    }
}

void HelpWindow::chooseTopic(int topic) {
    const help_topics::TopicView view = help_topics::chooseTopic(topic);
    for (int label = 0; label < help_topics::kTopicCount; ++label) {
        setForeColour(kTopicLabels[label], view.labelColours[static_cast<std::size_t>(label)]);
    }
    setText(topicText, view.text);
    setVisible(illustration, view.illustrationVisible);
}

void HelpWindow::highlightTopic(int topic) {
    if (topic == highlighted_) {
        return; // already highlighted: no repaint on every move of the pointer
    }
    const auto backgrounds = help_topics::highlightTopic(topic);
    for (int label = 0; label < help_topics::kTopicCount; ++label) {
        setBackground(kTopicLabels[label], backgrounds[static_cast<std::size_t>(label)]);
    }
    highlighted_ = topic;
}

void HelpWindow::enlarge() {
    setVisible(enlargedIllustration, true);
    // The picture box shows the illustration at its natural size.
    setPicture(enlargedIllustration, layoutPicture(PictureId::HelpIllustration), false);
    setOuterSizeTwips(kEnlargedOuterWidth, kEnlargedOuterHeight);
}

void HelpWindow::backToNormal() {
    setVisible(enlargedIllustration, false);
    setOuterSizeTwips(kNormalOuterWidth, kNormalOuterHeight);
}

} // namespace kana::win32
