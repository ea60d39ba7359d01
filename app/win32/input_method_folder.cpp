#include "app/win32/input_method_folder.h"

#include <windows.h>

#include "app/input_method_paths.h"

namespace kana::win32 {

namespace {

bool isReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace

std::optional<std::wstring> unsafeInputMethodFolder(const RegistryValues& values) {
    // The text comes first: a network path is not even looked at.
    if (std::optional<std::wstring> problem = pathTextProblem(values)) {
        return problem;
    }
    const DWORD versionAttributes = ::GetFileAttributesW(versionDirectoryOf(values).c_str());
    InputMethodFolders folders;
    folders.versionDirExists = versionAttributes != INVALID_FILE_ATTRIBUTES;
    folders.versionDirIsLink = isReparsePoint(versionAttributes);
    folders.installDirIsLink = isReparsePoint(::GetFileAttributesW(values.installDir.c_str()));
    return folderProblem(folders);
}

} // namespace kana::win32
