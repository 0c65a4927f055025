#pragma once
// Writers of small Windows metafiles: a placeable WMF and an EMF, one logical
// unit per pixel at 96 dots per inch, so that a picture drawn on a W x H grid
// has a frame of exactly W x H pixels. They serve the artwork tool's demo
// banners and the metafile tests; they draw filled rectangles, rounded
// rectangles, ellipses, polygons and single lines of text, nothing more.

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

namespace lugatim::codecs {

// The drawing commands both writers take. Shapes are filled with the colour
// and have no outline; text is drawn with its baseline's left end at (x, y).
class TMetafileWriter {
 public:
  virtual ~TMetafileWriter() = default;
  virtual void FillRect(const QRect& rect, QColor color) = 0;
  virtual void FillRoundRect(const QRect& rect, int radius, QColor color) = 0;
  virtual void FillEllipse(const QRect& rect, QColor color) = 0;
  virtual void FillPolygon(const std::vector<QPoint>& points, QColor color) = 0;
  // pixelHeight: the em height; family: a font family name (ASCII).
  virtual void Text(QPoint baseline, const QString& text, int pixelHeight, bool bold,
                    const QString& family, QColor color) = 0;
  // The finished file.
  virtual QByteArray Finish() = 0;
};

// A placeable WMF: bounding box 0,0 to width,height at 96 units per inch.
// Text is written in Windows-1252, so it should keep to Latin-1 letters.
class TWmfWriter : public TMetafileWriter {
 public:
  TWmfWriter(int width, int height);
  void FillRect(const QRect& rect, QColor color) override;
  void FillRoundRect(const QRect& rect, int radius, QColor color) override;
  void FillEllipse(const QRect& rect, QColor color) override;
  void FillPolygon(const std::vector<QPoint>& points, QColor color) override;
  void Text(QPoint baseline, const QString& text, int pixelHeight, bool bold, const QString& family,
            QColor color) override;
  QByteArray Finish() override;

  // Appends one record as it stands: function number and 16-bit parameters.
  void Record(uint16_t function, const std::vector<uint16_t>& params);

 private:
  void Replace(int& selected, uint16_t function, const std::vector<uint16_t>& params);
  void SelectBrush(QColor color);
  int width_, height_;
  QByteArray records_;
  uint32_t maxRecordWords_ = 3;
  int selectedBrush_ = 0, selectedFont_ = 0;  // their object slots; 0: none yet
};

// An EMF whose frame rectangle is width x height pixels at 96 dots per inch.
class TEmfWriter : public TMetafileWriter {
 public:
  TEmfWriter(int width, int height);
  void FillRect(const QRect& rect, QColor color) override;
  void FillRoundRect(const QRect& rect, int radius, QColor color) override;
  void FillEllipse(const QRect& rect, QColor color) override;
  void FillPolygon(const std::vector<QPoint>& points, QColor color) override;
  void Text(QPoint baseline, const QString& text, int pixelHeight, bool bold, const QString& family,
            QColor color) override;
  QByteArray Finish() override;

  // Appends one record: its type and its 32-bit parameters (the size is added).
  void Record(uint32_t type, const std::vector<uint32_t>& params);

 private:
  void Replace(int& selected, uint32_t type, std::vector<uint32_t> params);
  void SelectBrush(QColor color);
  int width_, height_;
  QByteArray records_;
  uint32_t recordCount_ = 0;
  int selectedBrush_ = 0, selectedFont_ = 0;
};

}  // namespace lugatim::codecs
