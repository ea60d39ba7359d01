#include "app/load_handler.h"

#include "app/main_window_texts.h"
#include "lexicon/file_set.h"

namespace kana {

std::wstring versionDirectoryOf(const RegistryValues& values) {
    return values.installDir + L"\\" + values.version;
}

bool isLowVersion(std::wstring_view versionDir) {
    return versionDir.find(L"Input\\3.") != std::wstring_view::npos;
}

LoadDecision decideLoad(const RegistryValues& values, std::wstring_view userName, bool phrasesExists) {
    LoadDecision decision;
    decision.versionDir = versionDirectoryOf(values);
    decision.phrasesPath = lexicon::FileSet(decision.versionDir).phrases();

    // Replace mode, the backup tick and the backup button are offered again on
    // every run; without phrases.ini there is nothing to back up.
    decision.replaceMode.enabled = true;
    decision.backUpFirst.enabled = true;
    decision.backupButton.enabled = true;
    if (!phrasesExists) {
        decision.replaceMode.checked = true;
        decision.addMode.checked = false;
        decision.addMode.enabled = false;
        decision.backUpFirst.enabled = false;
        decision.backupButton.enabled = false;
        decision.backUpFirst.checked = false;
    }

    decision.installTargetText = std::wstring(texts::kUserLabelPrefix) + std::wstring(userName) + L"\r" +
                                 std::wstring(texts::kInstallTargetPrefix) + decision.phrasesPath;
    decision.warnLowVersion = isLowVersion(decision.versionDir);
    return decision;
}

namespace {

std::wstring backupLabel(std::wstring_view presentPrefix, std::wstring_view missingPrefix,
                         const TimeStampLine& stamp) {
    switch (stamp.state) {
    case TimeStampLine::State::Read:
        return std::wstring(presentPrefix) + L"\r\n" + stamp.line;
    case TimeStampLine::State::Unreadable:
        return std::wstring(presentPrefix) + L"\r\n" + std::wstring(texts::kTimeStampUnreadable);
    case TimeStampLine::State::Missing:
        break;
    }
    return std::wstring(missingPrefix) + L"\r\n" + std::wstring(texts::kBackupMissing);
}

} // namespace

BackupDecision decideBackups(const TimeStampLine& time000, const TimeStampLine& time001) {
    // The time-stamp files, not the backups, decide which restores are offered.
    const bool initialStamped = time000.state != TimeStampLine::State::Missing;
    const bool latestStamped = time001.state != TimeStampLine::State::Missing;

    BackupDecision decision;
    decision.initialBackupText =
        backupLabel(texts::kInitialBackupPrefix, texts::kInitialBackupPrefix, time000);
    decision.latestBackupText =
        backupLabel(texts::kLatestBackupPresentPrefix, texts::kLatestBackupMissingPrefix, time001);
    decision.restoreToInitialChoice = {initialStamped, initialStamped};
    decision.restoreToLatestChoice = {latestStamped, false};
    decision.restoreButton.enabled = initialStamped || latestStamped;
    return decision;
}

std::string_view firstLineOf(std::string_view fileBytes) {
    const std::size_t end = fileBytes.find_first_of("\r\n");
    return end == std::string_view::npos ? fileBytes : fileBytes.substr(0, end);
}

} // namespace kana
