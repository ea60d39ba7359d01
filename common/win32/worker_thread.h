// Long work off the window's thread. The work runs on a worker thread while
// the window's thread waits in a message loop, so that the program's windows
// keep painting and answering: Windows takes a window that answers nothing for
// five seconds for one that hangs, and offers to end the program. Meanwhile
// the windows are busy (see BusyWindows). What must happen on the window's
// thread, such as a message box or a change to a window, the worker hands over
// with onWindowThread; the windows are enabled again for its time.
#pragma once

#include <windows.h>

#include "common/win32/handles.h"

namespace kana::win32 {

class WorkerThread {
  public:
    WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs work() on a new thread with a COM apartment of its own, and returns
    // once it has ended. Where no thread can be made, it runs here.
    template <typename Work> void run(Work& work) { runCall({&call<Work>, &work}); }

    // From the work: runs call() on the waiting window thread and returns once
    // it has returned.
    template <typename Call> void onWindowThread(Call& call) { handOver({&WorkerThread::call<Call>, &call}); }

  private:
    struct Callback {
        void (*function)(void*);
        void* context;
    };
    template <typename Function> static void call(void* function) { (*static_cast<Function*>(function))(); }

    void runCall(Callback work);
    void handOver(Callback call);
    // The window thread's loop until the worker has ended.
    void answerUntilEnded(HANDLE thread);
    static DWORD WINAPI threadMain(void* self);

    DWORD windowThread_ = 0;
    Callback work_{};
    Callback request_{};
    unique_handle requestReady_; // the worker has a call for the window thread
    unique_handle requestDone_;  // the window thread has made it
};

} // namespace kana::win32
