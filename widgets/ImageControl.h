#pragma once
// An image control: draws its picture at natural size from the top-left
// corner, clipped to the control, over whatever lies beneath (transparent
// background). An animated picture keeps running on its own timer. A
// picture drawn at a larger scale (its device pixel ratio) shows at its
// logical size, pixel for pixel on a screen of that ratio.

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
  // Takes the movie and starts it; its frames are drawn at the given scale
  // (a movie of 936 x 120 frames at scale 2 covers 468 x 60).
  void SetMovie(std::unique_ptr<QMovie> movie, int scale = 1);
  // Shows the movie of the file, or of "<file>@2X" / "<file>@3X" where
  // that one fits a screen of the pixel ratio better (base/ImageScale.h).
  // With its format named ("gif"), a file of one frame shows as a still
  // picture, read without loading every image plugin to ask it.
  void SetMovieFile(const QString& file, double ratio, const QByteArray& format = {});
  // The frame shown now, its device pixel ratio set to its scale.
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
  int movieScale_ = 1;
};

}  // namespace lugatim::widgets
