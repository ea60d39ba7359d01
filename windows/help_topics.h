// The four topics of the help window and what choosing or highlighting one of
// them does to the topic labels, the text box and the illustration.
#pragma once

#include <array>
#include <string_view>

#include "common/layout.h"

namespace kana::help_topics {

inline constexpr int kTopicCount = 4;
// The topic on making an installed phrase list take effect: the one the help
// window shows whenever it becomes active, and the only one with the illustration.
inline constexpr int kActivationTopic = 3;

inline constexpr Rgb kChosenColour = kRed;
inline constexpr Rgb kOtherColour = kBlack;

// The text of topic 1 to 4, line breaks as CR LF. Empty for any other number.
std::wstring_view topicText(int topic);

// How the help window looks with a topic chosen.
struct TopicView {
    std::array<Rgb, kTopicCount> labelColours; // text colour of Label1 to Label4
    std::wstring_view text;                    // the whole text of Text1
    bool illustrationVisible;                  // Image1
};

// The view for topic 1 to 4; any other number is treated as topic 3.
TopicView chooseTopic(int topic);

// Backgrounds of Label1 to Label4 after the pointer moved over the label of
// topic 1 to 4: only that label shows its colour.
std::array<Background, kTopicCount> highlightTopic(int topic);

// The window that was active before the help window became active.
enum class PreviousWindow {
    None,             // no window of this program was active
    OfThisProgram,    // the main window or the advertisement window
    OfAnotherProgram, // a window of some other application
};

// Whether an activation of the help window chooses the activation topic: every
// activation among the program's own windows does, coming back from another
// application does not. `returningFromAnotherProgram` is true when the program
// as a whole has just been brought back from another application.
bool activationChoosesTopic(PreviousWindow previous, bool returningFromAnotherProgram);

} // namespace kana::help_topics
