#include "widgets/ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

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

void TImage::SetMovie(std::unique_ptr<QMovie> movie) {
  image_ = QImage();
  movie_ = std::move(movie);
  if (movie_ != nullptr) {
    connect(movie_.get(), &QMovie::frameChanged, this, [this](int) { update(); });
    movie_->start();
  }
  update();
}

QImage TImage::CurrentFrame() const {
  return movie_ ? movie_->currentImage() : image_;
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(rect());
  painter.drawImage(QPoint(0, 0), CurrentFrame());
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked();
  }
}

}  // namespace lugatim::widgets
