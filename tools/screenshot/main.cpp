// lugatim-screenshot <file.png> [x y width height]: saves a picture of the
// screen of $DISPLAY, or of the given part of it (used under Xvfb, where no
// desktop tool is at hand).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) return 2;
  QGuiApplication app(argc, argv);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
  if (argc == 6) shot = shot.copy(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
  return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
