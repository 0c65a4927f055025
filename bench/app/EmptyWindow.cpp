// The floor of the start-up benchmark: an empty frameless 480 x 480 Qt
// window, the least any Qt Widgets program of this shape pays to show itself.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setWindowTitle(QStringLiteral("empty"));
  window.resize(480, 480);
  window.move(222, 111);
  window.show();
  return app.exec();
}
