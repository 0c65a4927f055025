#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "codecs/CodecError.h"
#include "skin/SkinResources.h"

using namespace lugatim::skin;
using namespace skintest;

namespace {

std::string LoadError(const MemoryResources& res) {
  Rig rig(res);
  try {
    rig.skin->LoadSkin();
  } catch (const lugatim::base::Exception& e) {
    return e.Message();
  }
  return "no error";
}

std::string WithHotAreas(const std::string& version, const std::vector<std::string>& lines,
                         int count = -1) {
  std::string s = "[Version]\r\nVer=" + version + "\r\n\r\n" + Faces() +
                  "\r\n[HOTAREAINFO]\r\nCount=" +
                  std::to_string(count < 0 ? static_cast<int>(lines.size()) : count) + "\r\n";
  for (size_t i = 0; i < lines.size(); ++i) s += std::to_string(i + 1) + "=" + lines[i] + "\r\n";
  return s;
}

}  // namespace

TEST(SkinImageNames, ExtensionChoosesTheResourceType) {
  EXPECT_EQ(ImageResourceOf("SzlS3Ms.bmp").type, "BMP");
  EXPECT_EQ(ImageResourceOf("SzlS3Ms.bmp").name, "SZLS3MS");
  EXPECT_EQ(ImageResourceOf("DuvadaRevi3Sel.jpg").type, "JPG");
  EXPECT_EQ(ImageResourceOf("DuvadaRevi3Sel.jpg").name, "DUVADAREVI3SEL");
  const TImageResource jpeg = ImageResourceOf("picture.jpeg");
  EXPECT_EQ(jpeg.extension, "JPE");
  EXPECT_EQ(jpeg.type, "JPG");
  EXPECT_EQ(jpeg.name, "PICTURE");
  const TImageResource dotted = ImageResourceOf("a.b.gif");
  EXPECT_EQ(dotted.extension, "B.G");
  EXPECT_EQ(dotted.type, "JPG");
  EXPECT_EQ(dotted.name, "A");
  EXPECT_EQ(ImageResourceOf("banner.Gif").type, "GIF");
  EXPECT_EQ(ImageResourceOf("ERROR").name, " ");
  EXPECT_EQ(ImageResourceOf("ERROR").type, "JPG");
}

TEST(SkinLoad, EachImageReadsExactlyOneResource) {
  MemoryResources res = SimpleSkin(Faces());
  res.Put("JPG", "PICTURE", lugatim::codecs::EncodeJpeg(Solid(10, 10, kUp), 90));
  res.Put("INI", "skin", "[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=picture.jpeg\r\n");
  Rig rig(res);
  rig.skin->LoadSkin();
  EXPECT_EQ(*res.lookups, (std::vector<std::string>{"INI/skin", "BMP/MASK", "JPG/PICTURE",
                                                    "JPG/PICTURE", "JPG/PICTURE"}));
  EXPECT_EQ(rig.skin->MouseUpBitmap().size(), QSize(10, 10));
}

TEST(SkinLoad, OnlyMaskBitmapGivesTheMaskForEveryFaceAndNoHover) {
  MemoryResources res = SimpleSkin("[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\n");
  Rig rig(res);
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.skin->Version(), 140);
  EXPECT_FALSE(rig.skin->HoverEnabled());
  EXPECT_EQ(rig.skin->MouseUpBitmap(), rig.skin->MaskBitmap());
  EXPECT_EQ(rig.skin->MouseDownBitmap(), rig.skin->MaskBitmap());
  EXPECT_EQ(rig.skin->MouseOnBitmap(), rig.skin->MaskBitmap());
}

TEST(SkinLoad, FormTakesTheMaskSizeAndOutline) {
  MemoryResources res = SimpleSkin(Faces());
  res.Put("BMP", "MASK", MaskBmp(120, 90, [](int x, int y) { return x + y >= 10; }));
  Rig rig(res);
  rig.form->resize(492, 473);
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.form->size(), QSize(120, 90));
  EXPECT_EQ(rig.skin->geometry(), QRect(0, 0, 120, 90));
  ASSERT_TRUE(rig.skin->Region());
  EXPECT_FALSE(rig.skin->Region()->contains(QPoint(0, 0)));
  EXPECT_TRUE(rig.skin->Region()->contains(QPoint(10, 0)));
  EXPECT_EQ(rig.form->mask(), *rig.skin->Region());
  EXPECT_TRUE(rig.form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(rig.skin->Canvas().pixel(50, 50), kUp);
}

TEST(SkinLoad, AllKeyColourMaskLeavesNothingVisible) {
  MemoryResources res = SimpleSkin(Faces());
  res.Put("BMP", "MASK", MaskBmp(40, 30, [](int, int) { return false; }));
  Rig rig(res);
  rig.skin->LoadSkin();
  ASSERT_TRUE(rig.skin->Region());
  EXPECT_TRUE(rig.skin->Region()->isEmpty());
  EXPECT_FALSE(rig.form->mask().isEmpty());  // not the "no mask" of an empty region
  EXPECT_FALSE(rig.form->mask().intersects(rig.form->rect()));
}

TEST(SkinLoad, HotAreaLinesOfVersion150) {
  MemoryResources res = SimpleSkin(WithHotAreas(
      "150",
      {"KAPAT, 460, 0, 25, 25, CLOSE", "A, 0, 0, 10, 10, tip, false", "B, 0, 0, 10, 10, tip, FALSE",
       "C, 0, 0, 10, 10, tip, TRUE, G1, more", "\"Q, R\", 1, 2, 3, 4, \"x, y\""}));
  Rig rig(res);
  rig.skin->LoadSkin();
  const auto& a = rig.skin->HotAreas();
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(a[0].ID, "KAPAT");
  EXPECT_EQ(a[0].X, 460);
  EXPECT_EQ(a[0].Width, 25);
  EXPECT_EQ(a[0].Hint, "CLOSE");
  EXPECT_FALSE(a[0].Switch);
  EXPECT_TRUE(a[1].Switch);
  EXPECT_TRUE(a[1].Checked);  // only "FALSE" in capitals starts unchecked
  EXPECT_TRUE(a[2].Switch);
  EXPECT_FALSE(a[2].Checked);
  EXPECT_TRUE(a[3].Switch);
  EXPECT_TRUE(a[3].Checked);
  EXPECT_EQ(a[3].Group, "");  // surplus fields: a switch without a group
  EXPECT_EQ(a[4].ID, "Q, R");
  EXPECT_EQ(a[4].Hint, "x, y");
  EXPECT_EQ(rig.skin->Groups().Count(), 0);
}

TEST(SkinLoad, GroupsAreFoundWithoutRegardToCase) {
  MemoryResources res = SimpleSkin(
      WithHotAreas("150", {"A, 0, 0, 10, 10, tip, TRUE, G1", "B, 10, 0, 10, 10, tip, FALSE, g1",
                           "C, 20, 0, 10, 10, tip, FALSE, other"}));
  Rig rig(res);
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.skin->Groups().Lines(), (std::vector<std::string>{"G1", "other"}));
  EXPECT_EQ(rig.skin->GroupSelection().Lines(), (std::vector<std::string>{"0", "-1"}));
  EXPECT_EQ(rig.skin->HotAreas()[1].Group, "g1");
  EXPECT_TRUE(rig.skin->HotAreas()[1].Switch);
}

TEST(SkinLoad, Version140HasNoHintAndMissingLinesAreEmptyAreas) {
  MemoryResources res = SimpleSkin(WithHotAreas("140", {"A, 1, 2, 3, 4, FALSE, G"}, 2));
  Rig rig(res);
  rig.skin->LoadSkin();
  const auto& a = rig.skin->HotAreas();
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].Hint, "");
  EXPECT_TRUE(a[0].Switch);
  EXPECT_FALSE(a[0].Checked);
  EXPECT_EQ(a[0].Group, "G");
  EXPECT_EQ(a[1].ID, "NOT_DEFINED");
  EXPECT_EQ(a[1].Width, 0);
}

TEST(SkinLoad, Version150MissingLineFails) {
  EXPECT_EQ(LoadError(SimpleSkin(WithHotAreas("150", {"A, 1, 2, 3, 4, tip"}, 2))),
            "List index out of bounds (5)");
}

TEST(SkinLoad, UnknownVersionFailsAtTheFirstHotArea) {
  EXPECT_EQ(LoadError(SimpleSkin(WithHotAreas("160", {"A, 1, 2, 3, 4, tip"}))),
            "List index out of bounds (-1)");
  EXPECT_EQ(LoadError(SimpleSkin(WithHotAreas("160", {}))), "no error");
}

TEST(SkinLoad, BlankBeforeACommaIsNotAnInteger) {
  EXPECT_EQ(LoadError(SimpleSkin(WithHotAreas("150", {"A, 460 , 0, 25, 25, tip"}))),
            "'460 ' is not a valid integer value");
}

TEST(SkinLoad, HotAreaFieldsAreHexadecimalOnlyAfterDollarOrZeroX) {
  EXPECT_EQ(LoadError(SimpleSkin(WithHotAreas("150", {"A, x10, 0, 25, 25, tip"}))),
            "'x10' is not a valid integer value");
  MemoryResources res = SimpleSkin(WithHotAreas("150", {"A, $10, 0x8, 25, 25, tip"}));
  Rig rig(res);
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.skin->HotAreas()[0].X, 16);
  EXPECT_EQ(rig.skin->HotAreas()[0].Y, 8);
}

TEST(SkinLoad, MissingResourcesAndUndecodableImages) {
  MemoryResources noMask = SimpleSkin(Faces());
  noMask.items.erase({"BMP", "MASK"});
  EXPECT_EQ(LoadError(noMask), "Resource MASK not found");
  EXPECT_EQ(LoadError(SimpleSkin("[Version]\r\nVer=150\r\n")), "Resource   not found");
  MemoryResources noDescription = SimpleSkin(Faces());
  noDescription.items.erase({"INI", "skin"});
  EXPECT_EQ(LoadError(noDescription), "Resource skin not found");
  MemoryResources broken = SimpleSkin(Faces());
  broken.Put("BMP", "ON", "BM broken");
  EXPECT_EQ(LoadError(broken), "Bitmap image is not valid (file too short)");
}

TEST(SkinLoad, AnErrorLeavesWhatWasDoneBefore) {
  MemoryResources res = SimpleSkin(WithHotAreas("150", {"A, 1, 2, 3, 4, tip", "B, x, 0, 1, 1, t"}));
  Rig rig(res);
  EXPECT_THROW(rig.skin->LoadSkin(), lugatim::base::EConvertError);
  EXPECT_EQ(rig.form->size(), QSize(100, 80));  // shaped and painted
  ASSERT_TRUE(rig.skin->Region());
  EXPECT_EQ(rig.skin->HotAreas()[0].ID, "A");
  EXPECT_EQ(rig.skin->Canvas().pixel(5, 5), kUp);
}

TEST(SkinLoad, DisplayLines) {
  std::string d = Faces() +
                  "[DISPLAYINFO]\r\nCount=4\r\nCharset=0\r\n"
                  "1=D1, Arial, TRUE, FALSE, 12, $0000FF, 5, 6\r\n"
                  "2=D2, Arial, FALSE, TRUE, 9, $FF0000, 1, 2, Number\r\n"
                  "3=D3, Arial, FALSE, FALSE, 9, 0, 1, 2, Text, Hi!\r\n"
                  "4=D4, Arial, FALSE, FALSE, 9, 0, 1, 2, Text, Hi!, extra\r\n";
  Rig rig(SimpleSkin(d));
  rig.skin->LoadSkin();
  const auto& ds = rig.skin->Displays();
  ASSERT_EQ(ds.size(), 4u);
  EXPECT_EQ(rig.skin->DisplayCharset(), 0);
  EXPECT_TRUE(ds[0].Font->font.bold());
  EXPECT_FALSE(ds[0].Font->font.italic());
  EXPECT_EQ(ds[0].Font->font.pointSize(), 12);
  EXPECT_EQ(ds[0].Font->color, QColor(255, 0, 0));  // red in the low byte
  EXPECT_EQ(ds[0].X, 5);
  EXPECT_EQ(ds[0].Style, "");
  EXPECT_EQ(ds[1].Style, "Number");
  EXPECT_EQ(ds[1].Text, "");
  EXPECT_EQ(ds[1].Font->color, QColor(0, 0, 255));
  EXPECT_TRUE(ds[1].Font->font.italic());
  EXPECT_EQ(ds[2].Text, "Hi!");
  EXPECT_EQ(ds[3].Style, "Text");
  EXPECT_EQ(ds[3].Text, "");  // 11 fields: no text
}

TEST(SkinLoad, ShortDisplayAndTrackBarLinesFail) {
  EXPECT_EQ(LoadError(SimpleSkin(
                Faces() + "[DISPLAYINFO]\r\nCount=1\r\n1=D, Arial, TRUE, FALSE, 9, 0, 3\r\n")),
            "List index out of bounds (7)");
  MemoryResources res =
      SimpleSkin(Faces() + "[TRACKBARINFO]\r\nCount=1\r\n1=T, up.bmp, down.bmp, 1, 2, 3\r\n");
  EXPECT_EQ(LoadError(res), "List index out of bounds (6)");
}

TEST(SkinLoad, TrackBarLines) {
  MemoryResources res = SimpleSkin(Faces() +
                                   "[TRACKBARINFO]\r\nCount=3\r\n"
                                   "1=T1, on.bmp, thumb.bmp, 10, 20, 100, H, 50, slide\r\n"
                                   "2=T2, on.bmp, thumb.bmp, 10, 20, 100, H, 300\r\n"
                                   "3=T3, on.bmp, thumb.bmp, 10, 20, 100, V\r\n");
  res.Put("BMP", "THUMB", Bmp(Solid(10, 8, kDown)));
  Rig rig(res);
  rig.skin->LoadSkin();
  const auto& t = rig.skin->TrackBars();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].ThumbWidth, 10);
  EXPECT_EQ(t[0].ThumbHeight, 8);
  EXPECT_EQ(t[0].Position, 50);
  EXPECT_EQ(t[0].Offset, 45);
  EXPECT_EQ(t[0].Hint, "slide");
  EXPECT_TRUE(t[0].Horizontal);
  EXPECT_EQ(t[1].Position, 44);  // 300 taken modulo 256
  EXPECT_EQ(t[1].Offset, 39);
  EXPECT_FALSE(t[2].Horizontal);
  EXPECT_EQ(t[2].Position, 0);
  EXPECT_EQ(rig.skin->ActiveTrack(), -1);
}

TEST(SkinLoad, ReloadKeepsGroupsAndReusesArrays) {
  MemoryResources res = SimpleSkin(WithHotAreas("150", {"A, 0, 0, 10, 10, tip, TRUE, G1"}));
  Rig rig(res);
  rig.skin->LoadSkin();
  rig.skin->LoadSkin();
  EXPECT_EQ(rig.skin->Groups().Count(), 1);
  EXPECT_EQ(rig.skin->HotAreas().size(), 1u);
}

TEST(SkinParent, OnlyAFormTakesTheSurface) {
  App();
  QWidget form;
  QWidget panel(&form);
  TSkinForm skin;
  try {
    skin.SetParent(&panel);
    FAIL() << "no error";
  } catch (const lugatim::base::Exception& e) {
    EXPECT_EQ(e.Message(), "Please Drop on a Form");
  }
  EXPECT_EQ(skin.parentWidget(), &panel);  // the parent change has happened
  skin.SetParent(&form);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  form.resize(200, 150);
  QApplication::sendPostedEvents();
  skin.SetParent(nullptr);
  EXPECT_EQ(skin.parentWidget(), nullptr);
  EXPECT_THROW(TSkinForm onPanel(&panel), lugatim::base::Exception);
}

TEST(SkinParent, ConstructionDefaults) {
  App();
  TSkinForm skin;
  EXPECT_EQ(skin.KeyColor(), QColor(255, 255, 255));
  EXPECT_EQ(skin.Tolerance(), QColor(0, 0, 0));
  EXPECT_EQ(skin.Version(), 150);
  EXPECT_EQ(skin.DisplayCharset(), 162);
  EXPECT_TRUE(skin.HoverEnabled());
  EXPECT_TRUE(skin.NeedsRepaint());
  EXPECT_FALSE(skin.Region().has_value());
  EXPECT_EQ(skin.SkinEditor(), "Run Editor");
  skin.SetSkinEditor("x");
  EXPECT_EQ(skin.SkinEditor(), "Run Editor");
}
