// The file steps on the real file system, through the wide-character Win32 API.
#pragma once

#include "lexicon/file_steps.h"

namespace kana::lexicon::win32 {

class Win32FileSteps final : public FileSteps {
  public:
    Lookup lookUp(const std::wstring& path) override;
    StepResult deleteFile(const std::wstring& path) override;
    StepResult recycle(const std::wstring& path) override;
    StepResult rename(const std::wstring& from, const std::wstring& to) override;
    StepResult copy(const std::wstring& from, const std::wstring& to) override;
    StepResult writeTimeStamp(const std::wstring& path) override;
    StepResult flush(const std::wstring& path) override;
    StepResult startSettingsProgram(const std::wstring& appPath) override;
    StepResult canRead(const std::wstring& path) override;
    StepResult readSmallFile(const std::wstring& path, std::string& bytes) override;
    StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) override;
    StepResult createHeldFile(const std::wstring& path, const std::string& bytes,
                              std::unique_ptr<HeldFile>& held) override;
    StepResult openHeldFile(const std::wstring& path, std::string& bytes,
                            std::unique_ptr<HeldFile>& held) override;
    std::wstring fullPath(const std::wstring& bareName) override;
    std::wstring besideProgram(const std::wstring& bareName) override;
};

} // namespace kana::lexicon::win32
