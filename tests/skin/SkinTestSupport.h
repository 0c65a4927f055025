#pragma once
// Shared pieces of the skin tests: one QApplication for the process, skins
// held in memory, and images made on the spot.

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "codecs/Bmp.h"
#include "codecs/Jpeg.h"
#include "skin/SkinForm.h"
#include "skin/SkinResources.h"

namespace skintest {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "skin_tests";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Resources by type and (upper-case) name, and a record of every lookup.
struct MemoryResources {
  std::map<std::pair<std::string, std::string>, QByteArray> items;
  std::shared_ptr<std::vector<std::string>> lookups = std::make_shared<std::vector<std::string>>();

  void Put(const std::string& type, const std::string& name, QByteArray bytes) {
    items[{type, name}] = std::move(bytes);
  }
  lugatim::skin::TResourceReader Reader() const {
    auto copy = items;
    auto log = lookups;
    return
        [copy, log](const std::string& type, const std::string& name) -> std::optional<QByteArray> {
          log->push_back(type + "/" + name);
          const auto it = copy.find({type, name});
          if (it == copy.end()) return std::nullopt;
          return it->second;
        };
  }
};

inline QImage Solid(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

inline QByteArray Bmp(const QImage& image) {
  return lugatim::codecs::EncodeBmp(image, 24);
}

// An 8-bit mask: white (cut away) outside the given shape function.
template <typename Keep>
QByteArray MaskBmp(int w, int h, Keep keep) {
  QImage mask(w, h, QImage::Format_Indexed8);
  mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) mask.setPixel(x, y, keep(x, y) ? 1u : 0u);
  return lugatim::codecs::EncodeBmp(mask, 8);
}

constexpr QRgb kUp = 0xFF0000C8;    // normal face: blue
constexpr QRgb kDown = 0xFFC80000;  // pressed face: red
constexpr QRgb kOn = 0xFF00C800;    // hover face: green

// A form with a surface on it, reading from the given resources.
struct Rig {
  std::unique_ptr<QWidget> form;
  lugatim::skin::TSkinForm* skin = nullptr;

  explicit Rig(const MemoryResources& res) {
    App();
    form = std::make_unique<QWidget>();
    skin = new lugatim::skin::TSkinForm(form.get());
    skin->SetResourceReader(res.Reader());
    skin->SetWindowMoveStarter([] { return false; });
  }
};

// Resources of a 100 x 80 skin with BMP faces of one colour each and the
// description text given.
inline MemoryResources SimpleSkin(const std::string& description) {
  MemoryResources res;
  res.Put("INI", "skin", QByteArray::fromStdString(description));
  res.Put("BMP", "MASK", MaskBmp(100, 80, [](int, int) { return true; }));
  res.Put("BMP", "UP", Bmp(Solid(100, 80, kUp)));
  res.Put("BMP", "DOWN", Bmp(Solid(100, 80, kDown)));
  res.Put("BMP", "ON", Bmp(Solid(100, 80, kOn)));
  return res;
}

inline std::string Faces() {
  return "[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=up.bmp\r\n"
         "MouseDownBitmap=down.bmp\r\nMouseOnBitmap=on.bmp\r\n";
}

}  // namespace skintest
