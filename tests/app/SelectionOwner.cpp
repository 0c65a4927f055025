// Test helper: owns the X11 primary selection (and, with --clipboard, the
// clipboard instead) with the text given, says "ready" on stdout and serves
// the selection until it is killed.
//   lugatim-selection-owner [--clipboard] TEXT

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const bool clipboard = argc > 2 && std::strcmp(argv[1], "--clipboard") == 0;
  const QString text = QString::fromUtf8(argv[argc - 1]);
  QClipboard* board = QGuiApplication::clipboard();
  board->setText(text, clipboard ? QClipboard::Clipboard : QClipboard::Selection);
  // Ready once the X server has made this process the owner.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (clipboard ? board->ownsClipboard() : board->ownsSelection()) {
      std::puts("ready");
      std::fflush(stdout);
      poll.stop();
    }
  });
  poll.start(10);
  return app.exec();
}
