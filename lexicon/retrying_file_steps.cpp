#include "lexicon/retrying_file_steps.h"

namespace kana::lexicon {

namespace {

// A held file whose marks and removal are tried again like the other steps.
class RetryingHeldFile final : public HeldFile {
  public:
    RetryingHeldFile(const RetryingFileSteps& steps, std::unique_ptr<HeldFile> inner)
        : steps_(steps), inner_(std::move(inner)) {}

    StepResult append(const std::string& bytes) override {
        return steps_.retried([&] { return inner_->append(bytes); });
    }
    StepResult remove() override {
        return steps_.retried([&] { return inner_->remove(); });
    }

  private:
    const RetryingFileSteps& steps_;
    std::unique_ptr<HeldFile> inner_;
};

} // namespace

StepResult RetryingFileSteps::retriedCall(StepResult (*step)(const void*), const void* context) const {
    StepResult result = step(context);
    for (int tried = 1; !result.ok && result.held && tried < policy_.tries; ++tried) {
        pause_.wait(policy_.pauseMs);
        result = step(context);
    }
    return result;
}

StepResult RetryingFileSteps::deleteFile(const std::wstring& path) {
    return retried([&] { return inner_.deleteFile(path); });
}

StepResult RetryingFileSteps::recycle(const std::wstring& path) {
    return retried([&] { return inner_.recycle(path); });
}

StepResult RetryingFileSteps::rename(const std::wstring& from, const std::wstring& to) {
    return retried([&] { return inner_.rename(from, to); });
}

StepResult RetryingFileSteps::copy(const std::wstring& from, const std::wstring& to) {
    return retried([&] { return inner_.copy(from, to); });
}

StepResult RetryingFileSteps::writeTimeStamp(const std::wstring& path) {
    return retried([&] { return inner_.writeTimeStamp(path); });
}

StepResult RetryingFileSteps::flush(const std::wstring& path) {
    return retried([&] { return inner_.flush(path); });
}

StepResult RetryingFileSteps::canRead(const std::wstring& path) {
    return retried([&] { return inner_.canRead(path); });
}

StepResult RetryingFileSteps::readSmallFile(const std::wstring& path, std::string& bytes) {
    return retried([&] { return inner_.readSmallFile(path, bytes); });
}

StepResult RetryingFileSteps::writeSmallFile(const std::wstring& path, const std::string& bytes) {
    return retried([&] { return inner_.writeSmallFile(path, bytes); });
}

StepResult RetryingFileSteps::createHeldFile(const std::wstring& path, const std::string& bytes,
                                             std::unique_ptr<HeldFile>& held) {
    std::unique_ptr<HeldFile> inner;
    return keptRetrying(retried([&] { return inner_.createHeldFile(path, bytes, inner); }), inner, held);
}

// A moment's hold by a scanner is waited out; a file that stays held belongs
// to a live process, and the caller leaves it alone.
StepResult RetryingFileSteps::openHeldFile(const std::wstring& path, std::string& bytes,
                                           std::unique_ptr<HeldFile>& held) {
    std::unique_ptr<HeldFile> inner;
    return keptRetrying(retried([&] { return inner_.openHeldFile(path, bytes, inner); }), inner, held);
}

StepResult RetryingFileSteps::keptRetrying(StepResult result, std::unique_ptr<HeldFile>& inner,
                                           std::unique_ptr<HeldFile>& held) const {
    if (result.ok) {
        held = std::make_unique<RetryingHeldFile>(*this, std::move(inner));
    }
    return result;
}

} // namespace kana::lexicon
