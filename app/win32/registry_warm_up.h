// Reads the input method's two registry values once on a worker thread that
// starts with the program, so that loading and activating the shell object
// overlaps the building of the main window. Its result is not used: the load
// handler still creates its own shell object and reads the values itself on
// every run; at start-up it finds the shell object's DLLs already loaded,
// because the worker keeps its apartment (and with it those DLLs) until
// release().
#pragma once

#include "common/win32/handles.h"

namespace kana::win32 {

class RegistryWarmUp {
  public:
    // Starts the worker; when no thread or event can be made, nothing runs and
    // the load handler does all the work itself, as without the worker.
    RegistryWarmUp();
    RegistryWarmUp(const RegistryWarmUp&) = delete;
    RegistryWarmUp& operator=(const RegistryWarmUp&) = delete;
    ~RegistryWarmUp(); // release(), then waits for the worker to end

    // Lets the worker close its apartment once it has read the values; called
    // after the load handler's first run.
    void release();

  private:
    unique_handle releaseEvent_;
    unique_handle thread_;
};

} // namespace kana::win32
