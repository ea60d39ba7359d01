#include "lexicon/intent_record.h"

#include <array>
#include <charconv>

namespace kana::lexicon {

namespace {

constexpr std::string_view kHeader = "Kanaroute intent record 1";
constexpr std::string_view kPlanEnd = "planned";

struct OperationName {
    OperationKind kind;
    std::string_view name;
};
constexpr std::array<OperationName, 5> kOperationNames = {{
    {OperationKind::Install, "install"},
    {OperationKind::Backup, "backup"},
    {OperationKind::RestoreToInitial, "restore-initial"},
    {OperationKind::RestoreToLatest, "restore-latest"},
    {OperationKind::Uninstall, "uninstall"},
}};

struct StepName {
    PlannedStep::Kind kind;
    std::string_view name;
};
constexpr std::array<StepName, 4> kStepNames = {{
    {PlannedStep::Kind::SetAside, "setaside"},
    {PlannedStep::Kind::Rename, "rename"},
    {PlannedStep::Kind::Copy, "copy"},
    {PlannedStep::Kind::WriteTimeStamp, "timestamp"},
}};

constexpr char kHexDigits[] = "0123456789abcdef";

std::string toHex(std::string_view bytes) {
    std::string hex;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hex += kHexDigits[value >> 4];
        hex += kHexDigits[value & 0xF];
    }
    return hex;
}

std::optional<std::string> fromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t at = 0; at < hex.size(); at += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(hex.data() + at, hex.data() + at + 2, value, 16);
        if (error != std::errc() || end != hex.data() + at + 2) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(
            line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::optional<int> stepNumber(std::string_view text, std::size_t stepCount) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        static_cast<std::size_t>(value) > stepCount) {
        return std::nullopt;
    }
    return value;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t code) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (code >> 10));
            out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(code);
}

} // namespace

std::string toUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t code = static_cast<char32_t>(text[at]);
        if (code >= 0xD800 && code < 0xDC00 && at + 1 < text.size()) {
            const auto low = static_cast<char32_t>(text[at + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++at;
            }
        }
        appendUtf8(out, code);
    }
    return out;
}

std::wstring fromUtf8(std::string_view bytes) {
    std::wstring out;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || at + static_cast<std::size_t>(length) > bytes.size()) {
            out += L'\uFFFD';
            ++at;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            code = (code << 6) | (static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]) & 0x3F);
        }
        appendWide(out, code);
        at += static_cast<std::size_t>(length);
    }
    return out;
}

std::string encodePlan(const IntentRecord& record) {
    std::string text(kHeader);
    text += "\n";
    for (const OperationName& entry : kOperationNames) {
        if (entry.kind == record.operation) {
            text += "operation\t" + std::string(entry.name) + "\n";
        }
    }
    for (const PlannedStep& step : record.steps) {
        for (const StepName& entry : kStepNames) {
            if (entry.kind == step.kind) {
                text += std::string(entry.name);
            }
        }
        if (step.kind == PlannedStep::Kind::WriteTimeStamp) {
            text += "\t" + toUtf8(step.to) + "\t" +
                    (step.earlierContent ? "=" + toHex(*step.earlierContent) : "-");
        } else {
            text += "\t" + toUtf8(step.from) + "\t" + toUtf8(step.to);
        }
        text += "\n";
    }
    text += std::string(kPlanEnd) + "\n";
    return text;
}

std::string doneMark(int index) {
    return "done " + std::to_string(index) + "\n";
}

std::string undoneMark(int index) {
    return "undone " + std::to_string(index) + "\n";
}

std::string undoMark(int inEffect) {
    return "undo " + std::to_string(inEffect) + "\n";
}

std::optional<IntentRecord> parseIntentRecord(std::string_view bytes) {
    // Only whole lines count: the last one may have been cut off by the crash.
    const std::size_t lastLineEnd = bytes.rfind('\n');
    if (lastLineEnd == std::string_view::npos) {
        // Cut off in its first line: nothing was changed.
        if (kHeader.substr(0, bytes.size()) == bytes) {
            return IntentRecord{};
        }
        return std::nullopt;
    }
    std::vector<std::string_view> lines = split(bytes.substr(0, lastLineEnd), '\n');
    if (lines.empty() || lines[0] != kHeader) {
        return std::nullopt;
    }
    IntentRecord record;
    std::size_t at = 1;
    if (at >= lines.size()) {
        return record; // cut off before the plan: nothing was changed
    }
    const std::vector<std::string_view> operation = split(lines[at++], '\t');
    bool known = false;
    for (const OperationName& entry : kOperationNames) {
        if (operation.size() == 2 && operation[0] == "operation" && operation[1] == entry.name) {
            record.operation = entry.kind;
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    for (; at < lines.size() && lines[at] != kPlanEnd; ++at) {
        const std::vector<std::string_view> fields = split(lines[at], '\t');
        if (fields.size() != 3) {
            return std::nullopt;
        }
        PlannedStep step;
        bool named = false;
        for (const StepName& entry : kStepNames) {
            if (fields[0] == entry.name) {
                step.kind = entry.kind;
                named = true;
            }
        }
        if (!named) {
            return std::nullopt;
        }
        if (step.kind == PlannedStep::Kind::WriteTimeStamp) {
            step.to = fromUtf8(fields[1]);
            if (fields[2] != "-") {
                if (fields[2].empty() || fields[2][0] != '=') {
                    return std::nullopt;
                }
                step.earlierContent = fromHex(fields[2].substr(1));
                if (!step.earlierContent) {
                    return std::nullopt;
                }
            }
        } else {
            step.from = fromUtf8(fields[1]);
            step.to = fromUtf8(fields[2]);
        }
        record.steps.push_back(std::move(step));
    }
    if (at >= lines.size()) {
        record.steps.clear(); // the plan itself was cut off: nothing was changed
        return record;
    }
    record.planComplete = true;
    for (++at; at < lines.size(); ++at) {
        const std::vector<std::string_view> mark = split(lines[at], ' ');
        const std::optional<int> number =
            mark.size() == 2 ? stepNumber(mark[1], record.steps.size()) : std::nullopt;
        if (!number) {
            return std::nullopt;
        }
        if (mark[0] == "done" && *number == record.done + 1 && record.undoFrom == 0) {
            record.done = *number;
        } else if (mark[0] == "undo" && record.undoFrom == 0 && *number >= record.done &&
                   *number <= record.done + 1) {
            record.undoFrom = *number;
        } else if (mark[0] == "undone" && *number <= record.undoFrom) {
            record.undone.push_back(*number);
        } else {
            return std::nullopt;
        }
    }
    return record;
}

} // namespace kana::lexicon
