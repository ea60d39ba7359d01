// The main window's load handler, as decisions computed from plain inputs.
// It runs at start-up and again as the refresh after every lexicon operation;
// the Win32 layer reads the registry and the files, and applies the result.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kana {

// A change to one control; an empty field leaves that property as it is.
struct ControlChange {
    std::optional<bool> enabled;
    std::optional<bool> checked; // tick of a check box, selection of an option button
    friend bool operator==(const ControlChange&, const ControlChange&) = default;
};

struct RegistryValues {
    std::wstring installDir; // the key's default value
    std::wstring version;    // the Version value
};

// What the load handler decides before it warns about an old input method.
// The controls by what they do: addMode and replaceMode are Option1 and
// Option2, backUpFirst is Check1, backupButton Command7, and the install
// target text the caption of Label2.
struct LoadDecision {
    std::wstring versionDir;
    std::wstring phrasesPath;
    std::wstring installTargetText;
    bool warnLowVersion = false;
    ControlChange addMode, replaceMode, backUpFirst, backupButton;
};

// The first line of a time-stamp file, as the Win32 layer found it.
struct TimeStampLine {
    enum class State { Missing, Read, Unreadable };
    State state = State::Missing;
    std::wstring line; // the text before the first line end (State::Read)

    static TimeStampLine missing() { return {}; }
    static TimeStampLine read(std::wstring text) { return {State::Read, std::move(text)}; }
    static TimeStampLine unreadable() { return {State::Unreadable, {}}; }
};

// What the load handler decides from the two time-stamp files: the captions of
// Label5 and Label6, and Option3, Option4 and Command4.
struct BackupDecision {
    std::wstring initialBackupText;
    std::wstring latestBackupText;
    ControlChange restoreToInitialChoice, restoreToLatestChoice, restoreButton;
};

// Version directory: the install directory, a backslash and the version, joined as they are.
std::wstring versionDirectoryOf(const RegistryValues& values);

// True when the version directory belongs to an input method too old for the phrase list.
bool isLowVersion(std::wstring_view versionDir);

LoadDecision decideLoad(const RegistryValues& values, std::wstring_view userName, bool phrasesExists);

BackupDecision decideBackups(const TimeStampLine& time000, const TimeStampLine& time001);

// The bytes of a text file up to (not including) its first CR or LF.
std::string_view firstLineOf(std::string_view fileBytes);

} // namespace kana
