#pragma once

#include "core/ClockTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ambrin {

class TimeLog;

// Time away from the computer while a project ran: from the last input (or the lock, or the
// sleep) to the return, and the record it fell in.
struct AwayQuestion {
    ClockTime from, to;
    std::string project;     // the running project, as the log spells it
    ClockTime recordStart;   // which record of it: a switch since makes the question stale
};

enum class AwayAnswer { Keep, Discard, DiscardAndStop, AssignTo };

// Follows what the sources say of the person's presence and decides when to ask. Sources
// may overlap (a lock while idle): the earliest "away since" counts, the first "back" ends it.
class AwayTracker {
public:
    // No input since then: an idle counter past its threshold, a lock, a sleep.
    void AwaySince(ClockTime since);
    // Back at that moment. A question when the away lasted at least minimumSeconds while a
    // project (not "<idle>") ran; merged with one still unanswered about the same record.
    std::optional<AwayQuestion> Back(ClockTime at, std::int64_t minimumSeconds, TimeLog& log);
    bool IsAway() const { return since_.has_value(); }
    // Back, with nothing to ask whatever the away was (the question is turned off).
    void Forget() { since_.reset(); }
    // The question shown and not yet answered.
    const std::optional<AwayQuestion>& Pending() const { return pending_; }
    void Answered() { pending_.reset(); }

private:
    std::optional<ClockTime> since_;
    std::optional<AwayQuestion> pending_;
};

// Books an answer through the strip's own change of project (and its rounding). Discard ends
// the record at the start of the away time and starts the project again at its end, with its
// notes; the time between is "<idle>", never written. Discard and stop leaves "<idle>"
// running. Assign gives the away time a record of assignTo. False, changing nothing, when the
// log no longer runs the record asked about, or assignTo is blank.
bool BookAway(TimeLog& log, const AwayQuestion& question, AwayAnswer answer, std::string_view assignTo, bool round);

}  // namespace ambrin
