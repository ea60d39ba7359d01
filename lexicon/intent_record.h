// The record an operation writes beside the lexicon files before its first
// change: what it is, every step it will take, and then one mark per step done
// (then, after a failure, the start of the undo and one mark per step undone).
// Each part reaches the disk before the change it announces, so
// after a crash or a power cut the record tells exactly which steps may have
// happened. A record cut off in the middle of a line ends at its last whole line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kana::lexicon {

enum class OperationKind { Install, Backup, RestoreToInitial, RestoreToLatest, Uninstall };

struct PlannedStep {
    enum class Kind {
        SetAside,       // rename from -> to; to is removed once every step is done
        Rename,         // rename from -> to
        Copy,           // copy from -> to, to absent before
        WriteTimeStamp, // to is written; earlierContent is what it held before
    };
    Kind kind = Kind::Rename;
    std::wstring from;
    std::wstring to;
    std::optional<std::string> earlierContent;

    friend bool operator==(const PlannedStep&, const PlannedStep&) = default;
};

struct IntentRecord {
    OperationKind operation = OperationKind::Install;
    std::vector<PlannedStep> steps;
    // Whether the plan was written whole; without it nothing was changed.
    bool planComplete = false;
    // Steps done, counted from the first.
    int done = 0;
    // Set once the operation has failed and its undo begun: the number of
    // steps then in effect (those up to it are undone, none after it).
    int undoFrom = 0;
    // Steps undone, in the order undone.
    std::vector<int> undone;
};

// The record up to and including the end of the plan.
std::string encodePlan(const IntentRecord& record);
// The line added after step number index (from 1) is done, or undone.
std::string doneMark(int index);
std::string undoneMark(int index);
// The line added before the first undo: steps up to inEffect are to be undone.
std::string undoMark(int inEffect);
// Nothing when the bytes are not a record of this program.
std::optional<IntentRecord> parseIntentRecord(std::string_view bytes);

// Text as UTF-8 and back; the record holds paths with Chinese names.
std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view bytes);

} // namespace kana::lexicon
