#include "app/win32/registry_warm_up.h"

#include "app/win32/input_method_registry.h"

namespace kana::win32 {

namespace {

DWORD WINAPI warmUp(void* releaseEvent) {
    {
        // The shell object lives in a single-threaded apartment, as on the program's own thread.
        const ComApartment apartment;
        readInputMethodRegistry();
        ::WaitForSingleObject(static_cast<HANDLE>(releaseEvent), INFINITE);
    }
    return 0;
}

} // namespace

RegistryWarmUp::RegistryWarmUp() : releaseEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (releaseEvent_) {
        thread_.reset(::CreateThread(nullptr, 0, &warmUp, releaseEvent_.get(), 0, nullptr));
    }
}

RegistryWarmUp::~RegistryWarmUp() {
    release();
    if (thread_) {
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }
}

void RegistryWarmUp::release() {
    if (releaseEvent_) {
        ::SetEvent(releaseEvent_.get());
    }
}

} // namespace kana::win32
