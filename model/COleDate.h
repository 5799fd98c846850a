#pragma once

// An item date as the catalog keeps it: days since 1899-12-30 00:00 as a double (the fraction is the time
// of day), plus a status. Values before 1899-12-30 follow the OLE convention: the integer part counts the
// days backwards and the fraction still runs forwards in the day, so the raw doubles do not order
// chronologically there; use chronologicalDays() to compare or subtract dates.

#include <cstdint>
#include <ctime>

class COleDate final {
public:
    enum class Status { Valid = 0, Invalid = 1, Null = 2 };

    struct Fields {
        int year = 1899;
        int month = 12;
        int day = 30;
        int hour = 0;
        int minute = 0;
        int second = 0;
    };

    COleDate() = default;
    COleDate(double value, Status status) : m_value(value), m_status(status) {}

    // A date from calendar fields (local time); Invalid when a field is out of range
    // (years 100 to 9999, months 1-12, days within the month, 0-23:0-59:0-59).
    static COleDate fromFields(const Fields& fields);
    // Seconds since the Unix epoch, shown in local time as the file system's dates are.
    static COleDate fromUnixTime(std::int64_t seconds, std::int64_t nanoseconds = 0);
    // The current time, in whole seconds as item dates are.
    static COleDate now();
    static COleDate invalid() { return COleDate(0.0, Status::Invalid); }

    double value() const { return m_value; }
    Status status() const { return m_status; }
    bool isValid() const { return m_status == Status::Valid; }

    // Calendar fields of a valid date, the time rounded to the nearest second.
    Fields fields() const;
    // Days since 1899-12-30 on a continuous scale, whatever the sign.
    double chronologicalDays() const;

    bool operator==(const COleDate& other) const {
        return m_status == other.m_status && m_value == other.m_value;
    }

private:
    double m_value = 0.0;
    Status m_status = Status::Valid;
};
