// At start-up, before the main window is shown: an intent record left beside
// the lexicon files means that an operation was cut short (the process was
// killed, or the power went). The operation is finished where every step was
// done and on the disk, and undone otherwise; then the record is removed. A
// set-aside or swap file without a record is only reported, never touched.
// A record held open by a live process is that process's running operation
// and is left alone. When a step of the recovery fails, nothing is lost: the
// record stays for the next start, and the user learns where each file is.
#pragma once

#include "lexicon/file_set.h"
#include "lexicon/file_steps.h"
#include "lexicon/messages.h"

#include <optional>

namespace kana::lexicon {

// What the user is told, or nothing when nothing was found.
std::optional<Message> recoverInterruptedOperation(FileSteps& steps, const FileSet& files);

} // namespace kana::lexicon
