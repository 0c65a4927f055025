#include "widgets/ImageControl.h"

#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "base/ImageScale.h"
#include "codecs/NamedFormat.h"

namespace lugatim::widgets {

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
}

TImage::~TImage() = default;

void TImage::SetImage(const QImage& image) {
  movie_.reset();
  image_ = image;
  update();
}

void TImage::SetMovie(std::unique_ptr<QMovie> movie, int scale) {
  image_ = QImage();
  movie_ = std::move(movie);
  movieScale_ = std::max(1, scale);
  if (movie_ != nullptr) {
    connect(movie_.get(), &QMovie::frameChanged, this, [this](int) { update(); });
    movie_->start();
  }
  update();
}

void TImage::SetMovieFile(const QString& file, double ratio, const QByteArray& format) {
  for (const int scale : base::ScalesToTry(ratio)) {
    const QString name =
        QString::fromStdString(base::ScaledResourceName(file.toStdString(), scale));
    if (scale == 1 || QFile::exists(name)) {
      if (!format.isEmpty()) {
        // A movie's reader guesses (NamedFormat.h); this one does not.
        QImageReader reader(name, format);
        codecs::ReadByFormatOnly(reader);
        // A reader that can read on after the first frame has more of them.
        QImage still = reader.read();
        if (!still.isNull() && !reader.canRead()) {
          still.setDevicePixelRatio(std::max(1, scale));
          SetImage(still);
          return;
        }
      }
      SetMovie(std::make_unique<QMovie>(name, format), scale);
      return;
    }
  }
}

QImage TImage::CurrentFrame() const {
  if (!movie_) return image_;
  QImage frame = movie_->currentImage();
  frame.setDevicePixelRatio(movieScale_);
  return frame;
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  // A picture of another scale than the screen's is resampled smoothly.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(QPoint(0, 0), CurrentFrame());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked();
  }
}

}  // namespace lugatim::widgets
