#include "lexicon/win32/lexicon_commands.h"

namespace kana::win32 {
void runInstall(LexiconCommandContext&, bool) {}
void runBackup(LexiconCommandContext&) {}
void runRestore(LexiconCommandContext&, bool) {}
void runUninstall(LexiconCommandContext&) {}
} // namespace kana::win32
