// The main window's lexicon buttons: runs each operation against the real
// files on a worker thread (see WorkerThread) and lets the main window
// refresh, ask and report on its own thread.
#pragma once

#include <string>

namespace kana::lexicon {
class OperationHost;
}

namespace kana::win32 {

struct LexiconCommandContext {
    lexicon::OperationHost& host; // the main window: refresh, ask, help window, end
    const std::wstring& versionDir;
};

void runInstall(LexiconCommandContext& context, bool backupFirst);
void runBackup(LexiconCommandContext& context);
void runRestore(LexiconCommandContext& context, bool toInitial);
void runUninstall(LexiconCommandContext& context);

// Finishes or undoes an operation that was cut short, and reports left-over
// files, on a worker thread; then tells the user, on this thread, when it
// found anything.
void recoverInterruptedOperation(const std::wstring& versionDir);

} // namespace kana::win32
