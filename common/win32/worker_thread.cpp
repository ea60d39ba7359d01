#include "common/win32/worker_thread.h"

#include <optional>

#include "common/win32/busy_windows.h"

namespace kana::win32 {

namespace {

// How long the window thread waits, without taking messages, for the work to
// go on after a call it made; well below what a user notices as no answer.
constexpr DWORD kSettlingMs = 250;

// Keys meant for a window disabled while the work runs are dropped: the
// window has no focus then, and its dialog keys or Alt+F4 must not act on it.
bool keyForDisabledWindow(const MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr) {
        return false;
    }
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    return root != nullptr && !::IsWindowEnabled(root);
}

// Dispatches what is waiting. A request to quit is kept for the end of the
// wait, when the program's own loop takes it.
void dispatchWaitingMessages(std::optional<int>& quit) {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = static_cast<int>(message.wParam);
            continue;
        }
        if (keyForDisabledWindow(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace

WorkerThread::WorkerThread()
    : requestReady_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      requestDone_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

DWORD WINAPI WorkerThread::threadMain(void* self) {
    auto* worker = static_cast<WorkerThread*>(self);
    const ComApartment com; // the shell's file operations and the desktop's shell need one
    worker->work_.function(worker->work_.context);
    return 0;
}

void WorkerThread::runCall(Callback work) {
    windowThread_ = ::GetCurrentThreadId();
    work_ = work;
    unique_handle thread;
    if (requestReady_ && requestDone_) {
        thread.reset(::CreateThread(nullptr, 0, &WorkerThread::threadMain, this, 0, nullptr));
    }
    if (!thread) {
        work.function(work.context);
        return;
    }
    answerUntilEnded(thread.get());
}

void WorkerThread::answerUntilEnded(HANDLE thread) {
    std::optional<int> quit;
    {
        std::optional<BusyWindows> busy(std::in_place);
        const HANDLE waits[] = {thread, requestReady_.get()};
        DWORD woke = WAIT_TIMEOUT;
        for (;;) {
            if (woke == WAIT_TIMEOUT) {
                woke = ::MsgWaitForMultipleObjectsEx(2, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            }
            if (woke == WAIT_FAILED) {
                woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE); // without the messages, then
            }
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
                if (woke == WAIT_FAILED) {
                    ::WaitForSingleObject(thread, INFINITE); // the worker must end before its state goes
                }
                break;
            }
            if (woke == WAIT_OBJECT_0 + 1) {
                busy.reset();
                request_.function(request_.context);
                ::SetEvent(requestDone_.get());
                // The work mostly ends, or asks again, right after a call (the
                // last message box of an operation, say). Until then the
                // messages wait, so that a click that follows the box reaches
                // the window once the work has ended, not while it is busy.
                woke = ::WaitForMultipleObjects(2, waits, FALSE, kSettlingMs);
                if (woke == WAIT_TIMEOUT) {
                    busy.emplace();
                }
                continue;
            }
            dispatchWaitingMessages(quit);
            woke = WAIT_TIMEOUT;
        }
    }
    if (quit) {
        ::PostQuitMessage(*quit);
    }
}

void WorkerThread::handOver(Callback call) {
    if (::GetCurrentThreadId() == windowThread_) {
        call.function(call.context); // the work runs on the window thread itself
        return;
    }
    request_ = call;
    ::SetEvent(requestReady_.get());
    ::WaitForSingleObject(requestDone_.get(), INFINITE);
}

} // namespace kana::win32
