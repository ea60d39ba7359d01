// The lexicon operations on the buttons of the main window: install, backup,
// restore and uninstall. Each drives its whole flow, message boxes included,
// through the host (the main window), so that the order of everything the user
// sees is decided here.
#pragma once

#include "lexicon/file_set.h"
#include "lexicon/file_steps.h"
#include "lexicon/messages.h"

namespace kana::lexicon {

// What the main window does for an operation.
class OperationHost {
  public:
    virtual ~OperationHost() = default;
    // Runs the load handler again so that the window follows the files on disk.
    virtual void refresh() = 0;
    // Shows a modal message box; closing it with Esc or the close button answers Cancel.
    virtual MessageAnswer showMessage(const Message& message) = 0;
    // Shows the help window (created on first use), modeless and without owner.
    virtual void showHelpWindow() = 0;
    // Ends the program at once, closing all of its windows.
    virtual void endProgram() = 0;
};

enum class Outcome {
    Completed, // every file step done
    Stopped,   // refused or failed; the files are as before and the user has been told
};

// Command3. keepBackup: Check1 is ticked.
Outcome install(FileSteps& steps, const FileSet& files, bool keepBackup, OperationHost& host);
// Command7.
Outcome backup(FileSteps& steps, const FileSet& files, OperationHost& host);
// Command4. toInitial: Option3 is selected; otherwise the latest backup is
// restored, whatever the state of Option4.
Outcome restore(FileSteps& steps, const FileSet& files, bool toInitial, OperationHost& host);
// Command5. Ends the program unless the restore fails.
Outcome uninstall(FileSteps& steps, const FileSet& files, OperationHost& host);

} // namespace kana::lexicon
