// Checks the folder that the registry values name before any file in it is
// touched; the reason is in Chinese, ready for the message.
#pragma once

#include <optional>
#include <string>

#include "app/load_handler.h"

namespace kana::win32 {

std::optional<std::wstring> unsafeInputMethodFolder(const RegistryValues& values);

} // namespace kana::win32
