#pragma once
// TSkinForm: the skinned surface. Placed on a form, it fills the form, gives
// it the outline of the skin's mask and paints its face from the skin's
// images; it follows the pointer over the named hot areas (hover, pressed and
// checked faces, switches, radio groups), drives track bars and draws display
// elements, moves the window when pressed anywhere else, supplies the hint of
// what is under the pointer and reports presses, releases and moves together
// with the ID of the hot area concerned.
//
// Use from a form:
//   auto* skin = new TSkinForm(form);        // form: a top-level QWidget
//   skin->OnMouseUpNotify = [](std::string id, TMouseButton b, TShiftState, int, int) {...};
//   skin->LoadSkin();                        // the form takes the mask's size and shape
//
// Every operation runs on the interface thread. Errors are exceptions
// (base::Exception and its kin) raised to the caller; an error raised by a
// notification handler leaves the mouse handler at that point.

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "base/StringList.h"
#include "skin/SkinResources.h"
#include "skin/SkinTypes.h"

class QHelpEvent;

namespace lugatim::skin {

// "Division by zero": a track bar whose length equals its thumb's extent.
class EDivByZero : public base::Exception {
 public:
  EDivByZero() : base::Exception("Division by zero") {}
};

class TIniText;

// The three faces of a skin at one scale: their pixels are that many times
// the mask's in each direction.
struct TFaces {
  QImage up, on, down;
  int scale = 1;
};

class TSkinForm : public QWidget {
 public:
  // form: the top-level widget the surface is dropped on (see SetParent), or
  // nullptr to place it later.
  explicit TSkinForm(QWidget* form = nullptr);
  ~TSkinForm() override;

  // --- properties
  QColor KeyColor() const { return keyColor_; }
  void SetKeyColor(const QColor& color) { keyColor_ = color; }  // effective at the next ApplyMask
  QColor Tolerance() const { return tolerance_; }
  void SetTolerance(const QColor& color) { tolerance_ = color; }
  std::string SkinEditor() const { return "Run Editor"; }
  void SetSkinEditor(const std::string&) {}
  const std::string& SkinFile() const { return skinFile_; }
  void SetSkinFile(std::string file) { skinFile_ = std::move(file); }  // loading does not use it

  TMouseDownNotify OnMouseDownNotify;
  TMouseUpNotify OnMouseUpNotify;
  TMouseMoveNotify OnMouseMoveNotify;
  TTrackBarNotify OnTrackBarNotify;
  TNotifyEvent OnSkinChanged;  // stored; nothing fires it

  // Where LoadSkin reads the description "skin" ("INI") and its images;
  // the program's Qt resources unless replaced. BeginLoadSkin calls a copy
  // of the reader on a worker thread until the LoadSkin that follows, which
  // waits for it before calling the reader itself. A load begun with the
  // former reader is dropped.
  void SetResourceReader(TResourceReader reader) {
    DropPreparedSkin();
    resources_ = std::move(reader);
  }

  // Starts moving the window with the pointer. Returns true when the move
  // goes on after the call (a window manager runs it); the mouse-down
  // notification is then held back until the move has ended, which is when
  // the next pointer event reaches the surface. The default asks the
  // window's platform window (QWindow::startSystemMove).
  using TWindowMoveStarter = std::function<bool()>;
  void SetWindowMoveStarter(TWindowMoveStarter starter) { moveStarter_ = std::move(starter); }

  // The device pixel ratio that chooses the faces' scale (SkinScale.h);
  // the surface's own unless replaced. A change of it (the window moved to
  // another screen) reloads the faces at the next paint.
  using TPixelRatioSource = std::function<double()>;
  void SetPixelRatioSource(TPixelRatioSource source) { ratioSource_ = std::move(source); }

  // Whether the outline is drawn with a smooth alpha edge inside the exact
  // region: where the desktop composites (Wayland, X11 with a compositing
  // manager), decided when the surface is placed on its form. Effective at
  // the next ApplyMask; needs a skin that brings a larger mask.
  bool SmoothOutline() const { return smoothOutline_; }
  void SetSmoothOutline(bool smooth);

  // --- operations
  // Places the surface on a parent. A top-level widget (a form) loses its
  // frame; any other parent fails with "Please Drop on a Form", the parent
  // change having happened. nullptr only detaches.
  void SetParent(QWidget* parent);
  // Starts reading and decoding the skin's images, and computing its region,
  // on a worker thread, so that the next LoadSkin finds them done. The form
  // stays untouched until then; LoadSkin does the work itself when what the
  // images depend on (the description, the pixel ratio, the key colour, the
  // tolerance, the outline's kind) has changed in between, or the worker
  // failed, and reports any error as it would have without the head start.
  void BeginLoadSkin();
  void LoadSkin();
  void LoadSkinImage(QImage& slot, const std::string& name);
  void ApplyMask();
  void PaintSkin();
  void SelectInGroup(int index);
  void SetHotAreaChecked(const std::string& id, bool value);
  int IndexOfHotArea(const std::string& id) const;
  std::string HotAreaIDAt(int index) const;
  void UpdateTrackBar(TrackBarInfoRec& bar);
  void DrawNumbers(int x, int y, const std::string& s);
  void DrawBitmapText(int x, int y, const std::string& s);
  // The hint shown for the surface: the hint of what is under the pointer,
  // replaced as soon as the pointer moves. Returns whether a hint is shown.
  bool SkinShowHint(QHelpEvent* event);

  // The pointer handlers; the widget's mouse events call them, with surface
  // coordinates.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // --- state, read-only
  const THotAreaInfoArray& HotAreas() const { return hotAreas_; }
  const TDisplayInfoArray& Displays() const { return displays_; }
  const TTrackBarInfoArray& TrackBars() const { return trackBars_; }
  const base::TStringList& Groups() const { return groups_; }
  const base::TStringList& GroupSelection() const { return groupSelection_; }
  const QImage& MaskBitmap() const { return maskBitmap_; }
  const QImage& MouseUpBitmap() const { return mouseUpBitmap_; }
  const QImage& MouseOnBitmap() const { return mouseOnBitmap_; }
  const QImage& MouseDownBitmap() const { return mouseDownBitmap_; }
  const QImage& NumbersBitmap() const { return numbersBitmap_; }
  const QImage& TextBitmap() const { return textBitmap_; }
  const std::optional<QRegion>& Region() const { return region_; }
  // The scale of the faces in the slots (1, 2 or 3): their pixels are that
  // many times the mask's in each direction.
  int FaceScale() const { return faceScale_; }
  // The smooth outline's alpha at the faces' scale; null while the outline is exact.
  const QImage& OutlineAlpha() const { return outlineAlpha_; }
  int32_t Version() const { return version_; }
  bool HoverEnabled() const { return hoverEnabled_; }
  uint8_t DisplayCharset() const { return displayCharset_; }
  bool NeedsRepaint() const { return needsRepaint_; }
  bool HotPressed() const { return hotPressed_; }
  bool TrackDragging() const { return trackDragging_; }
  int32_t ActiveTrack() const { return activeTrack_; }
  int32_t DragDelta() const { return dragDelta_; }
  const std::string& CurrentID() const { return currentID_; }
  const std::string& Hint() const { return hint_; }
  // The face as last drawn, and how many full repaints drew it.
  const QImage& Canvas() const { return canvas_; }
  int FullPaintCount() const { return fullPaints_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct HeldDown {
    std::string id;
    TMouseButton button;
    TShiftState shift;
    int x, y;
  };

  void FillParent();
  double PixelRatio() const;
  // Loads the three faces at the best scale the skin brings for the ratio.
  void LoadFaces();
  void SetFaces(TFaces faces);
  void LoadOutlineAlpha();
  // Gives the form the region's outline and the surface the mask's size;
  // with no outline alpha given, it is read for the region.
  void SetRegion(std::optional<QRegion> region, std::optional<QImage> outlineAlpha);
  // What LoadSkin reads, decodes and computes before it touches the
  // surface, made on a worker thread, with what it was made from.
  struct TPreparedSkin {
    QByteArray description;
    double ratio = 1;
    QColor keyColor, tolerance;
    bool smoothOutline = false;
    QImage mask;
    TFaces faces;
    std::optional<QRegion> region;
    QImage outlineAlpha;
  };
  static std::unique_ptr<TPreparedSkin> PrepareSkin(const TResourceReader& reader, double ratio,
                                                    QColor key, QColor tolerance, bool smooth);
  // The begun load's result when it was made for the surface's present
  // settings; null otherwise. Waits for the worker.
  std::unique_ptr<TPreparedSkin> TakePreparedSkin();
  void DropPreparedSkin();
  QImage& Picture();
  // Copies rect of source to the same rect of the surface and repaints that rect only.
  void CopyFrom(const QImage& source, const QRect& rect);
  void CopyCell(const QImage& strip, const QRect& from, const QPoint& to);
  void PaintTrackBars(QImage& canvas);
  void PaintDisplays(QImage& canvas);
  void LoadHotAreas(const TIniText& ini, int count);
  void LoadDisplays(const TIniText& ini);
  void LoadTrackBars(const TIniText& ini);
  bool StartWindowMove();
  void ReleaseHeldDown();
  void TrackBarPress(int x, int y);
  void TrackBarMove(int x, int y);
  void ApplyPointerOffset(TrackBarInfoRec& bar, int offset);

  QImage maskBitmap_, mouseUpBitmap_, mouseOnBitmap_, mouseDownBitmap_, numbersBitmap_, textBitmap_;
  std::optional<QRegion> region_;
  QColor keyColor_{255, 255, 255};
  QColor tolerance_{0, 0, 0};
  THotAreaInfoArray hotAreas_;
  TDisplayInfoArray displays_;
  TTrackBarInfoArray trackBars_;
  bool hoverEnabled_ = true;
  std::string currentID_;
  uint8_t displayCharset_ = 162;
  bool needsRepaint_ = true;
  bool hoverBefore_ = false, hoverNow_ = false;
  base::TStringList groups_, groupSelection_;
  std::string skinFile_;
  bool hotPressed_ = false;
  bool trackDragging_ = false;
  int32_t activeTrack_ = -1;
  int32_t dragDelta_ = 0;
  int32_t version_ = 150;

  std::string hint_;
  bool fillParent_ = true;
  QImage canvas_;  // the surface's picture; null until the first drawing
  int fullPaints_ = 0;
  TResourceReader resources_;
  TWindowMoveStarter moveStarter_;
  std::optional<HeldDown> heldDown_;

  std::string maskName_, upName_, onName_, downName_;
  int faceScale_ = 1;
  double loadedRatio_ = 1;
  TPixelRatioSource ratioSource_;
  bool smoothOutline_ = false;
  QImage outlineAlpha_;
  std::future<std::unique_ptr<TPreparedSkin>> prepared_;
};

}  // namespace lugatim::skin
