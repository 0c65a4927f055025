#include "skin/SkinForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

#include "skin/MaskRegion.h"
#include "skin/SkinScale.h"
#include "skin/X11Compositing.h"

namespace lugatim::skin {
namespace {

TShiftState ShiftOf(const QMouseEvent* e) {
  TShiftState s = 0;
  const Qt::KeyboardModifiers m = e->modifiers();
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  const Qt::MouseButtons b = e->buttons();
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

std::optional<TMouseButton> ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return TMouseButton::mbLeft;
    case Qt::RightButton:
      return TMouseButton::mbRight;
    case Qt::MiddleButton:
      return TMouseButton::mbMiddle;
    default:
      return std::nullopt;
  }
}

// On Wayland a window mask only shapes input; the outline must come from
// transparent pixels instead.
bool OutlineByTransparency() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Whether the desktop composites windows, so that a window's transparent
// pixels show what lies beneath: always on Wayland; on X11 while a
// compositing manager owns the screen's _NET_WM_CM_S selection.
bool DesktopComposites() {
  if (OutlineByTransparency()) return true;
  return QGuiApplication::platformName() == QLatin1String("xcb") && X11CompositingManagerRuns();
}

}  // namespace

TSkinForm::TSkinForm(QWidget* form) : QWidget(nullptr), resources_(ProgramResources()) {
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover, false);
  moveStarter_ = [this] {
    QWindow* handle = window() ? window()->windowHandle() : nullptr;
    return handle != nullptr && handle->startSystemMove();
  };
  SetParent(form);
}

TSkinForm::~TSkinForm() {
  if (parentWidget()) parentWidget()->removeEventFilter(this);
}

void TSkinForm::SetParent(QWidget* parent) {
  if (parentWidget()) parentWidget()->removeEventFilter(this);
  setParent(parent);
  if (parent == nullptr) return;
  parent->installEventFilter(this);
  FillParent();
  if (!parent->isWindow()) throw base::Exception("Please Drop on a Form");
  const bool shown = parent->isVisible();
  parent->setWindowFlag(Qt::FramelessWindowHint, true);
  smoothOutline_ = DesktopComposites();
  if (smoothOutline_) parent->setAttribute(Qt::WA_TranslucentBackground, true);
  if (shown) parent->show();
  show();
}

void TSkinForm::SetSmoothOutline(bool smooth) {
  smoothOutline_ = smooth;
  if (smooth && parentWidget()) parentWidget()->setAttribute(Qt::WA_TranslucentBackground, true);
}

double TSkinForm::PixelRatio() const {
  return ratioSource_ ? ratioSource_() : devicePixelRatioF();
}

void TSkinForm::FillParent() {
  if (fillParent_ && parentWidget()) setGeometry(parentWidget()->rect());
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) FillParent();
  return QWidget::eventFilter(watched, event);
}

void TSkinForm::ApplyMask() {
  SetRegion(CreateRegionFromMask(maskBitmap_, keyColor_, tolerance_), std::nullopt);
}

void TSkinForm::SetRegion(std::optional<QRegion> region, std::optional<QImage> outlineAlpha) {
  QWidget* form = parentWidget();
  const QSize size = maskBitmap_.size();
  if (form) form->resize(size);
  canvas_ = QImage();
  resize(size);
  region_ = std::move(region);
  if (form) {
    if (!region_) {
      form->clearMask();
    } else if (region_->isEmpty()) {
      // An empty mask region would mean "no mask" to Qt; a region that
      // lies outside the window keeps the window fully cut away instead.
      form->setMask(QRegion(-1, -1, 1, 1));
    } else {
      form->setMask(*region_);
    }
  }
  if (outlineAlpha) {
    outlineAlpha_ = *std::move(outlineAlpha);
  } else {
    LoadOutlineAlpha();
  }
  PaintSkin();
}

// The picture has the faces' scale: logically the surface's size, with
// FaceScale() times its pixels in each direction. It is opaque unless the
// smooth outline gives it an alpha.
QImage& TSkinForm::Picture() {
  const QSize pixels = size().expandedTo(QSize(1, 1)) * faceScale_;
  const QImage::Format format =
      outlineAlpha_.isNull() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
  if (canvas_.isNull() || canvas_.size() != pixels || canvas_.devicePixelRatio() != faceScale_ ||
      canvas_.format() != format) {
    canvas_ = QImage(pixels, format);
    canvas_.setDevicePixelRatio(faceScale_);
    canvas_.fill(Qt::transparent);
    canvas_.setDotsPerMeterX(3780 * faceScale_);  // 96 logical pixels per inch, for point sizes
    canvas_.setDotsPerMeterY(3780 * faceScale_);
  }
  return canvas_;
}

void TSkinForm::CopyFrom(const QImage& source, const QRect& rect) {
  QImage& canvas = Picture();
  const QRect r = rect & LogicalRect(source) & LogicalRect(canvas);
  if (r.isEmpty()) return;
  QPainter p(&canvas);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QRectF(r), source, PixelRect(source, r));
  p.end();
  ApplyOutlineAlpha(canvas, outlineAlpha_, r);
  update(r);
}

void TSkinForm::paintEvent(QPaintEvent*) {
  if (canvas_.isNull()) return;
  if (!upName_.empty() && PixelRatio() != loadedRatio_) {
    // On a screen of another pixel ratio now: the faces that fit it.
    LoadFaces();
    LoadOutlineAlpha();
    PaintSkin();
  }
  QPainter p(this);
  if (region_ && OutlineByTransparency()) p.setClipRegion(*region_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  // The whole picture, clipped to what needs painting: at the faces' own
  // scale pixel for pixel, at any other ratio resampled smoothly without
  // seams between the parts of the update.
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.drawImage(QRectF(LogicalRect(canvas_)), canvas_);
}

bool TSkinForm::StartWindowMove() {
  return moveStarter_ && moveStarter_();
}

void TSkinForm::ReleaseHeldDown() {
  if (!heldDown_) return;
  const HeldDown held = *std::move(heldDown_);
  heldDown_.reset();
  if (OnMouseDownNotify) OnMouseDownNotify(held.id, held.button, held.shift, held.x, held.y);
}

bool TSkinForm::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip:
      SkinShowHint(static_cast<QHelpEvent*>(event));
      return true;
    case QEvent::Enter:
      // Back under the pointer after a window move: the move has ended.
      ReleaseHeldDown();
      break;
    case QEvent::Leave:
      // The pointer went onto a control or out of the window without a move
      // over the surface between: no hot area is under it any more, so a
      // hover face it left lit is put out now, not at the next move.
      if (hoverNow_ || needsRepaint_) {
        hoverNow_ = false;
        hint_.clear();
        currentID_.clear();
        PaintSkin();
      }
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool TSkinForm::SkinShowHint(QHelpEvent* event) {
  if (hint_.empty()) {
    QToolTip::hideText();
    event->ignore();
    return false;
  }
  // A one-pixel rectangle: the tip goes at the next move and the hint of
  // whatever is then under the pointer replaces it.
  QToolTip::showText(event->globalPos(), QString::fromStdString(hint_), this,
                     QRect(event->pos(), QSize(1, 1)));
  return true;
}

void TSkinForm::mousePressEvent(QMouseEvent* e) {
  ReleaseHeldDown();
  const auto button = ButtonOf(e->button());
  if (!button) return;
  const QPoint p = e->position().toPoint();
  MouseDown(*button, ShiftOf(e), p.x(), p.y());
}

void TSkinForm::mouseDoubleClickEvent(QMouseEvent* e) {
  ReleaseHeldDown();
  const auto button = ButtonOf(e->button());
  if (!button) return;
  const QPoint p = e->position().toPoint();
  MouseDown(*button, ShiftOf(e) | ssDouble, p.x(), p.y());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* e) {
  ReleaseHeldDown();
  const QPoint p = e->position().toPoint();
  const std::string before = hint_;
  MouseMove(ShiftOf(e), p.x(), p.y());
  if (QToolTip::isVisible() && hint_ != before) {
    if (hint_.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(e->globalPosition().toPoint(), QString::fromStdString(hint_), this,
                         QRect(p, QSize(1, 1)));
  }
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* e) {
  ReleaseHeldDown();
  const auto button = ButtonOf(e->button());
  if (!button) return;
  const QPoint p = e->position().toPoint();
  MouseUp(*button, ShiftOf(e), p.x(), p.y());
}

}  // namespace lugatim::skin
