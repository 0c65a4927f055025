// One keystroke until every view shows the found entry (the locate, the
// edits, memos, grid and combo box updated and the window painted), on the
// generated 1,000,000-entry table of Turkish headwords, in the English
// interface (whose table holds Turkish headwords): in the search box
// (case-sensitive) and in the closed lookup combo box (case-insensitive by
// the Turkish case pairs, without marks when that finds nothing). Prints
// median and p95 of each, side by side.
//
//   keystroke_bench [keystrokes] [data]     (QT_QPA_PLATFORM=offscreen is set here)

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "app/Application.h"
#include "app/frmMainE.h"
#include "bench/support/GeneratedTable.h"

using namespace lugatim;

namespace {

class QuietDialogs : public app::IDialogs {
 public:
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "error: %s\n", text.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const int keystrokes = argc > 1 ? std::atoi(argv[1]) : 4000;
  // "data": every view's content updated, without painting them.
  const bool paint = !(argc > 2 && std::string(argv[2]) == "data");
  // Both tables of the data module are the generated one.
  const std::string generated = bench::GeneratedFolder();
  const std::string folder = generated + "both/";
  std::filesystem::create_directories(folder);
  for (const char* name : {"Sozluk1.DB", "SozlukE1.DB"}) {
    std::filesystem::remove(folder + name);
    std::filesystem::create_symlink(generated + "Sozluk1.DB", folder + name);
  }
  setenv("LUGATIM_DB_DIR", folder.c_str(), 1);

  QApplication application(argc, argv);
  QuietDialogs dialogs;
  app::SetDialogs(&dialogs);
  app::TProcessState state;
  const std::string exeDir =
      std::filesystem::temp_directory_path().string() + "/lugatim-bench-exe/";
  std::filesystem::create_directories(exeDir);
  app::TfrmLugatim window(state, exeDir);
  data::TDModuleFrm dataModule(dialogs);
  window.AttachDataModule(&dataModule);
  window.show();
  QApplication::processEvents();

  // The English interface searches the table of Turkish headwords.
  window.DilDegis->trigger();
  QApplication::processEvents();

  // Type words letter by letter, as a user does: into the search box, then
  // into the closed combo box (each word's search text started afresh).
  const auto words = bench::SampleWords(keystrokes, 11);
  const auto measure = [&](const char* what, auto clearBox, auto typePrefix) {
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(keystrokes));
    size_t word = 0;
    while (static_cast<int>(micros.size()) < keystrokes) {
      clearBox();
      QApplication::processEvents();
      const QString w = QString::fromStdString(words[word++ % words.size()]);
      for (int n = 1; n <= std::min<int>(4, static_cast<int>(w.size())); ++n) {
        const auto start = std::chrono::steady_clock::now();
        typePrefix(w, n);
        if (paint) {
          // The views have asked for their repaints; the pending update
          // requests paint exactly what changed.
          QApplication::processEvents();
        }
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
      }
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%-28s %s: keystrokes %zu  median %.1f us  p95 %.1f us  max %.1f us\n", what,
                paint ? "updated and painted" : "updated", micros.size(), micros[micros.size() / 2],
                micros[micros.size() * 95 / 100], micros.back());
  };
  measure(
      "search box (case-sensitive)", [&] { window.Edit1->clear(); },
      [&](const QString& w, int n) { window.Edit1->setText(w.left(n)); });
  window.DBLookupComboBox1->setFocus();
  const auto key = [&](int code, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(window.DBLookupComboBox1, &press);
  };
  measure(
      "combo box (Turkish, no case)", [&] { key(Qt::Key_Escape, QString()); },
      [&](const QString& w, int n) {
        const QString character = w.mid(n - 1, 1);
        // Alternate capitals: "KöPeK" searches as "köpek".
        key(Qt::Key_unknown, n % 2 == 0 ? character.toUpper() : character);
      });
  std::printf("table of %d entries\n", dataModule.SozlukETB.RecordCount());
  return 0;
}
