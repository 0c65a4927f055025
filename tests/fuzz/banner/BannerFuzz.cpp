// Fuzz entry point for the banner channel's text handling: the input is an
// ad list as the update server sends it. Each of its lines goes through
//  - ParseAdLine, once with nobody listening to traces and once with a
//    trace capture: both give the same outcome, which a second reading of
//    the line (cut at the first five commas, fields 3 to 6 read as integer
//    text) predicts: the values on success; EConvertError and nothing else,
//    after one trace per field read before the failing one, on failure;
//  - BannerFileName on the banner address (and on the whole line): the name
//    holds no "/", ends the address, and is preceded there by "/" unless it
//    is the whole address;
//  - IsSafeFileName on that name, against its definition; a safe name is
//    looked up in a scratch Banner folder and matches only an entry of the
//    same name (letter case aside), and SameFileName holds for the name and
//    its ASCII upper-case form, both ways.
// A broken check aborts, which libFuzzer reports as a crash.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "banner/BannerFiles.h"
#include "banner/Kodlar.h"
#include "base/Exception.h"
#include "base/IntText.h"
#include "base/StringList.h"
#include "base/Trace.h"

namespace {

using namespace lugatim;

constexpr size_t kMaxInput = 64 * 1024;
constexpr size_t kMaxLines = 64;

[[noreturn]] void Fail(const char* what, std::string_view line) {
  std::fprintf(stderr, "banner check failed: %s for \"%.*s\"\n", what,
               static_cast<int>(std::min<size_t>(line.size(), 200)), line.data());
  std::abort();
}

// A Banner folder with two entries, made at the first use and removed at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    char path[] = "/tmp/lugatim-banner-fuzz-XXXXXX";
    if (::mkdtemp(path) == nullptr) std::abort();
    path_ = std::string(path) + "/";
    for (const char* name : kEntries) std::ofstream(path_ + name) << "x";
  }
  ~ScratchFolder() {
    for (const char* name : kEntries) ::unlink((path_ + name).c_str());
    ::rmdir(path_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  static constexpr const char* kEntries[] = {"Liste.lst", "banner.GIF"};
  std::string path_;
};

const std::string& Folder() {
  static const ScratchFolder folder;
  return folder.Path();
}

struct Expected {
  std::optional<banner::TAdLine> ad;  // nothing: EConvertError
  size_t traces = 0;
};

Expected Predict(std::string_view line) {
  Expected e;
  banner::TAdLine ad;
  std::string_view rest = line;
  std::string_view fields[5];
  for (int k = 0; k < 5; ++k) {
    const size_t comma = rest.find(',');
    fields[k] = comma == std::string_view::npos ? std::string_view() : rest.substr(0, comma);
    if (comma != std::string_view::npos) rest.remove_prefix(comma + 1);
  }
  ad.URLBanner = std::string(fields[0]);
  ad.UrlToGo = std::string(fields[1]);
  int32_t* const numbers[4] = {&ad.Oncelik, &ad.Sure, &ad.Silinecek, &ad.HoldBack};
  const std::string_view texts[4] = {fields[2], fields[3], fields[4], rest};
  e.traces = 2;
  for (int k = 0; k < 4; ++k) {
    const auto value = base::TryStrToInt(texts[k]);
    if (!value) return e;
    *numbers[k] = *value;
    if (k < 3) ++e.traces;
  }
  e.ad = ad;
  return e;
}

std::optional<banner::TAdLine> Parse(const std::string& line) {
  try {
    return banner::ParseAdLine(line);
  } catch (const base::EConvertError&) {
    return std::nullopt;
  }
  // Any other exception leaves the entry point.
}

bool Same(const banner::TAdLine& a, const banner::TAdLine& b) {
  return a.URLBanner == b.URLBanner && a.UrlToGo == b.UrlToGo && a.Oncelik == b.Oncelik &&
         a.Sure == b.Sure && a.Silinecek == b.Silinecek && a.HoldBack == b.HoldBack;
}

void CheckAdLine(const std::string& line) {
  const Expected expected = Predict(line);
  const std::optional<banner::TAdLine> quiet = Parse(line);
  std::optional<banner::TAdLine> traced;
  size_t traces = 0;
  {
    base::TraceCapture capture;
    traced = Parse(line);
    traces = capture.Lines().size();
  }
  for (const std::optional<banner::TAdLine>* got : {&quiet, &std::as_const(traced)}) {
    if (got->has_value() != expected.ad.has_value()) Fail("ParseAdLine outcome", line);
    if (*got && !Same(**got, *expected.ad)) Fail("ParseAdLine fields", line);
  }
  if (traces != expected.traces) Fail("ParseAdLine trace count", line);
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool SafeByDefinition(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

void CheckFileName(const std::string& address) {
  std::string name;
  {
    base::TraceCapture capture;  // the traced path, as in the running program
    name = banner::BannerFileName(address);
  }
  if (banner::BannerFileName(address) != name) Fail("BannerFileName differs untraced", address);
  if (name.find('/') != std::string::npos) Fail("a file name with a slash", address);
  if (!std::string_view(address).ends_with(name))
    Fail("the name does not end the address", address);
  if (name.size() < address.size() && address[address.size() - name.size() - 1] != '/')
    Fail("the name is not what follows the last slash", address);
  if (name.empty() != (address.empty() || address.back() == '/'))
    Fail("empty name for an address not ending in a slash", address);

  const bool safe = banner::IsSafeFileName(name);
  if (safe != SafeByDefinition(name)) Fail("IsSafeFileName", name);
  if (!safe) {
    if (banner::FindEntry(Folder(), name)) Fail("an unsafe name found an entry", name);
    return;
  }
  const std::string upper = AsciiUpper(name);
  if (!banner::SameFileName(name, name)) Fail("SameFileName not reflexive", name);
  if (!banner::SameFileName(name, upper) || !banner::SameFileName(upper, name))
    Fail("SameFileName and ASCII case", name);
  if (const auto entry = banner::FindEntry(Folder(), name)) {
    if (*entry != name && !banner::SameFileName(*entry, name))
      Fail("FindEntry found another name", name);
    struct stat st {};
    if (::lstat((Folder() + *entry).c_str(), &st) != 0) Fail("FindEntry found nothing real", name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = base::SplitLines(text);
  for (size_t i = 0; i < lines.size() && i < kMaxLines; ++i) {
    const std::string& line = lines[i];
    CheckAdLine(line);
    CheckFileName(line);
    const size_t comma = line.find(',');
    if (comma != std::string::npos) CheckFileName(line.substr(0, comma));
  }
  return 0;
}
