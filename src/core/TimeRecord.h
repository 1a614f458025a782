#pragma once

#include "core/ClockTime.h"

#include <string>

namespace ambrin {

// One stretch of work; an empty end means the record is still in progress.
struct TimeRecord {
    std::string project;
    std::string notes;
    ClockTime start;
    ClockTime end;

    friend bool operator==(const TimeRecord&, const TimeRecord&) = default;
};

// Ordering of log entries: negative, zero or positive as this orders before, with or after.
class Comparable {
public:
    virtual ~Comparable() = default;
    virtual int Compare(const Comparable& other) const = 0;

protected:
    Comparable() = default;
    Comparable(const Comparable&) = default;
    Comparable& operator=(const Comparable&) = default;
};

// A log entry: orders by start, then by end, as unsigned tick counts.
class TimeRecordRef final : public Comparable {
public:
    explicit TimeRecordRef(TimeRecord& record) : record_(&record) {}

    TimeRecord& Record() const { return *record_; }
    int Compare(const Comparable& other) const override;

private:
    TimeRecord* record_;
};

}  // namespace ambrin
