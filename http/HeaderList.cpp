#include "http/HeaderList.h"

#include "base/Exception.h"
#include "http/TextUtil.h"

namespace lugatim::http {

namespace {
bool IsContinuation(const std::string& line) {
  return !line.empty() && IsBlank(line[0]);
}
}  // namespace

const std::string& THeaderList::Strings(int index) const {
  if (index < 0 || index >= Count()) throw base::EListError::IndexOutOfBounds(index);
  return lines_[static_cast<size_t>(index)];
}

std::string_view THeaderList::NameOf(std::string_view line) {
  const size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

int THeaderList::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!IsContinuation(lines_[i]) && EqualsNoCase(NameOf(lines_[i]), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

size_t THeaderList::ContinuationEnd(size_t index) const {
  size_t end = index + 1;
  while (end < lines_.size() && IsContinuation(lines_[end])) ++end;
  return end;
}

std::string THeaderList::Values(std::string_view name) const {
  const int found = IndexOf(name);
  if (found < 0) return {};
  const size_t index = static_cast<size_t>(found);
  const std::string& line = lines_[index];
  std::string value = line.substr(NameOf(line).size() + 1);
  for (size_t i = index + 1, end = ContinuationEnd(index); i < end; ++i) {
    if (value.empty() || !IsBlank(value.back())) value += ' ';
    value += TrimLeftBlanks(lines_[i]);
  }
  return std::string(TrimLeftBlanks(value));
}

void THeaderList::Remove(std::string_view name) {
  const int found = IndexOf(name);
  if (found < 0) return;
  const size_t index = static_cast<size_t>(found);
  lines_.erase(lines_.begin() + static_cast<long>(index),
               lines_.begin() + static_cast<long>(ContinuationEnd(index)));
}

std::string Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const size_t left = bytes.size() - i;
  if (left > 0) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (left == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace lugatim::http
