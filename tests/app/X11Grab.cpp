// Saves a picture of the whole screen of $DISPLAY: x11_grab <file.png>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  QGuiApplication app(argc, argv);
  return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0
                                                                                               : 1;
}
