#pragma once
// An image control: draws its picture at natural size from the top-left
// corner, clipped to the control, over whatever lies beneath (transparent
// background). An animated picture keeps running on its own timer.

#include <QImage>
#include <QMovie>
#include <QWidget>
#include <memory>

namespace lugatim::widgets {

class TImage : public QWidget {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent = nullptr);
  ~TImage() override;

  void SetImage(const QImage& image);
  // Takes the movie and starts it.
  void SetMovie(std::unique_ptr<QMovie> movie);
  // The frame shown now.
  QImage CurrentFrame() const;
  bool IsAnimated() const { return movie_ != nullptr; }

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage image_;
  std::unique_ptr<QMovie> movie_;
};

}  // namespace lugatim::widgets
