#pragma once
// A flat image button. Its glyph is a Windows bitmap whose bottom-left pixel
// colour is drawn transparent, as speed-button glyphs are.

#include <QToolButton>

namespace lugatim::widgets {

class TSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TSpeedButton(QWidget* parent = nullptr);
  // Loads the glyph from the bytes of a bitmap file; fails with
  // base::Exception when the bytes are not a readable picture.
  void LoadGlyph(const QByteArray& bitmapFile);
  const QImage& Glyph() const { return glyph_; }

 private:
  QImage glyph_;
};

// The picture with every pixel of its bottom-left pixel's colour made transparent.
QImage WithBottomLeftTransparent(const QImage& picture);

}  // namespace lugatim::widgets
