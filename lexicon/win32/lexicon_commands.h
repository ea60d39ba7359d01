// The main window's lexicon buttons: runs each operation against the real
// files and lets the main window refresh, ask and report.
#pragma once

#include <string>

namespace kana::win32 {

class MainWindow;

struct LexiconCommandContext {
    MainWindow& window;
    const std::wstring& versionDir;
    const std::wstring& phrasesPath;
};

void runInstall(LexiconCommandContext& context, bool backupFirst);
void runBackup(LexiconCommandContext& context);
void runRestore(LexiconCommandContext& context, bool toInitial);
void runUninstall(LexiconCommandContext& context);

} // namespace kana::win32
