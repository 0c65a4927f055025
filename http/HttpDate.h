#pragma once
// Date header values ("Date", "Last-Modified", "Expires") as local date-time
// values: days since 1899-12-30, the time of day as the fraction; 0 stands
// for no date.

#include <string_view>

namespace lugatim::http {

using TDateTime = double;

// The date-time of a calendar date and time of day; nothing is checked.
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);

// The header value converted to local time with the given offset of local
// time from UTC, in minutes. Text that does not read as a date gives 0.
TDateTime GmtToLocalDateTime(std::string_view value, int localOffsetMinutes);

// The same with the offset of the system time zone as it stands now; raises
// ENetFailedToRetrieveTimeZoneInfo when the zone cannot be read.
TDateTime GmtToLocalDateTime(std::string_view value);

// The offset of local time from UTC now, in minutes (daylight saving included).
int LocalUtcOffsetMinutes();

}  // namespace lugatim::http
