// Reads the input method's two registry values through the Windows Script Host
// shell object, created for one load and released at its end; where the shell
// object cannot be created, through the registry API in the same view.
#pragma once

#include <optional>
#include <string>

#include "app/load_handler.h"

namespace kana::win32 {

struct RegistryReadResult {
    std::optional<RegistryValues> values;
    std::wstring problem; // why the values could not be read
};

RegistryReadResult readInputMethodRegistry();

} // namespace kana::win32
