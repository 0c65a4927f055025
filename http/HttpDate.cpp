#include "http/HttpDate.h"

#include <ctime>
#include <optional>
#include <string>

#include "base/IntText.h"
#include "http/NetExceptions.h"
#include "http/TextUtil.h"

namespace lugatim::http {

namespace {

constexpr std::string_view kDayNames[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr std::string_view kMonthNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The next space-separated token, leading blanks skipped; the text is left
// with what follows the token's space.
std::string_view NextToken(std::string_view& text) {
  text = TrimLeftBlanks(text);
  const size_t space = text.find(' ');
  const std::string_view token = text.substr(0, space);
  text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  return token;
}

std::optional<int> ReadInt(std::string_view text) {
  return base::TryStrToInt(text);
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
  const long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                    DaysFromCivil(1899, 12, 30);
  return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

TDateTime GmtToLocalDateTime(std::string_view value, int localOffsetMinutes) {
  std::string_view text = Trim(value);
  if (text.empty()) return 0;
  if (text.size() >= 3) {
    const std::string_view head = text.substr(0, 3);
    for (std::string_view day : kDayNames) {
      if (EqualsNoCase(head, day)) {
        NextToken(text);
        break;
      }
    }
  }

  const int day = ReadInt(NextToken(text)).value_or(1);
  const std::string_view monthToken = NextToken(text);
  int month = 0;
  for (int i = 0; i < 12; ++i) {
    if (EqualsNoCase(monthToken, kMonthNames[i])) month = i + 1;
  }
  if (month == 0) return 0;
  int year = ReadInt(NextToken(text)).value_or(1900);
  if (year < 80) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  }

  int hour = 0, minute = 0, second = 0;
  if (text.find(':') != std::string_view::npos) {
    std::string_view time = NextToken(text);
    int* fields[] = {&hour, &minute, &second};
    for (int* field : fields) {
      const size_t colon = time.find(':');
      *field = ReadInt(time.substr(0, colon)).value_or(0);
      time = colon == std::string_view::npos ? std::string_view() : time.substr(colon + 1);
    }
  }
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return 0;
  }

  int zoneMinutes = 0;
  text = TrimLeftBlanks(text);
  if (text.size() > 4) {
    const std::string_view zone = text.substr(0, 5);
    if ((zone[0] == '+' || zone[0] == '-') && AllDigits(zone.substr(1))) {
      zoneMinutes =
          ((zone[1] - '0') * 10 + (zone[2] - '0')) * 60 + (zone[3] - '0') * 10 + (zone[4] - '0');
      if (zone[0] == '-') zoneMinutes = -zoneMinutes;
    }
  }
  return EncodeDateTime(year, month, day, hour, minute, second) +
         (localOffsetMinutes - zoneMinutes) / 1440.0;
}

int LocalUtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
    throw ENetFailedToRetrieveTimeZoneInfo();
  }
  return static_cast<int>(local.tm_gmtoff / 60);
}

TDateTime GmtToLocalDateTime(std::string_view value) {
  if (Trim(value).empty()) return 0;
  return GmtToLocalDateTime(value, LocalUtcOffsetMinutes());
}

}  // namespace lugatim::http
