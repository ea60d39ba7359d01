// The command line of the stand-in settings program. Tests and the screenshot
// script use the switches; the installer starts it without any.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kana::standin {

struct StartOptions {
    bool advancedPage = false; // "/advanced": start on the advanced page
    bool openPhrases = false;  // "/phrases": the advanced page with the custom-phrase dialog open
};

// `arguments` excludes the program name. Switches start with "/" or "-", in any
// letter case; anything else is ignored, as the real settings program does.
StartOptions parseStartOptions(const std::vector<std::wstring>& arguments);

// The line recorded in the start log for one start.
std::wstring startRecord(std::wstring_view commandLine);

} // namespace kana::standin
