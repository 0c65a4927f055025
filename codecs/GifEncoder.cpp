#include "codecs/GifEncoder.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "codecs/CodecError.h"

namespace lugatim::codecs {
namespace {

void Put16(QByteArray& out, int v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}

int TableBits(int colorCount) {
  int bits = 1;
  while ((1 << bits) < colorCount) ++bits;
  return bits;
}

void PutColorTable(QByteArray& out, const QImage& image, int bits) {
  const int entries = 1 << bits;
  for (int i = 0; i < entries; ++i) {
    const QRgb c = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
    out.append(static_cast<char>(qRed(c)));
    out.append(static_cast<char>(qGreen(c)));
    out.append(static_cast<char>(qBlue(c)));
  }
}

// Packs variable-width codes least significant bit first into data
// sub-blocks of at most 255 bytes.
class CodeWriter {
 public:
  explicit CodeWriter(QByteArray& out) : out_(out) {}
  void Put(int code, int width) {
    accumulator_ |= static_cast<uint32_t>(code) << bitCount_;
    bitCount_ += width;
    while (bitCount_ >= 8) {
      Byte(static_cast<char>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      bitCount_ -= 8;
    }
  }
  void Finish() {
    if (bitCount_ > 0) Byte(static_cast<char>(accumulator_ & 0xFF));
    Flush();
    out_.append('\0');  // block terminator
  }

 private:
  void Byte(char b) {
    block_.append(b);
    if (block_.size() == 255) Flush();
  }
  void Flush() {
    if (block_.isEmpty()) return;
    out_.append(static_cast<char>(block_.size()));
    out_.append(block_);
    block_.clear();
  }
  QByteArray& out_;
  QByteArray block_;
  uint32_t accumulator_ = 0;
  int bitCount_ = 0;
};

void PutLzw(QByteArray& out, const QImage& image, int minCodeSize) {
  out.append(static_cast<char>(minCodeSize));
  CodeWriter writer(out);
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  QHash<uint32_t, int> table;  // (prefix code << 8 | byte) -> code
  int next = end + 1;
  int width = minCodeSize + 1;
  writer.Put(clear, width);
  int prefix = -1;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      const int k = row[x];
      if (prefix < 0) {
        prefix = k;
        continue;
      }
      const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | static_cast<uint32_t>(k);
      const auto found = table.constFind(key);
      if (found != table.constEnd()) {
        prefix = found.value();
        continue;
      }
      writer.Put(prefix, width);
      table.insert(key, next);
      if (next == (1 << width) && width < 12) ++width;
      if (++next == 4096) {
        // Table full: start afresh, as every decoder expects.
        writer.Put(clear, width);
        table.clear();
        next = end + 1;
        width = minCodeSize + 1;
      }
      prefix = k;
    }
  }
  if (prefix >= 0) writer.Put(prefix, width);
  writer.Put(end, width);
  writer.Finish();
}

// Median cut over the colour histogram: the box with the widest channel
// range is split at its weighted median until there are enough boxes; each
// box gives the weighted mean of its colours.
QVector<QRgb> MedianCut(const QHash<QRgb, int>& counts, int wanted) {
  struct Entry {
    int c[3];
    int n;
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(counts.size()));
  for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
    entries.push_back({{qRed(it.key()), qGreen(it.key()), qBlue(it.key())}, it.value()});
  struct Box {
    size_t begin, end;
  };
  const auto widest = [&entries](const Box& b, int* channel) {
    int best = -1;
    for (int ch = 0; ch < 3; ++ch) {
      int lo = 255, hi = 0;
      for (size_t i = b.begin; i < b.end; ++i)
        lo = std::min(lo, entries[i].c[ch]), hi = std::max(hi, entries[i].c[ch]);
      if (hi - lo > best) best = hi - lo, *channel = ch;
    }
    return best;
  };
  std::vector<Box> boxes{{0, entries.size()}};
  while (static_cast<int>(boxes.size()) < wanted) {
    int pick = -1, pickChannel = 0, pickRange = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      int ch = 0;
      const int range = widest(boxes[i], &ch);
      if (range > pickRange) pick = static_cast<int>(i), pickChannel = ch, pickRange = range;
    }
    if (pick < 0) break;
    Box& box = boxes[static_cast<size_t>(pick)];
    std::sort(entries.begin() + static_cast<long>(box.begin),
              entries.begin() + static_cast<long>(box.end),
              [pickChannel](const Entry& a, const Entry& b) {
                return a.c[pickChannel] < b.c[pickChannel];
              });
    long long total = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += entries[i].n;
    long long running = 0;
    size_t split = box.begin + 1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
      running += entries[i].n;
      split = i + 1;
      if (2 * running >= total) break;
    }
    const Box upper{split, box.end};
    box.end = split;
    boxes.push_back(upper);
  }
  QVector<QRgb> table;
  for (const Box& b : boxes) {
    long long sum[3] = {0, 0, 0}, n = 0;
    for (size_t i = b.begin; i < b.end; ++i) {
      for (int ch = 0; ch < 3; ++ch)
        sum[ch] += static_cast<long long>(entries[i].c[ch]) * entries[i].n;
      n += entries[i].n;
    }
    if (n > 0)
      table.push_back(qRgb(static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n),
                           static_cast<int>(sum[2] / n)));
  }
  return table;
}

}  // namespace

QByteArray EncodeGif(const std::vector<TGifEncodeFrame>& frames, const TGifEncodeOptions& options) {
  if (frames.empty()) throw EInvalidGraphic("A GIF needs at least one frame");
  for (const auto& f : frames) {
    if (f.image.format() != QImage::Format_Indexed8 || f.image.colorCount() < 1 ||
        f.image.colorCount() > 256)
      throw EInvalidGraphic("GIF frames must be indexed images of 1 to 256 colours");
  }
  const QImage& first = frames.front().image;
  const int width = options.width > 0 ? options.width : first.width();
  const int height = options.height > 0 ? options.height : first.height();
  const int globalBits = TableBits(first.colorCount());

  QByteArray out("GIF89a");
  Put16(out, width);
  Put16(out, height);
  out.append(static_cast<char>(0x80 | ((globalBits - 1) << 4) | (globalBits - 1)));
  out.append('\0');  // background colour index
  out.append('\0');  // no aspect ratio
  PutColorTable(out, first, globalBits);
  if (frames.size() > 1) {
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    Put16(out, options.loopCount);
    out.append('\0');
  }
  for (const auto& f : frames) {
    out.append("\x21\xF9\x04", 3);
    const bool transparent = f.transparentIndex >= 0 && f.transparentIndex < f.image.colorCount();
    out.append(static_cast<char>(((f.disposal & 7) << 2) | (transparent ? 1 : 0)));
    Put16(out, std::clamp(f.delayMs / 10, 0, 0xFFFF));
    out.append(static_cast<char>(transparent ? f.transparentIndex : 0));
    out.append('\0');

    out.append(',');
    Put16(out, f.left);
    Put16(out, f.top);
    Put16(out, f.image.width());
    Put16(out, f.image.height());
    const bool local = f.image.colorTable() != first.colorTable();
    const int bits = local ? TableBits(f.image.colorCount()) : globalBits;
    out.append(static_cast<char>(local ? (0x80 | (bits - 1)) : 0));
    if (local) PutColorTable(out, f.image, bits);
    PutLzw(out, f.image, std::max(2, bits));
  }
  out.append(';');
  return out;
}

QImage ToIndexed8(const QImage& image, int* transparentIndex, int maxColors) {
  maxColors = std::clamp(maxColors, 2, 256);
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  // Exact colours when they fit; otherwise a median-cut palette, every pixel
  // mapped to its nearest entry.
  QHash<QRgb, int> counts;
  bool anyTransparent = false;
  for (int y = 0; y < argb.height(); ++y) {
    const auto* px = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(px[x]) < 128) {
        anyTransparent = true;
        continue;
      }
      ++counts[px[x] | 0xFF000000u];
    }
  }
  const int room = anyTransparent ? maxColors - 1 : maxColors;
  QVector<QRgb> table;
  QHash<QRgb, int> exact;
  if (counts.size() <= room) {
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
      exact.insert(it.key(), static_cast<int>(table.size()));
      table.push_back(it.key());
    }
  } else {
    table = MedianCut(counts, room);
  }
  if (table.isEmpty()) table.push_back(qRgb(0, 0, 0));
  const auto nearest = [&table](QRgb c) {
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < table.size(); ++i) {
      const int dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]),
                db = qBlue(c) - qBlue(table[i]);
      const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
  };
  int transparent = -1;
  if (anyTransparent) {
    transparent = static_cast<int>(table.size());
    table.push_back(qRgb(255, 0, 255));
  }
  QImage indexed(argb.size(), QImage::Format_Indexed8);
  indexed.setColorTable(table);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* px = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    uchar* dst = indexed.scanLine(y);
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(px[x]) < 128) {
        dst[x] = static_cast<uchar>(transparent);
        continue;
      }
      const QRgb c = px[x] | 0xFF000000u;
      auto hit = exact.constFind(c);
      if (hit == exact.constEnd()) hit = exact.insert(c, nearest(c));
      dst[x] = static_cast<uchar>(hit.value());
    }
  }
  if (transparentIndex) *transparentIndex = transparent;
  return indexed;
}

}  // namespace lugatim::codecs
