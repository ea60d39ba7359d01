// The main window's lexicon buttons: runs each operation against the real
// files and lets the main window refresh, ask and report.
#pragma once

#include <string>

namespace kana::win32 {

class MainWindow;

struct LexiconCommandContext {
    MainWindow& window;
    const std::wstring& versionDir;
};

void runInstall(LexiconCommandContext& context, bool backupFirst);
void runBackup(LexiconCommandContext& context);
void runRestore(LexiconCommandContext& context, bool toInitial);
void runUninstall(LexiconCommandContext& context);

// Finishes or undoes an operation that was cut short, and reports left-over
// files; tells the user when it found anything.
void recoverInterruptedOperation(const std::wstring& versionDir);

} // namespace kana::win32
