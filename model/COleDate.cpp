#include "model/COleDate.h"

#include <chrono>
#include <cmath>

namespace {

constexpr double kSecondsPerDay = 86400.0;

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

const std::int64_t kOleEpochDays = daysFromCivil(1899, 12, 30);

}  // namespace

COleDate COleDate::fromFields(const Fields& f) {
    if (f.year < 100 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > daysInMonth(f.year, f.month) || f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 ||
        f.second < 0 || f.second > 59) {
        return invalid();
    }
    const std::int64_t days =
        daysFromCivil(f.year, static_cast<unsigned>(f.month), static_cast<unsigned>(f.day)) - kOleEpochDays;
    const double time = (f.hour * 3600.0 + f.minute * 60.0 + f.second) / kSecondsPerDay;
    // OLE: negative dates count whole days backwards, the time of day stays positive.
    const double value = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    return COleDate(value, Status::Valid);
}

COleDate COleDate::fromUnixTime(std::int64_t seconds, std::int64_t nanoseconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return invalid();
    }
    Fields f{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour,        local.tm_min,     local.tm_sec == 60 ? 59 : local.tm_sec};
    COleDate date = fromFields(f);
    if (date.isValid() && nanoseconds > 0) {
        const double fraction = static_cast<double>(nanoseconds) / 1e9 / kSecondsPerDay;
        date.m_value += date.m_value >= 0 ? fraction : -fraction;
    }
    return date;
}

COleDate COleDate::now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixTime(std::chrono::duration_cast<std::chrono::seconds>(since).count());
}

double COleDate::chronologicalDays() const {
    if (m_value >= 0) {
        return m_value;
    }
    const double whole = std::ceil(m_value);  // days backwards, e.g. -1.25 -> -1
    const double time = whole - m_value;      // 0.25
    return whole + time;
}

COleDate::Fields COleDate::fields() const {
    const double continuous = chronologicalDays();
    double whole = std::floor(continuous);
    double secondsOfDay = std::round((continuous - whole) * kSecondsPerDay);
    if (secondsOfDay >= kSecondsPerDay) {
        whole += 1;
        secondsOfDay -= kSecondsPerDay;
    }
    Fields f;
    civilFromDays(static_cast<std::int64_t>(whole) + kOleEpochDays, f.year, f.month, f.day);
    const int s = static_cast<int>(secondsOfDay);
    f.hour = s / 3600;
    f.minute = s / 60 % 60;
    f.second = s % 60;
    return f;
}
