#include "windows/win32/help_window.h"

#include "windows/help_topics.h"
#include "windows/help_window_layout.h"

namespace kana::win32 {

using namespace kana::help_window;

namespace {

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
    setVisible(kPicture1, false);
    loaded_ = true;
}

void HelpWindow::showModeless() {
    if (!exists()) {
        return;
    }
    if (!loaded_) {
        load();
    }
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
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
    } else if (id == kImage1) {
        enlarge();
    } else if (id == kPicture1) {
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
    setText(kText1, view.text);
    setVisible(kImage1, view.illustrationVisible);
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
    setVisible(kPicture1, true);
    // The picture box shows the illustration of Image1 at its natural size.
    setPicture(kPicture1, layoutPicture(PictureId::HelpIllustration), false);
    setOuterSizeTwips(kEnlargedOuterWidth, kEnlargedOuterHeight);
}

void HelpWindow::backToNormal() {
    setVisible(kPicture1, false);
    setOuterSizeTwips(kNormalOuterWidth, kNormalOuterHeight);
}

} // namespace kana::win32
