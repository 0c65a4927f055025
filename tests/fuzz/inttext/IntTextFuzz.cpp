// Fuzz entry point for the integer text (base/IntText.h). The input is the
// text. Checked for every input:
//  - TryStrToInt agrees with a second, independent reading of the grammar;
//  - StrToInt gives the same value, or fails with EConvertError (and nothing
//    else) carrying "'<text>' is not a valid integer value" exactly when
//    TryStrToInt gives nothing (messages are C texts: the quoted text ends
//    at its first NUL);
//  - a value read round-trips: its decimal text and its hexadecimal texts
//    ("$", "0x", "x" forms, sign in front) read back as the same value.
// A broken check aborts, which libFuzzer reports as a crash.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/Exception.h"
#include "base/IntText.h"

namespace {

using lugatim::base::EConvertError;
using lugatim::base::StrToInt;
using lugatim::base::TryStrToInt;

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "integer text check failed: %s for \"%.*s\"\n", what,
               static_cast<int>(text.size()), text.data());
  std::abort();
}

bool AllDigits(std::string_view digits, int base) {
  if (digits.empty()) return false;
  for (char c : digits) {
    const bool dec = c >= '0' && c <= '9';
    const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!(dec || (base == 16 && hex))) return false;
  }
  return true;
}

// The grammar read a second way: the pieces first, then the value through
// std::from_chars into 64 bits and a range check.
std::optional<int32_t> Reference(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (!AllDigits(text, base)) return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (ec == std::errc::result_out_of_range) return std::nullopt;
  if (ec != std::errc() || end != text.data() + text.size()) std::abort();  // AllDigits said so
  if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
  const int64_t value =
      negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return static_cast<int32_t>(value);
}

void ExpectReads(const std::string& text, int32_t value, std::string_view input) {
  const std::optional<int32_t> back = TryStrToInt(text);
  if (!back || *back != value) Fail(("round trip through \"" + text + "\"").c_str(), input);
}

void RoundTrip(int32_t value, std::string_view input) {
  ExpectReads(std::to_string(value), value, input);
  const bool negative = value < 0;
  const uint64_t magnitude =
      negative ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
  char hex[32];
  std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(magnitude));
  const std::string sign = negative ? "-" : "";
  ExpectReads(sign + "$" + hex, value, input);
  ExpectReads(sign + "0x" + hex, value, input);
  ExpectReads("  " + sign + "x" + hex, value, input);
  if (!negative) ExpectReads("+" + std::to_string(value), value, input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<int32_t> tried = TryStrToInt(text);
  if (tried != Reference(text)) Fail("TryStrToInt differs from the grammar", text);

  try {
    const int32_t value = StrToInt(text);
    if (!tried) Fail("StrToInt read what TryStrToInt refused", text);
    if (value != *tried) Fail("StrToInt and TryStrToInt differ", text);
  } catch (const EConvertError& e) {
    if (tried) Fail("StrToInt refused what TryStrToInt read", text);
    const std::string_view quoted = text.substr(0, text.find('\0'));
    if (e.Message() != "'" + std::string(quoted) + "' is not a valid integer value")
      Fail("unexpected EConvertError message", text);
  }
  // Any other exception leaves this function, and libFuzzer reports it.

  if (tried) RoundTrip(*tried, text);
  return 0;
}
