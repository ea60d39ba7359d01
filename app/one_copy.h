// Whether this start of the program may run, from what it could claim: the
// machine-wide guard that only the running copy holds, and the mark of this
// session that a copy holds from before it tries the guard until it ends.
#pragma once

namespace kana {

enum class OneCopy {
    First,              // this copy holds the guard: it runs
    OtherInThisSession, // the copy that runs is on this desktop: bring it forward
    OtherElsewhere,     // the copy that runs is in another session (another user)
};

// guardTaken: this copy now holds the machine-wide guard. sessionMarkTaken:
// it took this session's mark before trying the guard, so no copy of this
// session held the mark then (the running copy holds it all its life).
constexpr OneCopy decideOneCopy(bool guardTaken, bool sessionMarkTaken) {
    if (guardTaken) {
        return OneCopy::First;
    }
    return sessionMarkTaken ? OneCopy::OtherElsewhere : OneCopy::OtherInThisSession;
}

} // namespace kana
