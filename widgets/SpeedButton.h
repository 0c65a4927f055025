#pragma once
// A flat image button. Its glyph is a Windows bitmap whose bottom-left pixel
// colour is drawn transparent, as speed-button glyphs are. The glyph is drawn
// at its own size, centred on the button and clipped to it, never resampled
// to fit; the same glyph may come at larger scales (see base/ImageScale.h),
// and the button draws the one that best fits the screen's pixel ratio, at
// the 1x glyph's logical size.

#include <QToolButton>
#include <map>

namespace lugatim::widgets {

class TSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TSpeedButton(QWidget* parent = nullptr);
  // Loads the glyph from the bytes of a bitmap file, and the same glyph at
  // larger scales from scaled (scale -> bytes of its file); fails with
  // base::Exception when any of them is not a readable picture, or a
  // scaled one is not its scale times the 1x glyph's size.
  void LoadGlyph(const QByteArray& bitmapFile, const std::map<int, QByteArray>& scaled = {});
  const QImage& Glyph() const { return glyph_; }
  // The glyph drawn on a screen of the ratio, its device pixel ratio set to its scale.
  QImage GlyphFor(double ratio) const;
  // Where the glyph's top-left corner goes on the button.
  QPoint GlyphOrigin() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage glyph_;
  std::map<int, QImage> scaled_;
};

// The picture with every pixel of its bottom-left pixel's colour made transparent.
QImage WithBottomLeftTransparent(const QImage& picture);

}  // namespace lugatim::widgets
