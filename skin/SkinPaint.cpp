// Painting the face: the normal face, the pressed and checked hot areas, the
// track-bar thumbs and the display elements.

#include <QPainter>
#include <algorithm>
#include <string_view>

#include "skin/SkinForm.h"
#include "skin/SkinScale.h"

namespace lugatim::skin {
namespace {

constexpr std::string_view kNumberCells = "0123456789 ";
// The three rows of the text strip; row 2 has no characters in columns 26-29.
constexpr std::string_view kTextRows[3] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*",
    "0123456789 .:<>-'!_+\\/[]^&%,=$",
    "abcdefghijklmnopqrstuvwxyz",
};

// Where the i-th cell of a strip text starting at (x, y) goes.
QPoint CellAt(int x, int y, size_t i, int w) {
  return QPoint(SurfaceCoordinate(x + static_cast<int64_t>(i) * w), SurfaceCoordinate(y));
}

}  // namespace

void TSkinForm::PaintSkin() {
  // The normal face alone is the picture: shared, not copied, until a part
  // of the surface is drawn over it.
  const bool faceAlone = outlineAlpha_.isNull() && trackBars_.empty() && displays_.empty() &&
                         std::none_of(hotAreas_.begin(), hotAreas_.end(),
                                      [](const HotAreaInfoRec& area) {
                                        return (area.Switch && area.Checked) || area.Pressed;
                                      }) &&
                         mouseUpBitmap_.format() == QImage::Format_RGB32 &&
                         mouseUpBitmap_.devicePixelRatio() == faceScale_ &&
                         mouseUpBitmap_.size() == size().expandedTo(QSize(1, 1)) * faceScale_;
  if (faceAlone) {
    canvas_ = mouseUpBitmap_;
    needsRepaint_ = false;
    ++fullPaints_;
    update();
    return;
  }
  QImage& canvas = Picture();
  {
    QPainter p(&canvas);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, mouseUpBitmap_);
    for (const HotAreaInfoRec& area : hotAreas_) {
      if (!((area.Switch && area.Checked) || area.Pressed)) continue;
      const QRect r = AreaRect(area) & LogicalRect(mouseDownBitmap_);
      if (!r.isEmpty()) p.drawImage(QRectF(r), mouseDownBitmap_, PixelRect(mouseDownBitmap_, r));
    }
  }
  PaintTrackBars(canvas);
  PaintDisplays(canvas);
  ApplyOutlineAlpha(canvas, outlineAlpha_, LogicalRect(canvas));
  needsRepaint_ = false;
  ++fullPaints_;
  update();
}

void TSkinForm::PaintTrackBars(QImage& canvas) {
  if (trackBars_.empty()) return;
  QPainter p(&canvas);
  for (size_t i = 0; i < trackBars_.size(); ++i) {
    const TrackBarInfoRec& bar = trackBars_[i];
    const QImage& thumb = static_cast<int32_t>(i) == activeTrack_ ? bar.DownBitmap : bar.UpBitmap;
    const QPoint at = bar.Horizontal
                          ? QPoint(SurfaceCoordinate(int64_t{bar.X} + bar.Offset), bar.Y)
                          : QPoint(bar.X, SurfaceCoordinate(int64_t{bar.Y} + bar.Offset));
    p.drawImage(at, thumb);
  }
}

void TSkinForm::PaintDisplays(QImage& canvas) {
  for (const DisplayInfoRec& d : displays_) {
    if (d.Style == "Number") {
      DrawNumbers(d.X, d.Y, d.Text);
    } else if (d.Style == "Text") {
      DrawBitmapText(d.X, d.Y, d.Text);
    } else if (d.Font && !d.Text.empty()) {
      // Font text on a transparent background, over the face, its point
      // sizes at 96 logical pixels per inch whatever image the canvas began as.
      canvas.setDotsPerMeterX(3780 * faceScale_);
      canvas.setDotsPerMeterY(3780 * faceScale_);
      QPainter p(&canvas);
      p.setFont(d.Font->font);
      p.setPen(d.Font->color);
      p.setBackgroundMode(Qt::TransparentMode);
      const int x = SurfaceCoordinate(d.X), y = SurfaceCoordinate(d.Y);
      p.drawText(QRect(x, y, std::max(1, canvas.width() - x), std::max(1, canvas.height() - y)),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                 QString::fromStdString(d.Text));
    }
  }
}

void TSkinForm::CopyCell(const QImage& strip, const QRect& from, const QPoint& to) {
  if (from.isEmpty()) return;
  QImage& canvas = Picture();
  QPainter p(&canvas);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(to, strip, from);
  p.end();
  ApplyOutlineAlpha(canvas, outlineAlpha_, QRect(to, from.size()));
  update(QRect(to, from.size()));
}

void TSkinForm::DrawNumbers(int x, int y, const std::string& s) {
  const int w = numbersBitmap_.width() / 11;
  const int h = numbersBitmap_.height();
  if (w == 0 || h == 0) return;  // an empty strip draws nothing
  for (size_t i = 0; i < s.size(); ++i) {
    const size_t found = kNumberCells.find(s[i]);
    const int c = found == std::string_view::npos ? 0 : static_cast<int>(found);
    CopyCell(numbersBitmap_, QRect(c * w, 0, w, h), CellAt(x, y, i, w));
  }
}

void TSkinForm::DrawBitmapText(int x, int y, const std::string& s) {
  const int w = textBitmap_.width() / 30;
  const int h = textBitmap_.height() / 3;
  if (w == 0 || h == 0) return;
  for (size_t i = 0; i < s.size(); ++i) {
    int row = 1, column = 10;  // the blank
    for (int r = 0; r < 3; ++r) {
      const size_t found = kTextRows[r].find(s[i]);
      if (found != std::string_view::npos) {
        row = r;
        column = static_cast<int>(found);
        break;
      }
    }
    CopyCell(textBitmap_, QRect(column * w, row * h, w, h), CellAt(x, y, i, w));
  }
}

}  // namespace lugatim::skin
