// Loading a skin description and its images into the surface.

#include <QPainter>
#include <future>
#include <system_error>
#include <utility>

#include "base/IntText.h"
#include "codecs/Bmp.h"
#include "codecs/Gif.h"
#include "codecs/Jpeg.h"
#include "skin/IniText.h"
#include "skin/MaskRegion.h"
#include "skin/SkinForm.h"
#include "skin/SkinScale.h"
#include "skin/SplitFields.h"

namespace lugatim::skin {
namespace {

// A field of the description: hexadecimal only after "$" or "0x", as its
// keys are read.
int32_t StrToInt(std::string_view text) {
  return base::StrToInt(text, base::THexPrefixes::DollarOr0x);
}

std::string_view View(const QByteArray& bytes) {
  return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A count read from the description sizes an array; a negative one is a
// range error, as it would be for the array itself.
size_t ArraySize(int32_t count) {
  if (count < 0) throw base::Exception("Range check error");
  return static_cast<size_t>(count);
}

// A colour in the description's order: red in the low byte ($0000FF is red).
QColor DescriptionColor(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

QImage Decode(const std::string& type, const QByteArray& data) {
  if (type == "GIF") return codecs::DecodeGifFirstFrame(View(data));
  if (type == "BMP") return codecs::DecodeBmp(View(data));
  return codecs::DecodeJpeg(View(data));
}

// The slot takes the picture's size; what the picture leaves transparent
// shows the bitmap's white. An opaque picture is taken as it is.
void FillSlot(QImage& slot, const QImage& picture) {
  if (picture.format() == QImage::Format_RGB32 && picture.devicePixelRatio() == 1) {
    slot = picture;
    return;
  }
  if (slot.size() != picture.size() || slot.format() != QImage::Format_RGB32 ||
      slot.devicePixelRatio() != 1)
    slot = QImage(picture.size(), QImage::Format_RGB32);
  slot.fill(Qt::white);
  QPainter p(&slot);
  p.drawImage(0, 0, picture);
}

// The image a description names, decoded from the reader's resource.
QImage ReadImage(const TResourceReader& reader, const std::string& name) {
  const TImageResource res = ImageResourceOf(name);
  QImage slot;
  FillSlot(slot, Decode(res.type, ReadResource(reader, res.type, res.name)));
  return slot;
}

// The images a description names; each face defaults to the one before it.
struct TImageNames {
  std::string mask, up, down, on;
};

TImageNames ReadImageNames(const TIniText& ini) {
  TImageNames names;
  names.mask = ini.ReadString("BITMAPINFO", "MaskBitmap", "ERROR");
  names.up = ini.ReadString("BITMAPINFO", "MouseUpBitmap", names.mask);
  names.down = ini.ReadString("BITMAPINFO", "MouseDownBitmap", names.up);
  names.on = ini.ReadString("BITMAPINFO", "MouseOnBitmap", names.down);
  return names;
}

// All three faces at the scale, or none: faces of mixed scales would not
// line up on one canvas. The hover face is decoded on a second thread while
// this one decodes the normal face.
std::optional<TFaces> ReadScaledFaces(const TResourceReader& reader, const TImageNames& names,
                                      const QSize& maskSize, int scale) {
  const QSize size = maskSize * scale;
  const auto read =
      [&](const std::string& name) -> std::optional<std::pair<std::string, QByteArray>> {
    const TImageResource res = ImageResourceOf(name);
    std::optional<QByteArray> data =
        reader ? reader(res.type, ScaledResourceName(res.name, scale)) : std::nullopt;
    if (!data) return std::nullopt;
    return std::pair{res.type, *std::move(data)};
  };
  const auto decode = [scale](const std::pair<std::string, QByteArray>& file) {
    QImage slot;
    FillSlot(slot, Decode(file.first, file.second));
    slot.setDevicePixelRatio(scale);
    return slot;
  };
  const auto upFile = read(names.up);
  if (!upFile) return std::nullopt;
  const auto onFile = names.on == names.up ? upFile : read(names.on);
  if (!onFile) return std::nullopt;
  const auto downFile = names.down == names.up   ? upFile
                        : names.down == names.on ? onFile
                                                 : read(names.down);
  if (!downFile) return std::nullopt;
  std::future<QImage> onDecoded;
  if (names.on != names.up) onDecoded = std::async(std::launch::async, decode, *onFile);
  TFaces faces;
  faces.scale = scale;
  faces.up = decode(*upFile);
  faces.on = onDecoded.valid() ? onDecoded.get() : faces.up;
  faces.down = names.down == names.up   ? faces.up
               : names.down == names.on ? faces.on
                                        : decode(*downFile);
  if (faces.up.size() != size || faces.on.size() != size || faces.down.size() != size)
    return std::nullopt;
  return faces;
}

// The faces at the best scale the skin brings for the ratio; at 1x every
// face must be there.
TFaces ReadFaces(const TResourceReader& reader, const TImageNames& names, const QSize& maskSize,
                 double ratio) {
  for (const int scale : ScalesToTry(ratio)) {
    if (scale == 1) break;
    if (std::optional<TFaces> faces = ReadScaledFaces(reader, names, maskSize, scale))
      return *std::move(faces);
  }
  TFaces faces;
  faces.up = ReadImage(reader, names.up);
  faces.on = ReadImage(reader, names.on);
  faces.down = ReadImage(reader, names.down);
  return faces;
}

// The smooth outline's alpha for faces of faceScale, from the coarsest mask
// finer than the faces, which gives the edge its shades at the least cost;
// without one the finest there is still smooths the 1x steps. Null when the
// skin brings no larger mask.
QImage ReadOutlineAlpha(const TResourceReader& reader, const std::string& maskName,
                        const QSize& maskSize, const QColor& keyColor, const QColor& tolerance,
                        const QRegion& region, int faceScale) {
  std::vector<int> scales;
  for (int s = faceScale + 1; s <= kLargestImageScale; ++s) scales.push_back(s);
  for (int s = std::min(faceScale, kLargestImageScale); s > 1; --s) scales.push_back(s);
  const TImageResource res = ImageResourceOf(maskName);
  for (const int scale : scales) {
    const std::optional<QByteArray> data =
        reader ? reader(res.type, ScaledResourceName(res.name, scale)) : std::nullopt;
    if (!data) continue;
    const QImage fine = Decode(res.type, *data);
    if (fine.size() != maskSize * scale) continue;
    return SmoothOutlineAlpha(fine, keyColor, tolerance, region, maskSize, faceScale);
  }
  return QImage();
}

}  // namespace

// Runs on the worker thread: it touches nothing of the surface. Any failure
// leaves the work to LoadSkin, which meets it again and reports it where a
// load without this head start would.
std::unique_ptr<TSkinForm::TPreparedSkin> TSkinForm::PrepareSkin(const TResourceReader& reader,
                                                                 double ratio, QColor key,
                                                                 QColor tolerance, bool smooth) {
  try {
    auto skin = std::make_unique<TPreparedSkin>();
    skin->description = ReadResource(reader, "INI", "skin");
    skin->ratio = ratio;
    skin->keyColor = key;
    skin->tolerance = tolerance;
    skin->smoothOutline = smooth;
    const TImageNames names = ReadImageNames(TIniText(View(skin->description)));
    skin->mask = ReadImage(reader, names.mask);
    skin->faces = ReadFaces(reader, names, skin->mask.size(), ratio);
    skin->region = CreateRegionFromMask(skin->mask, key, tolerance);
    if (smooth && skin->region && !skin->region->isEmpty()) {
      skin->outlineAlpha = ReadOutlineAlpha(reader, names.mask, skin->mask.size(), key, tolerance,
                                            *skin->region, skin->faces.scale);
    }
    return skin;
  } catch (...) {
    return nullptr;
  }
}

void TSkinForm::BeginLoadSkin() {
  DropPreparedSkin();
  try {
    prepared_ = std::async(std::launch::async, PrepareSkin, resources_, PixelRatio(), keyColor_,
                           tolerance_, smoothOutline_);
  } catch (const std::system_error&) {
    // No thread to run on: LoadSkin does all the work itself.
    prepared_ = {};
  }
}

void TSkinForm::DropPreparedSkin() {
  if (prepared_.valid()) prepared_.get();
}

std::unique_ptr<TSkinForm::TPreparedSkin> TSkinForm::TakePreparedSkin() {
  if (!prepared_.valid()) return nullptr;
  std::unique_ptr<TPreparedSkin> skin = prepared_.get();
  if (skin && (skin->ratio != PixelRatio() || skin->keyColor != keyColor_ ||
               skin->tolerance != tolerance_ || skin->smoothOutline != smoothOutline_))
    skin.reset();
  return skin;
}

void TSkinForm::LoadSkin() {
  fillParent_ = true;
  FillParent();
  region_.reset();
  hoverEnabled_ = true;

  // The worker is done before the reader is called here: readers need not
  // take calls from two threads at once.
  std::unique_ptr<TPreparedSkin> prepared = TakePreparedSkin();
  const QByteArray text = ReadResource(resources_, "INI", "skin");
  if (prepared && prepared->description != text) prepared.reset();
  const TIniText ini(View(text));
  version_ = ini.ReadInteger("Version", "Ver", 140);

  const TImageNames names = ReadImageNames(ini);
  const std::string numbers = ini.ReadString("BITMAPINFO", "NumbersBitmap", "");
  const std::string textStrip = ini.ReadString("BITMAPINFO", "TextBitmap", "");
  if (names.on == names.down) hoverEnabled_ = false;

  const int32_t hotCount = ini.ReadInteger("HOTAREAINFO", "Count", 0);
  hotAreas_.resize(ArraySize(hotCount));

  maskName_ = names.mask;
  upName_ = names.up;
  onName_ = names.on;
  downName_ = names.down;
  if (prepared) {
    maskBitmap_ = std::move(prepared->mask);
    loadedRatio_ = prepared->ratio;
    SetFaces(std::move(prepared->faces));
    SetRegion(std::move(prepared->region), std::move(prepared->outlineAlpha));
  } else {
    LoadSkinImage(maskBitmap_, names.mask);
    LoadFaces();
    ApplyMask();
  }
  if (!numbers.empty()) LoadSkinImage(numbersBitmap_, numbers);
  if (!textStrip.empty()) LoadSkinImage(textBitmap_, textStrip);

  LoadHotAreas(ini, hotCount);
  LoadDisplays(ini);
  LoadTrackBars(ini);
  activeTrack_ = -1;
  PaintSkin();
}

void TSkinForm::LoadSkinImage(QImage& slot, const std::string& name) {
  const TImageResource res = ImageResourceOf(name);
  FillSlot(slot, Decode(res.type, ReadResource(resources_, res.type, res.name)));
}

void TSkinForm::LoadFaces() {
  loadedRatio_ = PixelRatio();
  SetFaces(ReadFaces(resources_, {maskName_, upName_, downName_, onName_}, maskBitmap_.size(),
                     loadedRatio_));
}

void TSkinForm::SetFaces(TFaces faces) {
  mouseUpBitmap_ = std::move(faces.up);
  mouseOnBitmap_ = std::move(faces.on);
  mouseDownBitmap_ = std::move(faces.down);
  faceScale_ = faces.scale;
}

void TSkinForm::LoadOutlineAlpha() {
  outlineAlpha_ = QImage();
  if (!smoothOutline_ || !region_ || region_->isEmpty()) return;
  outlineAlpha_ = ReadOutlineAlpha(resources_, maskName_, maskBitmap_.size(), keyColor_, tolerance_,
                                   *region_, faceScale_);
}

void TSkinForm::LoadHotAreas(const TIniText& ini, int count) {
  base::TStringList fields;
  for (int n = 1; n <= count; ++n) {
    HotAreaInfoRec& area = hotAreas_[static_cast<size_t>(n - 1)];
    SplitFields(fields, ini.ReadString("HOTAREAINFO", std::to_string(n), "NOT_DEFINED, 0, 0, 0, 0"),
                ',');
    area.ID = fields.Strings(0);
    area.X = StrToInt(fields.Strings(1));
    area.Y = StrToInt(fields.Strings(2));
    area.Width = StrToInt(fields.Strings(3));
    area.Height = StrToInt(fields.Strings(4));
    area.Switch = false;
    area.Group.clear();
    area.Pressed = false;
    area.Hint.clear();
    int fieldCount = 0;  // N: the fields that make a switch
    if (version_ == 150) {
      fieldCount = 7;
      area.Hint = fields.Strings(5);
    } else if (version_ == 140) {
      fieldCount = 6;
    } else {
      throw base::EListError::IndexOutOfBounds(-1);
    }
    if (fields.Count() >= fieldCount) {
      area.Switch = true;
      area.Checked = fields.Strings(fieldCount - 1) != "FALSE";
    }
    if (fields.Count() == fieldCount + 1) {
      const std::string& group = fields.Strings(fieldCount);
      int g = -1;
      for (int i = 0; i < groups_.Count(); ++i)
        if (QString::fromStdString(groups_.Strings(i))
                .compare(QString::fromStdString(group), Qt::CaseInsensitive) == 0) {
          g = i;
          break;
        }
      if (g < 0) {
        groups_.Add(group);
        groupSelection_.Add("-1");
        g = groups_.Count() - 1;
      }
      area.Group = group;
      if (area.Checked) {
        std::vector<std::string> selection = groupSelection_.Lines();
        selection[static_cast<size_t>(g)] = std::to_string(n - 1);
        groupSelection_ = base::TStringList(std::move(selection));
      }
      area.Switch = true;
    }
  }
}

void TSkinForm::LoadDisplays(const TIniText& ini) {
  const int32_t count = ini.ReadInteger("DISPLAYINFO", "Count", 0);
  displayCharset_ = static_cast<uint8_t>(ini.ReadInteger("DISPLAYINFO", "Charset", 1));
  displays_.resize(ArraySize(count));
  base::TStringList fields;
  for (int n = 1; n <= count; ++n) {
    DisplayInfoRec& d = displays_[static_cast<size_t>(n - 1)];
    SplitFields(fields,
                ini.ReadString("DISPLAYINFO", std::to_string(n),
                               "NOT_DEFINED, Arial, FALSE, FALSE, 0, $000000, 0, 0"),
                ',');
    d.ID = fields.Strings(0);
    d.Font = std::make_unique<TDisplayFont>();
    d.Font->charset = displayCharset_;
    d.Font->font = QFont(QString::fromStdString(fields.Strings(1)));
    d.Font->font.setBold(fields.Strings(2) == "TRUE");
    d.Font->font.setItalic(fields.Strings(3) == "TRUE");
    const int32_t points = StrToInt(fields.Strings(4));
    if (points > 0) d.Font->font.setPointSize(points);
    d.Font->color = DescriptionColor(StrToInt(fields.Strings(5)));
    d.X = StrToInt(fields.Strings(6));
    d.Y = StrToInt(fields.Strings(7));
    if (fields.Count() >= 9) d.Style = fields.Strings(8);
    d.Text = fields.Count() == 10 ? fields.Strings(9) : std::string();
  }
}

void TSkinForm::LoadTrackBars(const TIniText& ini) {
  const int32_t count = ini.ReadInteger("TRACKBARINFO", "Count", 0);
  trackBars_.resize(ArraySize(count));
  base::TStringList fields;
  for (int n = 1; n <= count; ++n) {
    TrackBarInfoRec& bar = trackBars_[static_cast<size_t>(n - 1)];
    SplitFields(fields,
                ini.ReadString("TRACKBARINFO", std::to_string(n),
                               "NOT_DEFINED, NOT_DEFINED, NOT_DEFINED, 0, 0, 0, H"),
                ',');
    bar.ID = fields.Strings(0);
    LoadSkinImage(bar.UpBitmap, fields.Strings(1));
    LoadSkinImage(bar.DownBitmap, fields.Strings(2));
    bar.ThumbWidth = bar.DownBitmap.width();
    bar.ThumbHeight = bar.DownBitmap.height();
    bar.X = StrToInt(fields.Strings(3));
    bar.Y = StrToInt(fields.Strings(4));
    bar.Length = StrToInt(fields.Strings(5));
    bar.MinPosition = 0;
    bar.MaxPosition = 100;
    bar.Horizontal = fields.Strings(6) != "V";
    bar.Position = fields.Count() >= 8 ? static_cast<uint8_t>(StrToInt(fields.Strings(7))) : 0;
    bar.Hint = fields.Count() >= 9 ? fields.Strings(8) : std::string();
    const int32_t extent = bar.Horizontal ? bar.ThumbWidth : bar.ThumbHeight;
    // Not clamped: the position read here stays until the bar's first pointer change.
    bar.Offset = static_cast<int32_t>((int64_t{bar.Length} - extent) * bar.Position / 100);
  }
}

}  // namespace lugatim::skin
