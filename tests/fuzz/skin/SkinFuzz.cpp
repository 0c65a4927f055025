// Fuzz entry point for the skin description: the input is the text of the
// "skin" INI resource. Every input goes through
//  - the INI reader (TIniText) and SplitFields on each of its lines, with the
//    delimiters the description uses (checked: fields never hold a NUL, and
//    a line with no delimiter and no quote gives at most one field);
//  - TSkinForm::LoadSkin on a form, the description served by a resource
//    reader and every image it names made on the spot (a name whose hash
//    falls into one bucket in eight is missing, so "Resource %s not found"
//    is reached as well);
//  - a few presses, moves and releases over what was loaded.
// Failures must be exceptions of the program's family (base::Exception);
// anything else leaves the entry point, which libFuzzer reports.
//
// Counts in the description size arrays as written; descriptions claiming
// more than kMaxCount hot areas, displays or track bars are skipped so that
// an input costs milliseconds rather than gigabytes.

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "base/Exception.h"
#include "base/StringList.h"
#include "codecs/Bmp.h"
#include "codecs/GifEncoder.h"
#include "codecs/Jpeg.h"
#include "skin/IniText.h"
#include "skin/SkinForm.h"
#include "skin/SkinResources.h"
#include "skin/SplitFields.h"

namespace {

using namespace lugatim;

constexpr int32_t kMaxCount = 64;
constexpr size_t kMaxInput = 16 * 1024;

QApplication& App() {
  static int argc = 1;
  static char name[] = "skin_fuzzer";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "skin check failed: %s\n", what);
  std::abort();
}

uint32_t Hash(const std::string& text) {
  uint32_t h = 2166136261u;
  for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

// A picture of the given size: white (cut away by the mask's key colour)
// and coloured squares in turn, so that masks have an outline.
QImage Pattern(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y,
                     ((x / 3 + y / 3) % 2) ? qRgb(20 * (x % 12), 40, 200) : qRgb(255, 255, 255));
  return image;
}

QByteArray Encode(const std::string& type, int w, int h) {
  const QImage image = Pattern(w, h);
  if (type == "BMP") return codecs::EncodeBmp(image, 24);
  if (type == "GIF") {
    int transparent = -1;
    return codecs::EncodeGif({{codecs::ToIndexed8(image, &transparent), 0, 0, 0, -1, 0}}, {});
  }
  return codecs::EncodeJpeg(image, 80);
}

// The images of one type in a handful of sizes, made once.
const QByteArray& Image(const std::string& type, uint32_t hash) {
  static const int kSides[] = {1, 5, 16, 33, 60};
  static std::map<std::tuple<std::string, int, int>, QByteArray> made;
  const int w = kSides[(hash >> 3) % 5], h = kSides[(hash >> 7) % 5];
  auto key = std::make_tuple(type, w, h);
  auto it = made.find(key);
  if (it == made.end()) it = made.emplace(key, Encode(type, w, h)).first;
  return it->second;
}

skin::TResourceReader Reader(const QByteArray& description) {
  return
      [description](const std::string& type, const std::string& name) -> std::optional<QByteArray> {
        if (type == "INI") {
          if (name == "skin") return description;
          return std::nullopt;
        }
        const uint32_t hash = Hash(name);
        if (hash % 8 == 0) return std::nullopt;
        return Image(type, hash);
      };
}

void CheckSplit(std::string_view line) {
  base::TStringList fields;
  for (const char delimiter : {',', '='}) {
    skin::SplitFields(fields, line, delimiter);
    for (int i = 0; i < fields.Count(); ++i)
      if (fields.Strings(i).find('\0') != std::string::npos) Fail("a field holds a NUL");
    const std::string_view seen = line.substr(0, line.find('\0'));
    if (seen.find(delimiter) == std::string_view::npos &&
        seen.find('"') == std::string_view::npos && fields.Count() > 1) {
      // Without a delimiter or a quote, only control characters end a field.
      bool control = false;
      for (char c : seen) control |= static_cast<unsigned char>(c) < 32;
      if (!control) Fail("fields without a delimiter");
    }
  }
}

void Pointer(skin::TSkinForm& skin) {
  skin.SetWindowMoveStarter([] { return false; });
  int seen = 0;
  for (const auto& area : skin.HotAreas()) {
    if (++seen > 8) break;
    const int x = static_cast<int>(area.X / 2 + (area.X + int64_t{area.Width}) / 2);
    const int y = static_cast<int>(area.Y / 2 + (area.Y + int64_t{area.Height}) / 2);
    skin.MouseMove(0, x, y);
    skin.MouseDown(skin::TMouseButton::mbLeft, skin::ssLeft, x, y);
    skin.MouseUp(skin::TMouseButton::mbLeft, 0, x, y);
  }
  seen = 0;
  for (const auto& bar : skin.TrackBars()) {
    if (++seen > 4) break;
    const int x = bar.X, y = bar.Y;
    skin.MouseDown(skin::TMouseButton::mbLeft, skin::ssLeft, x + 1, y + 1);
    skin.MouseMove(skin::ssLeft, x + 2, y + 2);
    skin.MouseUp(skin::TMouseButton::mbLeft, 0, x + 2, y + 2);
  }
  skin.MouseMove(0, 0, 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  App();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  App();  // the replay runner does not call LLVMFuzzerInitialize
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (const std::string& line : base::SplitLines(text)) CheckSplit(line);
  const skin::TIniText ini(text);
  for (const char* section : {"HOTAREAINFO", "DISPLAYINFO", "TRACKBARINFO"})
    if (ini.ReadInteger(section, "Count", 0) > kMaxCount) return 0;

  QWidget form;
  auto* skin = new skin::TSkinForm(&form);  // owned by the form
  skin->SetResourceReader(Reader(QByteArray(text.data(), static_cast<qsizetype>(text.size()))));
  try {
    skin->LoadSkin();
    Pointer(*skin);
  } catch (const base::Exception&) {
  }
  return 0;
}
