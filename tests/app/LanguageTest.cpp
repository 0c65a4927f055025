#include <QAccessible>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>

#include "AppFixture.h"
#include "app/Texts.h"

using namespace lugatim;

class Language : public WindowFixture {
 protected:
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (QLabel* l : {window_->Label1, window_->Label2, window_->Label3, window_->Label4,
                      window_->Label5, window_->Label6, window_->Label7}) {
      out.push_back(l->text().toStdString());
    }
    return out;
  }
  std::vector<data::TDataSource*> Sources() const {
    auto& w = *window_;
    return {w.DBLookupComboBox1->ListSource(),
            w.DBGrid1->DataSource(),
            w.DBEdit2->DataSource(),
            w.DBEdit3->DataSource(),
            w.DBEdit4->DataSource(),
            w.DBMemo1->DataSource(),
            w.DBMemo2->DataSource()};
  }
};

TEST_F(Language, FirstShowingSwitchesOnceToTurkish) {
  MakeDictionaries();
  Start();
  EXPECT_EQ(state_.currentLanguage, "Tur");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Kelime Ara", "Kelime Ara", "Kelime", "Kategori",
                                                  "Önek / Sonek", "Anlamı", "Örnek"}));
  EXPECT_EQ(Sources(), std::vector<data::TDataSource*>(7, &dataModule_->Dtsrc1));
  EXPECT_EQ(Shown(), "apple");  // the Turkish-side table: English headwords
  EXPECT_EQ(window_->Kapat->text(), "Kapat");
  EXPECT_EQ(window_->Hakkinda->text(), "Hakkında");
  EXPECT_FALSE(window_->SpeedButton1->Glyph().isNull());
  EXPECT_EQ(window_->SpeedButton1->Glyph().size(), QSize(38, 27));
  EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();

  // F1 shows the Turkish about text: two lines, CR LF between them.
  QTest::keyClick(window_->Edit1, Qt::Key_F1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0], app::TurkishTexts().about);
  EXPECT_NE(dialogs_.messages[0].find("Sözlük"), std::string::npos);
  EXPECT_NE(dialogs_.messages[0].find("\r\n"), std::string::npos);

  window_->hide();  // showing again is no first showing: no second switch
  window_->show();
  EXPECT_EQ(state_.currentLanguage, "Tur");
}

TEST_F(Language, TwoFlagClicksReturnToTheFormerStateWithEachTablesOwnEntry) {
  MakeDictionaries();
  Start();
  QTest::keyClicks(window_->Edit1, "do");
  ASSERT_EQ(Shown(), "dog");
  const QImage turkishGlyph = window_->SpeedButton1->Glyph();
  const auto turkishLabels = Captions();
  const auto turkishLeft = window_->Label1->geometry();

  QTest::mouseClick(window_->SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(state_.currentLanguage, "Eng");
  EXPECT_EQ(Captions()[0], "Look up Word");
  EXPECT_EQ(Captions()[4], "Prefix / Suffix");
  EXPECT_EQ(Sources(), std::vector<data::TDataSource*>(7, &dataModule_->Dtsrc2));
  EXPECT_EQ(state_.aboutText, app::EnglishTexts().about);
  EXPECT_EQ(window_->Kapat->text(), "Close");
  EXPECT_EQ(window_->Hakkinda->text(), "About");
  EXPECT_NE(window_->SpeedButton1->Glyph(), turkishGlyph);
  EXPECT_EQ(window_->Label1->geometry().right(), turkishLeft.right());  // right edge kept
  EXPECT_EQ(Shown(), "elma");  // the English-side table's own entry, not a search result
  EXPECT_EQ(window_->Edit1->text(), "do");
  QTest::keyClicks(window_->Edit1, "");
  QTest::keyClick(window_->Edit1, Qt::Key_Backspace);  // "d": searched in the other table now
  EXPECT_EQ(Shown(), "elma");
  window_->Edit1->setText("kö");
  EXPECT_EQ(Shown(), "köpek");

  QTest::mouseClick(window_->SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(Captions(), turkishLabels);
  EXPECT_EQ(window_->SpeedButton1->Glyph(), turkishGlyph);
  EXPECT_EQ(Shown(), "dog");  // where the Turkish-side table was left
  EXPECT_EQ(state_.aboutText, app::TurkishTexts().about);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(Language, RebindingSearchesTheChosenHeadwordInTheOtherTable) {
  MakeTable("Sozluk1.DB", {{"apple"}, {"kitap"}, {"zebra"}}, "CREATE INDEX k ON Sozluk1(Kelime)");
  MakeTable("SozlukE1.DB", {{"elma"}, {"kitap"}}, "CREATE INDEX k ON SozlukE1(Kelime)");
  Start();
  auto* combo = window_->DBLookupComboBox1;
  combo->setFocus();
  QTest::keyClicks(combo, "kit");
  ASSERT_EQ(combo->Text(), "kitap");
  window_->DilDegis->trigger();  // the English side has "kitap" as well
  EXPECT_EQ(combo->Text(), "kitap");
  EXPECT_EQ(Shown(), "kitap");
  window_->DilDegis->trigger();
  QTest::keyClick(combo, Qt::Key_Down);  // choose "zebra", which the other side lacks
  ASSERT_EQ(combo->Text(), "zebra");
  window_->DilDegis->trigger();
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(Shown(), "kitap");  // the English-side table stays where it was
}

TEST_F(Language, SwitchBeforeTheLanguageIsSetChangesNothing) {
  MakeDictionaries();
  Start();
  state_.currentLanguage.clear();
  window_->DilDegisExecute();
  EXPECT_EQ(state_.currentLanguage, "");
  EXPECT_EQ(Captions()[0], "Kelime Ara");
}

// Qt's own texts follow the interface: the edit box's context menu and the
// standard dialog buttons in Turkish while the interface is Turkish, in
// English again after the flag.
TEST_F(Language, QtsOwnTextsFollowTheFlag) {
  MakeDictionaries();
  Start();
  ASSERT_EQ(state_.currentLanguage, "Tur");
  const auto menuTexts = [&] {
    std::unique_ptr<QMenu> menu(window_->Edit1->createStandardContextMenu());
    QStringList texts;
    for (QAction* action : menu->actions())
      if (!action->isSeparator()) texts << action->text().section('\t', 0, 0);  // no shortcut
    return texts;
  };
  const auto cancel = [] {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
  };
  // What Qt's Turkish file says, read here on its own.
  QTranslator qt;
  ASSERT_TRUE(qt.load("qt_tr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      << "qt6-translations-l10n is not installed";
  const QString undo = qt.translate("QLineEdit", "&Undo");
  const QString iptal = qt.translate("QPlatformTheme", "Cancel");
  ASSERT_FALSE(undo.isEmpty());
  ASSERT_NE(undo, "&Undo");
  const QStringList turkish = menuTexts();
  ASSERT_FALSE(turkish.isEmpty());
  EXPECT_TRUE(turkish.contains(undo)) << turkish.join('|').toStdString();
  EXPECT_FALSE(turkish.contains("&Undo"));
  EXPECT_EQ(cancel(), iptal);
  EXPECT_NE(iptal, "Cancel");

  window_->DilDegis->trigger();
  ASSERT_EQ(state_.currentLanguage, "Eng");
  const QStringList english = menuTexts();
  EXPECT_TRUE(english.contains("&Undo")) << english.join('|').toStdString();
  EXPECT_EQ(english.size(), turkish.size());
  EXPECT_EQ(cancel(), "Cancel");

  window_->DilDegis->trigger();
  EXPECT_EQ(menuTexts(), turkish);
}

// The painted close and minimise buttons and the flag are buttons to
// assistive technology, named in the interface's language, and pressing them
// through the accessibility interface does what a click does.
TEST_F(Language, PaintedButtonsAndTheFlagAreNamedPressableButtons) {
  MakeDictionaries();
  Start();
  const auto named = [](QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    EXPECT_NE(a, nullptr);
    if (a == nullptr) return std::make_pair(QAccessible::NoRole, QString());
    EXPECT_TRUE(a->actionInterface() != nullptr && a->actionInterface()->actionNames().contains(
                                                       QAccessibleActionInterface::pressAction()));
    return std::make_pair(a->role(), a->text(QAccessible::Name));
  };
  ASSERT_NE(window_->KapatButton, nullptr);
  ASSERT_NE(window_->KucultButton, nullptr);
  // Over the skin's hot areas, letting the pointer through to the surface.
  EXPECT_EQ(window_->KapatButton->geometry(),
            skin::AreaRect(window_->SkinForm1->HotAreas()[static_cast<size_t>(
                window_->SkinForm1->IndexOfHotArea("KAPAT"))]));
  EXPECT_TRUE(window_->KucultButton->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(window_->KapatButton->focusPolicy(), Qt::NoFocus);

  using Named = std::pair<QAccessible::Role, QString>;
  EXPECT_EQ(named(window_->KapatButton), Named(QAccessible::Button, "Kapat"));
  EXPECT_EQ(named(window_->KucultButton), Named(QAccessible::Button, "Simge durumuna küçült"));
  EXPECT_EQ(named(window_->SpeedButton1), Named(QAccessible::Button, "İngilizceye geç"));

  // The flag pressed through the interface switches the language, and the
  // names follow.
  QAccessible::queryAccessibleInterface(window_->SpeedButton1)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(QTest::qWaitFor([&] { return state_.currentLanguage == "Eng"; }));
  EXPECT_EQ(named(window_->KapatButton), Named(QAccessible::Button, "Close"));
  EXPECT_EQ(named(window_->KucultButton), Named(QAccessible::Button, "Minimise"));
  EXPECT_EQ(named(window_->SpeedButton1), Named(QAccessible::Button, "Switch to Turkish"));

  // Minimise pressed through the interface runs the minimise action.
  QSignalSpy minimised(window_->Kucult, &QAction::triggered);
  QAccessible::queryAccessibleInterface(window_->KucultButton)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(QTest::qWaitFor([&] { return minimised.count() == 1; }));
}
