#include "codecs/metafile/MetafileRender.h"

#include <emf2svg.h>
#include <gd.h>  // libwmf's own gd, from its include/libwmf/gd folder
#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "codecs/CodecError.h"

namespace lugatim::codecs {
namespace {

void CheckSize(int width, int height, const char* kind) {
  if (width <= 0 || height <= 0)
    throw EInvalidGraphic(base::Format("%s picture has an empty frame", kind));
  if (width > kMaxMetafileSide || height > kMaxMetafileSide ||
      static_cast<qint64>(width) * height > kMaxMetafilePixels)
    throw EInvalidGraphic(
        base::Format("%s picture is too large (%d x %d pixels)", kind, width, height));
}

// Draws the SVG text over a transparent width x height image.
QImage DrawSvg(const QByteArray& svg, int width, int height, const char* kind) {
  QSvgRenderer renderer(svg);
  if (!renderer.isValid())
    throw EInvalidGraphic(base::Format("%s picture is not valid (no drawing produced)", kind));
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) throw EInvalidGraphic(base::Format("%s picture is too large", kind));
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    renderer.render(&painter, QRectF(0, 0, width, height));
  }
  return image.convertToFormat(QImage::Format_ARGB32);
}

// libwmf's API, destroyed (with every block it allocated) on every path.
struct WmfApiDeleter {
  void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

// libwmf measures text with the fonts of its map, which names the 35
// PostScript fonts; every face falls back to one of them. They are mapped
// onto the DejaVu faces (Debian's fonts-dejavu-core).
char kFontDir[] = "/usr/share/fonts/truetype/dejavu";
char* kFontDirs[] = {kFontDir, nullptr};

#define LUGATIM_FONT(ps, file) \
  { const_cast<char*>(ps), const_cast<char*>(file), FT_ENCODING_NONE }
wmfMapping kPsFonts[] = {LUGATIM_FONT("Times-Roman", "DejaVuSerif.ttf"),
                         LUGATIM_FONT("Times-Italic", "DejaVuSerif-Italic.ttf"),
                         LUGATIM_FONT("Times-Bold", "DejaVuSerif-Bold.ttf"),
                         LUGATIM_FONT("Times-BoldItalic", "DejaVuSerif-BoldItalic.ttf"),
                         LUGATIM_FONT("Helvetica", "DejaVuSans.ttf"),
                         LUGATIM_FONT("Helvetica-Oblique", "DejaVuSans-Oblique.ttf"),
                         LUGATIM_FONT("Helvetica-Bold", "DejaVuSans-Bold.ttf"),
                         LUGATIM_FONT("Helvetica-BoldOblique", "DejaVuSans-BoldOblique.ttf"),
                         LUGATIM_FONT("Courier", "DejaVuSansMono.ttf"),
                         LUGATIM_FONT("Courier-Oblique", "DejaVuSansMono-Oblique.ttf"),
                         LUGATIM_FONT("Courier-Bold", "DejaVuSansMono-Bold.ttf"),
                         LUGATIM_FONT("Courier-BoldOblique", "DejaVuSansMono-BoldOblique.ttf"),
                         LUGATIM_FONT("Symbol", "DejaVuSans.ttf"),
                         {nullptr, nullptr, FT_ENCODING_NONE}};
#undef LUGATIM_FONT

// The bitmap device starts every page on opaque white; a banner is
// transparent where the metafile draws nothing. The page is made fully
// transparent right after the device has set it up (the device keeps its
// page as the first member of its private data; the page is checked to be
// the true-colour image of the frame's size before it is touched).
void (*gdDeviceBegin)(wmfAPI*) = nullptr;

void TransparentPageBegin(wmfAPI* api) {
  gdDeviceBegin(api);
  if (api->err != wmf_E_None) return;
  wmf_gd_t* device = WMF_GD_GetData(api);
  if (device->gd_data == nullptr) return;
  gdImage* page = *static_cast<gdImage**>(device->gd_data);
  if (page == nullptr || !page->trueColor || page->tpixels == nullptr ||
      page->sx != static_cast<int>(device->width) || page->sy != static_cast<int>(device->height))
    return;
  for (int y = 0; y < page->sy; ++y)
    for (int x = 0; x < page->sx; ++x)
      page->tpixels[y][x] = gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);
}

// The frame in libwmf's page units (points) and in pixels at 96 dpi: a
// placeable metafile's bounding box; otherwise the extent libwmf finds by
// scanning the records.
struct WmfFrame {
  wmfD_Rect bbox;
  unsigned width = 0, height = 0;
};

double Overlap(const wmfD_Rect& a, const wmfD_Rect& b) {
  const double w = std::min(a.BR.x, b.BR.x) - std::max(a.TL.x, b.TL.x);
  const double h = std::min(a.BR.y, b.BR.y) - std::max(a.TL.y, b.TL.y);
  return w > 0 && h > 0 ? w * h : 0;
}

WmfFrame FrameOf(wmfAPI* api, const wmfD_Rect& scanned) {
  WmfFrame frame;
  const wmfPlaceableMetaHeader& p = api->PlaceableMetaHeader;
  if (api->File->placeable && p.Inch > 0 && p.Right > p.Left && p.Bottom > p.Top) {
    // libwmf places logical coordinates relative to the window origin.
    // Files that set the origin to the box's corner (the usual way) draw
    // from page (0, 0); files that leave it at 0 draw at the box's own
    // coordinates. The box goes where the drawing is.
    const double toPoints = 72.0 / p.Inch;
    const auto width = static_cast<float>((p.Right - p.Left) * toPoints);
    const auto height = static_cast<float>((p.Bottom - p.Top) * toPoints);
    const wmfD_Rect atOrigin{{0, 0}, {width, height}};
    const auto left = static_cast<float>(p.Left * toPoints);
    const auto top = static_cast<float>(p.Top * toPoints);
    const wmfD_Rect atBox{{left, top}, {left + width, top + height}};
    frame.bbox = Overlap(scanned, atBox) > Overlap(scanned, atOrigin) ? atBox : atOrigin;
    frame.width = static_cast<unsigned>(std::lround((p.Right - p.Left) * 96.0 / p.Inch));
    frame.height = static_cast<unsigned>(std::lround((p.Bottom - p.Top) * 96.0 / p.Inch));
  } else {
    frame.bbox = scanned;
    if (wmf_display_size(api, &frame.width, &frame.height, 96, 96) != wmf_E_None)
      frame.width = frame.height = 0;
  }
  return frame;
}

// libwmf sizes its record buffer by the header's largest-record field
// before it reads a record: a record larger than the file is refused here.
void CheckWmfHeader(std::string_view data) {
  size_t header = 0;
  if (data.size() >= 4 && qFromLittleEndian<quint32>(data.data()) == 0x9AC6CDD7) header = 22;
  if (data.size() < header + 18)
    throw EInvalidGraphic("WMF picture is not valid (no metafile header)");
  const auto maxRecordWords = qFromLittleEndian<quint32>(data.data() + header + 12);
  if (static_cast<uint64_t>(maxRecordWords) * 2 > data.size())
    throw EInvalidGraphic("WMF picture is not valid (a record larger than the file)");
}

QImage RenderWmf(std::string_view data) {
  CheckWmfHeader(data);
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  options.fontdirs = kFontDirs;
  options.font.ps = kPsFonts;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP |
                              WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  wmfAPI* raw = nullptr;
  if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
    if (raw != nullptr) wmf_api_destroy(raw);
    throw EInvalidGraphic("WMF decoder could not be started");
  }
  std::unique_ptr<wmfAPI, WmfApiDeleter> api(raw);
  auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
  gdDeviceBegin = functions->device_begin;
  functions->device_begin = TransparentPageBegin;

  // libwmf reads the buffer without writing it; its API is not const.
  std::string bytes(data);
  if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()),
                   static_cast<long>(bytes.size())) != wmf_E_None)
    throw EInvalidGraphic("WMF picture is not valid (no metafile header)");
  wmfD_Rect scanned{};
  const wmf_error_t scan = wmf_scan(api.get(), 0, &scanned);
  if (scan == wmf_E_InsMem) throw std::bad_alloc();
  if (scan != wmf_E_None)
    throw EInvalidGraphic("WMF picture is not valid (its records cannot be read)");
  const WmfFrame frame = FrameOf(api.get(), scanned);
  if (frame.width > static_cast<unsigned>(kMaxMetafileSide) ||
      frame.height > static_cast<unsigned>(kMaxMetafileSide))
    throw EInvalidGraphic(
        base::Format("WMF picture is too large (%u x %u pixels)", frame.width, frame.height));
  CheckSize(static_cast<int>(frame.width), static_cast<int>(frame.height), "WMF");

  wmf_gd_t* device = WMF_GD_GetData(api.get());
  device->type = wmf_gd_image;
  device->bbox = frame.bbox;
  device->width = frame.width;
  device->height = frame.height;
  wmfD_Rect bbox = frame.bbox;
  const wmf_error_t play = wmf_play(api.get(), 0, &bbox);
  if (play == wmf_E_InsMem) throw std::bad_alloc();
  if (play != wmf_E_None || device->gd_image == nullptr)
    throw EInvalidGraphic("WMF picture is not valid (its records cannot be played)");
  // The page is handed over to the caller, and libwmf exports no way to
  // destroy it: its true-colour page is the image, its row table and its
  // contiguous pixels, each one allocation, freed here when done.
  std::unique_ptr<gdImage, void (*)(gdImage*)> page(static_cast<gdImage*>(device->gd_image),
                                                    [](gdImage* im) {
                                                      std::free(im->_tpixels);
                                                      std::free(im->tpixels);
                                                      std::free(im);
                                                    });
  device->gd_image = nullptr;
  const int* pixels = wmf_gd_image_pixels(page.get());
  if (pixels == nullptr) throw std::bad_alloc();

  // gd's true colour: 7-bit alpha (0 opaque, 127 transparent), then R, G, B.
  QImage image(static_cast<int>(frame.width), static_cast<int>(frame.height),
               QImage::Format_ARGB32);
  if (image.isNull()) throw std::bad_alloc();
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const int* row = pixels + static_cast<size_t>(y) * frame.width;
    for (int x = 0; x < image.width(); ++x) {
      const auto p = static_cast<unsigned>(row[x]);
      const unsigned alpha = 127 - std::min(127U, (p >> 24) & 0x7F);
      line[x] = qRgba(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>(p & 0xFF), static_cast<int>((alpha * 255 + 63) / 127));
    }
  }
  return image;
}

int32_t Int32At(std::string_view data, size_t offset) {
  return qFromLittleEndian<qint32>(data.data() + offset);
}

// libemf2svg reads the header's description up to a terminating zero when
// its length is 0, past the record and the buffer if none comes. A
// description that is empty or does not lie inside the header record is
// dropped from the copy handed over (it is text about the picture, never
// drawn).
void ForgetStrayDescription(std::string& bytes) {
  const auto headerSize = static_cast<uint32_t>(Int32At(bytes, 4));
  const auto chars = static_cast<uint32_t>(Int32At(bytes, 60));
  const auto offset = static_cast<uint32_t>(Int32At(bytes, 64));
  const bool inside = chars > 0 && offset >= 88 && headerSize <= bytes.size() &&
                      offset <= headerSize && chars <= (headerSize - offset) / 2;
  if (offset != 0 && !inside) std::memset(bytes.data() + 60, 0, 8);
}

QImage RenderEmf(std::string_view data) {
  const QSize size = EmfFrameSize(data);
  generatorOptions options{};
  static char nameSpace[] = "svg";
  options.nameSpace = nameSpace;
  options.verbose = false;
  options.emfplus = true;
  options.svgDelimiter = true;
  options.imgWidth = size.width();
  options.imgHeight = size.height();
  std::string bytes(data);
  ForgetStrayDescription(bytes);
  char* out = nullptr;
  size_t length = 0;
  const int ok = emf2svg(bytes.data(), bytes.size(), &out, &length, &options);
  std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
  if (ok == 0 || out == nullptr || length == 0)
    throw EInvalidGraphic("EMF picture is not valid (its records cannot be played)");
  return DrawSvg(QByteArray(out, static_cast<qsizetype>(length)), size.width(), size.height(),
                 "EMF");
}

}  // namespace

QSize EmfFrameSize(std::string_view data) {
  // EMR_HEADER: type 1, size, bounds (16 bytes), frame (16 bytes), signature.
  if (data.size() < 88 || Int32At(data, 0) != 1 || Int32At(data, 40) != 0x464D4520)
    throw EInvalidGraphic("EMF picture is not valid (no metafile header)");
  const double left = Int32At(data, 24), top = Int32At(data, 28);
  const double right = Int32At(data, 32), bottom = Int32At(data, 36);
  const double width = std::round((right - left) * 96.0 / 2540.0);
  const double height = std::round((bottom - top) * 96.0 / 2540.0);
  if (!(width >= 1 && height >= 1)) throw EInvalidGraphic("EMF picture has an empty frame");
  if (width > kMaxMetafileSide || height > kMaxMetafileSide)
    throw EInvalidGraphic(
        base::Format("EMF picture is too large (%.0f x %.0f pixels)", width, height));
  CheckSize(static_cast<int>(width), static_cast<int>(height), "EMF");
  return {static_cast<int>(width), static_cast<int>(height)};
}

QImage RenderMetafile(std::string_view data, TMetafileKind kind) {
  return kind == TMetafileKind::kWmf ? RenderWmf(data) : RenderEmf(data);
}

}  // namespace lugatim::codecs
