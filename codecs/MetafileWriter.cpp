#include "codecs/MetafileWriter.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace lugatim::codecs {
namespace {

uint32_t ColorRef(QColor color) {
  return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8 |
         static_cast<uint32_t>(color.blue()) << 16;
}

uint16_t Lo(uint32_t v) {
  return static_cast<uint16_t>(v & 0xFFFF);
}
uint16_t Hi(uint32_t v) {
  return static_cast<uint16_t>(v >> 16);
}
uint16_t S16(int v) {
  return static_cast<uint16_t>(static_cast<int16_t>(v));
}

void Put16(QByteArray& out, uint16_t v) {
  char b[2];
  qToLittleEndian(v, b);
  out.append(b, 2);
}

void Put32(QByteArray& out, uint32_t v) {
  char b[4];
  qToLittleEndian(v, b);
  out.append(b, 4);
}

// Bytes packed into 16-bit words, zero-padded to an even length.
std::vector<uint16_t> Words(const QByteArray& bytes) {
  std::vector<uint16_t> words;
  for (qsizetype i = 0; i < bytes.size(); i += 2) {
    const auto lo = static_cast<uint8_t>(bytes[i]);
    const auto hi = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) : 0;
    words.push_back(static_cast<uint16_t>(lo | hi << 8));
  }
  return words;
}

// Bytes packed into 32-bit words, zero-padded to a multiple of four.
std::vector<uint32_t> Dwords(const QByteArray& bytes) {
  std::vector<uint32_t> dwords;
  for (qsizetype i = 0; i < bytes.size(); i += 4) {
    uint32_t v = 0;
    for (int k = 0; k < 4 && i + k < bytes.size(); ++k)
      v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + k])) << (8 * k);
    dwords.push_back(v);
  }
  return dwords;
}

// A font face name as the fixed 32-character field, NUL-terminated.
QByteArray FaceName(const QString& family, bool wide) {
  QByteArray out;
  const QString name = family.left(31);
  for (int i = 0; i < 32; ++i) {
    const uint16_t c = i < name.size() ? name[i].unicode() : 0;
    out.append(static_cast<char>(c & 0xFF));
    if (wide) out.append(static_cast<char>(c >> 8));
  }
  return out;
}

constexpr uint16_t kWmfSetWindowOrg = 0x020B, kWmfSetWindowExt = 0x020C, kWmfSetBkMode = 0x0102,
                   kWmfSetTextColor = 0x0209, kWmfSetTextAlign = 0x012E, kWmfCreatePen = 0x02FA,
                   kWmfCreateBrush = 0x02FC, kWmfCreateFont = 0x02FB, kWmfSelectObject = 0x012D,
                   kWmfDeleteObject = 0x01F0, kWmfRectangle = 0x041B, kWmfRoundRect = 0x061C,
                   kWmfEllipse = 0x0418, kWmfPolygon = 0x0324, kWmfTextOut = 0x0521;
constexpr uint16_t kTransparent = 1, kBaseline = 24;
// Object slots: the null pen stays in slot 0. A new brush or font takes the
// lowest free slot and is selected; only then is the one it replaces
// deleted, since a selected object must not be deleted.
constexpr int kWmfSlots = 4;

}  // namespace

TWmfWriter::TWmfWriter(int width, int height) : width_(width), height_(height) {
  Record(kWmfSetWindowOrg, {0, 0});
  Record(kWmfSetWindowExt, {S16(height), S16(width)});
  Record(kWmfSetBkMode, {kTransparent});
  Record(kWmfSetTextAlign, {kBaseline});
  Record(kWmfCreatePen, {5 /* PS_NULL */, 0, 0, 0, 0});
  Record(kWmfSelectObject, {0});
}

void TWmfWriter::Record(uint16_t function, const std::vector<uint16_t>& params) {
  const auto words = static_cast<uint32_t>(3 + params.size());
  maxRecordWords_ = std::max(maxRecordWords_, words);
  Put32(records_, words);
  Put16(records_, function);
  for (uint16_t p : params) Put16(records_, p);
}

void TWmfWriter::Replace(int& selected, uint16_t function, const std::vector<uint16_t>& params) {
  int slot = 1;
  while (slot == selectedBrush_ || slot == selectedFont_) ++slot;
  Record(function, params);
  Record(kWmfSelectObject, {static_cast<uint16_t>(slot)});
  if (selected > 0) Record(kWmfDeleteObject, {static_cast<uint16_t>(selected)});
  selected = slot;
}

void TWmfWriter::SelectBrush(QColor color) {
  const uint32_t ref = ColorRef(color);
  Replace(selectedBrush_, kWmfCreateBrush, {0 /* BS_SOLID */, Lo(ref), Hi(ref), 0});
}

void TWmfWriter::FillRect(const QRect& r, QColor color) {
  SelectBrush(color);
  Record(kWmfRectangle, {S16(r.y() + r.height()), S16(r.x() + r.width()), S16(r.y()), S16(r.x())});
}

void TWmfWriter::FillRoundRect(const QRect& r, int radius, QColor color) {
  SelectBrush(color);
  Record(kWmfRoundRect, {S16(2 * radius), S16(2 * radius), S16(r.y() + r.height()),
                         S16(r.x() + r.width()), S16(r.y()), S16(r.x())});
}

void TWmfWriter::FillEllipse(const QRect& r, QColor color) {
  SelectBrush(color);
  Record(kWmfEllipse, {S16(r.y() + r.height()), S16(r.x() + r.width()), S16(r.y()), S16(r.x())});
}

void TWmfWriter::FillPolygon(const std::vector<QPoint>& points, QColor color) {
  SelectBrush(color);
  std::vector<uint16_t> params{static_cast<uint16_t>(points.size())};
  for (const QPoint& p : points) {
    params.push_back(S16(p.x()));
    params.push_back(S16(p.y()));
  }
  Record(kWmfPolygon, params);
}

void TWmfWriter::Text(QPoint baseline, const QString& text, int pixelHeight, bool bold,
                      const QString& family, QColor color) {
  // LOGFONT: height (negative: the em height), width, escapement,
  // orientation, weight, then eight one-byte fields and the face name.
  std::vector<uint16_t> font{S16(-pixelHeight), 0, 0, 0, static_cast<uint16_t>(bold ? 700 : 400)};
  QByteArray tail(8, '\0');
  tail[3] = 0;  // ANSI_CHARSET
  tail[6] = 4;  // ANTIALIASED_QUALITY
  tail += FaceName(family, false);
  for (uint16_t w : Words(tail)) font.push_back(w);
  Replace(selectedFont_, kWmfCreateFont, font);
  const uint32_t ref = ColorRef(color);
  Record(kWmfSetTextColor, {Lo(ref), Hi(ref)});
  const QByteArray bytes = text.toLatin1();
  std::vector<uint16_t> params{static_cast<uint16_t>(bytes.size())};
  for (uint16_t w : Words(bytes)) params.push_back(w);
  params.push_back(S16(baseline.y()));
  params.push_back(S16(baseline.x()));
  Record(kWmfTextOut, params);
}

QByteArray TWmfWriter::Finish() {
  QByteArray body = records_;
  Put32(body, 3);  // the end-of-file record
  Put16(body, 0);

  QByteArray out;
  // The placeable header: key, handle, bounding box, units per inch,
  // reserved, and the XOR of its first ten 16-bit words.
  const std::vector<uint16_t> placeable{0xCDD7,      0x9AC6,       0,  0, 0,
                                        S16(width_), S16(height_), 96, 0, 0};
  uint16_t checksum = 0;
  for (uint16_t w : placeable) {
    Put16(out, w);
    checksum ^= w;
  }
  Put16(out, checksum);
  // The header record: in-memory type, 9 words, version 3.0, the file's
  // size in words, the object count, the largest record, no parameters.
  const auto totalWords = static_cast<uint32_t>(9 + body.size() / 2);
  Put16(out, 1);
  Put16(out, 9);
  Put16(out, 0x0300);
  Put32(out, totalWords);
  Put16(out, kWmfSlots);
  Put32(out, maxRecordWords_);
  Put16(out, 0);
  return out + body;
}

namespace {

constexpr uint32_t kEmrHeader = 1, kEmrEof = 14, kEmrSetBkMode = 18, kEmrSetTextAlign = 22,
                   kEmrSetTextColor = 24, kEmrSelectObject = 37, kEmrCreateBrush = 39,
                   kEmrDeleteObject = 40, kEmrEllipse = 42, kEmrRectangle = 43, kEmrRoundRect = 44,
                   kEmrExtCreateFont = 82, kEmrExtTextOutW = 84, kEmrPolygon16 = 86;
constexpr uint32_t kNullPen = 0x80000008;
// The reference device: 1920 x 1080 pixels on 508 x 285.75 mm, 96 dpi.
constexpr uint32_t kDeviceW = 1920, kDeviceH = 1080;

uint32_t U(int v) {
  return static_cast<uint32_t>(v);
}

uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

// Hundredths of a millimetre at 96 dots per inch.
int HundredthsMm(int pixels) {
  return static_cast<int>(std::lround(pixels * 2540.0 / 96.0));
}

}  // namespace

TEmfWriter::TEmfWriter(int width, int height) : width_(width), height_(height) {
  Record(kEmrSetBkMode, {kTransparent});
  Record(kEmrSetTextAlign, {kBaseline});
  Record(kEmrSelectObject, {kNullPen});
}

void TEmfWriter::Record(uint32_t type, const std::vector<uint32_t>& params) {
  Put32(records_, type);
  Put32(records_, static_cast<uint32_t>(8 + 4 * params.size()));
  for (uint32_t p : params) Put32(records_, p);
  ++recordCount_;
}

// As in the WMF: select the new object, then delete the one it replaces.
void TEmfWriter::Replace(int& selected, uint32_t type, std::vector<uint32_t> params) {
  int slot = 1;
  while (slot == selectedBrush_ || slot == selectedFont_) ++slot;
  params.insert(params.begin(), static_cast<uint32_t>(slot));
  Record(type, params);
  Record(kEmrSelectObject, {static_cast<uint32_t>(slot)});
  if (selected > 0) Record(kEmrDeleteObject, {static_cast<uint32_t>(selected)});
  selected = slot;
}

void TEmfWriter::SelectBrush(QColor color) {
  Replace(selectedBrush_, kEmrCreateBrush, {0 /* BS_SOLID */, ColorRef(color), 0});
}

void TEmfWriter::FillRect(const QRect& r, QColor color) {
  SelectBrush(color);
  Record(kEmrRectangle, {U(r.x()), U(r.y()), U(r.x() + r.width()), U(r.y() + r.height())});
}

void TEmfWriter::FillRoundRect(const QRect& r, int radius, QColor color) {
  SelectBrush(color);
  Record(kEmrRoundRect, {U(r.x()), U(r.y()), U(r.x() + r.width()), U(r.y() + r.height()),
                         U(2 * radius), U(2 * radius)});
}

void TEmfWriter::FillEllipse(const QRect& r, QColor color) {
  SelectBrush(color);
  Record(kEmrEllipse, {U(r.x()), U(r.y()), U(r.x() + r.width()), U(r.y() + r.height())});
}

void TEmfWriter::FillPolygon(const std::vector<QPoint>& points, QColor color) {
  SelectBrush(color);
  QRect bounds;
  for (const QPoint& p : points) bounds |= QRect(p, QSize(1, 1));
  std::vector<uint32_t> params{U(bounds.left()), U(bounds.top()), U(bounds.right()),
                               U(bounds.bottom()), static_cast<uint32_t>(points.size())};
  for (const QPoint& p : points) params.push_back(Lo(U(p.x())) | U(Lo(U(p.y()))) << 16);
  Record(kEmrPolygon16, params);
}

void TEmfWriter::Text(QPoint baseline, const QString& text, int pixelHeight, bool bold,
                      const QString& family, QColor color) {
  // EXTCREATEFONTINDIRECTW with a full ENUMLOGFONTEXDV-sized body: LOGFONTW
  // (92 bytes) followed by zeroed full name, style, script and design
  // vector fields, 320 bytes in all.
  std::vector<uint32_t> font{U(-pixelHeight), 0, 0, 0, U(bold ? 700 : 400)};
  QByteArray bytes(8, '\0');
  bytes[6] = 4;  // ANTIALIASED_QUALITY
  bytes += FaceName(family, true);
  for (uint32_t d : Dwords(bytes)) font.push_back(d);
  font.resize(320 / 4, 0);
  Replace(selectedFont_, kEmrExtCreateFont, font);
  Record(kEmrSetTextColor, {ColorRef(color)});

  // EXTTEXTOUTW: bounds, graphics mode, scales, then the EMRTEXT with the
  // UTF-16 string and one advance per character after it.
  const auto chars = static_cast<uint32_t>(text.size());
  const uint32_t stringOffset = 76;
  const uint32_t dxOffset = stringOffset + 4 * ((2 * chars + 3) / 4);
  const int advance = std::max(1, pixelHeight * 11 / 20);
  const QRect box(baseline.x(), baseline.y() - pixelHeight, advance * text.size(),
                  pixelHeight * 5 / 4);
  std::vector<uint32_t> params{U(box.left()),
                               U(box.top()),
                               U(box.right()),
                               U(box.bottom()),
                               1 /* GM_COMPATIBLE */,
                               FloatBits(1.0F),
                               FloatBits(1.0F),
                               U(baseline.x()),
                               U(baseline.y()),
                               chars,
                               stringOffset,
                               0,
                               U(box.left()),
                               U(box.top()),
                               U(box.right()),
                               U(box.bottom()),
                               dxOffset};
  QByteArray utf16;
  for (QChar c : text) {
    utf16.append(static_cast<char>(c.unicode() & 0xFF));
    utf16.append(static_cast<char>(c.unicode() >> 8));
  }
  for (uint32_t d : Dwords(utf16)) params.push_back(d);
  params.resize(dxOffset / 4 - 2, 0);
  for (uint32_t i = 0; i < chars; ++i) params.push_back(U(advance));
  Record(kEmrExtTextOutW, params);
}

QByteArray TEmfWriter::Finish() {
  QByteArray body = records_;
  Put32(body, kEmrEof);
  Put32(body, 20);
  Put32(body, 0);   // no palette entries
  Put32(body, 16);  // their offset
  Put32(body, 20);  // the record's size again

  constexpr uint32_t kHeaderSize = 108;
  QByteArray out;
  Put32(out, kEmrHeader);
  Put32(out, kHeaderSize);
  for (int v : {0, 0, width_ - 1, height_ - 1}) Put32(out, U(v));  // bounds, inclusive
  for (int v : {0, 0, HundredthsMm(width_), HundredthsMm(height_)}) Put32(out, U(v));  // frame
  Put32(out, 0x464D4520);                                                              // " EMF"
  Put32(out, 0x00010000);
  Put32(out, static_cast<uint32_t>(kHeaderSize + body.size()));
  Put32(out, recordCount_ + 2);
  Put16(out, 4);  // handles: slot 0 and the object slots
  Put16(out, 0);
  Put32(out, 0);  // no description
  Put32(out, 0);
  Put32(out, 0);  // no palette
  Put32(out, kDeviceW);
  Put32(out, kDeviceH);
  Put32(out, 508);  // millimetres
  Put32(out, 286);
  Put32(out, 0);  // no pixel format
  Put32(out, 0);
  Put32(out, 0);       // not OpenGL
  Put32(out, 508000);  // micrometres
  Put32(out, 285750);
  return out + body;
}

}  // namespace lugatim::codecs
