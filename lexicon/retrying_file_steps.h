// Files that another program holds for a moment: a virus scanner, a sync tool,
// the input method itself or an editor may keep phrases.ini open for a fraction
// of a second. A step that fails only because its file is held is tried again
// for about three seconds before its failure counts; every other failure
// counts at once. The pause is the caller's, so that the policy can be tested
// without waiting.
#pragma once

#include "lexicon/file_steps.h"

#include <memory>
#include <string>

namespace kana::lexicon {

struct RetryPolicy {
    int tries = 12;    // in all, the first one included
    int pauseMs = 250; // between two tries
};

// Waits between two tries.
class Pause {
  public:
    virtual ~Pause() = default;
    virtual void wait(int milliseconds) = 0;
};

// Takes every step through another FileSteps, trying again what failed as held.
class RetryingFileSteps final : public FileSteps {
  public:
    RetryingFileSteps(FileSteps& inner, Pause& pause, RetryPolicy policy = {})
        : inner_(inner), pause_(pause), policy_(policy) {}

    Lookup lookUp(const std::wstring& path) override { return inner_.lookUp(path); }
    StepResult deleteFile(const std::wstring& path) override;
    StepResult recycle(const std::wstring& path) override;
    StepResult rename(const std::wstring& from, const std::wstring& to) override;
    StepResult copy(const std::wstring& from, const std::wstring& to) override;
    StepResult writeTimeStamp(const std::wstring& path) override;
    StepResult flush(const std::wstring& path) override;
    StepResult startSettingsProgram(const std::wstring& appPath) override {
        return inner_.startSettingsProgram(appPath);
    }
    StepResult canRead(const std::wstring& path) override;
    StepResult readSmallFile(const std::wstring& path, std::string& bytes) override;
    StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) override;
    StepResult createHeldFile(const std::wstring& path, const std::string& bytes,
                              std::unique_ptr<HeldFile>& held) override;
    StepResult openHeldFile(const std::wstring& path, std::string& bytes,
                            std::unique_ptr<HeldFile>& held) override;
    std::wstring fullPath(const std::wstring& bareName) override { return inner_.fullPath(bareName); }
    std::wstring besideProgram(const std::wstring& bareName) override {
        return inner_.besideProgram(bareName);
    }

    // Tries the step until it succeeds, fails for another reason than a held
    // file, or the tries are used up.
    template <typename Step> StepResult retried(Step step) const { return retriedCall(&call<Step>, &step); }

  private:
    template <typename Step> static StepResult call(const void* step) {
        return (*static_cast<const Step*>(step))();
    }
    // One loop for every step, so that each step adds only its call.
    StepResult retriedCall(StepResult (*step)(const void*), const void* context) const;
    // A held file that was opened or created: its marks and removal are tried again too.
    StepResult keptRetrying(StepResult result, std::unique_ptr<HeldFile>& inner,
                            std::unique_ptr<HeldFile>& held) const;

    FileSteps& inner_;
    Pause& pause_;
    RetryPolicy policy_;
};

} // namespace kana::lexicon
