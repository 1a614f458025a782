#include "core/TimeAway.h"

#include "core/ProjectName.h"
#include "core/ProjectSwitch.h"
#include "core/TimeLog.h"

#include <algorithm>

namespace ambrin {

namespace {

// The record a question is about, while it still runs.
TimeRecord* RunningRecord(TimeLog& log, const AwayQuestion& question)
{
    TimeRecord* open = log.Current(false);
    if (!open || open->start != question.recordStart || !SameName(open->project, question.project)) return nullptr;
    return open;
}

}  // namespace

void AwayTracker::AwaySince(ClockTime since)
{
    if (!since_ || since < *since_) since_ = since;
}

std::optional<AwayQuestion> AwayTracker::Back(ClockTime at, std::int64_t minimumSeconds, TimeLog& log)
{
    if (!since_) return std::nullopt;
    ClockTime from = *since_;
    since_.reset();
    const TimeRecord* open = log.Current(false);
    if (!open || !IsWrittenProject(TrimSpaces(open->project)) || open->start.IsEmpty()) return std::nullopt;
    from = std::max(from, open->start);  // the record started while away: by a command, say
    if (SecondsBetween(at, from) < minimumSeconds) return std::nullopt;
    AwayQuestion question{from, at, open->project, open->start};
    if (pending_ && pending_->recordStart == open->start && SameName(pending_->project, open->project)) {
        question.from = std::min(question.from, pending_->from);
    }
    pending_ = question;
    return question;
}

bool BookAway(TimeLog& log, const AwayQuestion& question, AwayAnswer answer, std::string_view assignTo, bool round)
{
    TimeRecord* open = RunningRecord(log, question);
    if (!open || (answer == AwayAnswer::AssignTo && TrimSpaces(assignTo).empty())) return false;
    const std::string notes = open->notes;
    switch (answer) {
    case AwayAnswer::Keep:
        return true;
    case AwayAnswer::DiscardAndStop:
        SwitchProject(log, kIdleProject, question.from, round);
        return true;
    case AwayAnswer::Discard:
    case AwayAnswer::AssignTo:
        break;
    }
    const std::string_view awayProject = answer == AwayAnswer::AssignTo ? assignTo : kIdleProject;
    if (!SwitchProject(log, awayProject, question.from, round)) return true;  // assigned to the project itself
    SwitchProject(log, question.project, question.to, round);
    log.Current(true)->notes = notes;
    return true;
}

}  // namespace ambrin
