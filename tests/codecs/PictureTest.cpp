#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "codecs/Bmp.h"
#include "codecs/CodecError.h"
#include "codecs/GifEncoder.h"
#include "codecs/Jpeg.h"
#include "codecs/MetafileWriter.h"
#include "codecs/Picture.h"

using namespace lugatim::codecs;

namespace {

std::string WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return file.fileName().toStdString();
}

std::string ErrorOf(const std::string& path) {
  try {
    LoadPicture(path);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

QImage Red(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(qRgb(255, 0, 0));
  return image;
}

}  // namespace

TEST(PictureExtension, LastDotOfTheFileName) {
  EXPECT_EQ(PictureExtension("banner.GIF"), "GIF");
  EXPECT_EQ(PictureExtension("a.b.jpeg"), "jpeg");
  EXPECT_EQ(PictureExtension("/tmp/dir.d/noext"), "");
  EXPECT_EQ(PictureExtension("trailing."), "");
}

TEST(PictureLoad, ChoosesTheCodecByExtensionIgnoringCase) {
  QTemporaryDir dir;
  const std::string jpg = WriteFile(dir, "Photo.JPG", EncodeJpeg(Red(8, 6), 90));
  const TPicture a = LoadPicture(jpg);
  EXPECT_EQ(a.format, "jpg");
  EXPECT_EQ(a.image.size(), QSize(8, 6));
  EXPECT_FALSE(a.IsAnimated());

  const std::string jpeg = WriteFile(dir, "photo.jPeG", EncodeJpeg(Red(3, 3), 90));
  EXPECT_EQ(LoadPicture(jpeg).format, "jpg");

  const std::string bmp = WriteFile(dir, "x.Bmp", EncodeBmp(Red(4, 2), 24));
  EXPECT_EQ(LoadPicture(bmp).image.pixel(3, 1), qRgb(255, 0, 0));

  QImage frame(5, 5, QImage::Format_Indexed8);
  frame.setColorTable({qRgb(0, 0, 255)});
  frame.fill(0);
  const std::string gif = WriteFile(dir, "anim.gif", EncodeGif({{frame}, {frame}}, {}));
  const TPicture g = LoadPicture(gif);
  EXPECT_EQ(g.format, "gif");
  EXPECT_TRUE(g.IsAnimated());
  EXPECT_EQ(g.image.pixel(2, 2), qRgb(0, 0, 255));

  QByteArray ico;
  QBuffer buffer(&ico);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(Red(16, 16).save(&buffer, "ICO"));
  const std::string icon = WriteFile(dir, "app.ICO", ico);
  EXPECT_EQ(LoadPicture(icon).image.size(), QSize(16, 16));
}

TEST(PictureLoad, UnknownExtensionsFailBeforeReading) {
  EXPECT_EQ(ErrorOf("/nonexistent/banner.png"), "Unknown picture file extension (.png)");
  EXPECT_EQ(ErrorOf("/nonexistent/banner"), "Unknown picture file extension (.)");
  EXPECT_EQ(ErrorOf("/nonexistent/banner.EMF"),
            "Cannot open file \"/nonexistent/banner.EMF\". No such file or directory");
  EXPECT_THROW(DecodePicture("", "txt"), EInvalidGraphic);
}

TEST(PictureLoad, MissingFileAndWrongContent) {
  EXPECT_EQ(ErrorOf("/nonexistent/dir/banner.gif"),
            "Cannot open file \"/nonexistent/dir/banner.gif\". No such file or directory");
  QTemporaryDir dir;
  const std::string fake = WriteFile(dir, "fake.jpg", QByteArray("GIF89a but named jpg"));
  EXPECT_THROW(LoadPicture(fake), EInvalidGraphic);
}

// One budget for the decoded pixels, whatever the codec: a picture within it
// decodes as without it, one over it fails like an undecodable picture.
TEST(PictureLoad, EveryCodecKeepsToTheBudget) {
  const QImage picture = Red(100, 50);  // 20,000 bytes decoded
  TWmfWriter wmf(100, 50);
  wmf.FillRect(QRect(0, 0, 100, 50), Qt::red);
  TGifEncodeFrame frame;
  frame.image = picture.convertToFormat(QImage::Format_Indexed8);
  const std::vector<std::pair<std::string, QByteArray>> files = {
      {"jpg", EncodeJpeg(picture, 90)},
      {"bmp", EncodeBmp(picture, 24)},
      {"gif", EncodeGif({frame, frame}, {})},
      {"wmf", wmf.Finish()},
  };
  for (const auto& [extension, bytes] : files) {
    const std::string data(bytes.constData(), static_cast<size_t>(bytes.size()));
    const int64_t frames = extension == "gif" ? 2 : 1;
    const TPicture fits = DecodePicture(data, extension, {frames * 20000, {}});
    EXPECT_EQ(fits.image.size(), QSize(100, 50)) << extension;
    EXPECT_THROW(DecodePicture(data, extension, {frames * 20000 - 1, {}}), EInvalidGraphic)
        << extension;
  }
}
