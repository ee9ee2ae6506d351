#pragma once
// The system's date-time value: whole days since 30 December 1899 plus the time of day as a
// fraction of a day; 0 means "no date". Also the clock interface, passed in wherever "now" matters
// so that tests can fix it.
#include <optional>

namespace mv {

using DateTime = double;

struct DateParts {
    int year = 0, month = 0, day = 0;
};
struct TimeParts {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Empty when the date does not exist (31 February, month 13, year outside 1..9999).
std::optional<DateTime> encodeDate(int year, int month, int day);
// Empty when a field is out of range (hour 24, minute 60, ...).
std::optional<DateTime> encodeTime(int hour, int minute, int second = 0, int millisecond = 0);
DateParts decodeDate(DateTime value);
TimeParts decodeTime(DateTime value);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(DateTime value);
bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Local wall-clock time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime value) : m_value(value) {}
    DateTime now() const override { return m_value; }
    void set(DateTime value) { m_value = value; }

private:
    DateTime m_value;
};

} // namespace mv
