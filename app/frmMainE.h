#pragma once
// The main window: search box, lookup combo box, grid, the entry's boxes and
// memos, the flag button, the banner area, the actions and the popup menu.
// Its handlers stay thin: the tables, the language texts and the banner
// channel do the work.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "app/ProcessState.h"
#include "app/QtTranslations.h"
#include "app/WordLookup.h"
#include "banner/BannerChannel.h"
#include "banner/UpdateServer.h"
#include "base/Clock.h"
#include "data/DModUnt.h"
#include "http/HttpClient.h"
#include "http/ResponsiveWait.h"
#include "skin/SkinForm.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/HotAreaButton.h"
#include "widgets/ImageControl.h"
#include "widgets/SpeedButton.h"

namespace lugatim::app {

struct TLanguageTexts;

class TfrmLugatim : public QWidget {
  Q_OBJECT
 public:
  // The least space between a label and a control beside it.
  static constexpr int kLabelGap = 4;
  // Creates the window and runs FormCreate. exeDir is the executable's
  // folder (ending in "/"); the Banner folder lies inside it.
  // timerIntervalMs is the period of Timer1, the banner channel's tick.
  TfrmLugatim(TProcessState& state, const std::string& exeDir,
              const base::TClock& clock = base::SystemClock::Instance(),
              int timerIntervalMs = banner::kTimer1IntervalMs);
  ~TfrmLugatim() override;

  // Binds every data-aware control to the data source that the window's
  // stored description names (Dtsrc2) and serves the data module's shortcut.
  void AttachDataModule(data::TDModuleFrm* dataModule);

  // Life cycle.
  void FormCreate();
  void FormShow();
  void FormDestroy();

  // A word handed over from outside: the window comes to the front and the
  // headword it is found under (as given, without marks, or by its lemma; in
  // the other table when only that has it, the language switching) goes
  // into the search box, the analysis shown on the word box. A word found
  // nowhere goes in as before: its lower-case forms are tried, then it is
  // left there as it is, with suggestions on the word box.
  void LookUpWord(const std::string& word, const std::string& activationToken = {});

  // Handlers.
  void Edit1Change();
  // Key preview: returns true when the key was consumed.
  bool FormKeyPress(QKeyEvent* event);
  void KapatExecute();
  void KucultExecute();
  void HakkindaExecute();
  void DilDegisExecute();
  void SpeedButton1Click();
  void Timer1Timer();
  void Image1Click();
  void SkinForm1MouseUpNotify(const std::string& id, skin::TMouseButton button,
                              skin::TShiftState shift, int x, int y);
  void SkinForm1MouseMoveNotify(const std::string& id, skin::TShiftState shift, int x, int y);

  // Components, named as the window's description names them.
  skin::TSkinForm* SkinForm1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  widgets::TSpeedButton* SpeedButton1;
  widgets::TImage* Image1;
  QLineEdit* Edit1;
  widgets::TDBLookupComboBox* DBLookupComboBox1;
  widgets::TDBGrid* DBGrid1;
  widgets::TDBEdit* DBEdit2;
  widgets::TDBEdit* DBEdit3;
  widgets::TDBEdit* DBEdit4;
  widgets::TDBMemo* DBMemo1;
  widgets::TDBMemo* DBMemo2;

  QAction* Kapat;
  QAction* Kucult;
  // The painted close and minimise buttons, for screen readers.
  widgets::THotAreaButton* KapatButton = nullptr;
  widgets::THotAreaButton* KucultButton = nullptr;
  QAction* DilDegis;
  QAction* Hakkinda;
  QAction* URLAc;
  QAction* ReklamListele;
  QAction* VerKontrolEt;
  QAction* BannerIndir;
  QAction* BannerGoruntule;
  QAction* Temizle;
  std::vector<QAction*> ActionList1;
  QAction* AcKapa = nullptr;  // the data module's Ctrl+S, served by this window

  QMenu* PopupMenu1;
  QTimer* Timer1;
  http::THttpClient HttpClient1;
  http::TResponsiveWait ResponsiveWait1;

  TProcessState& State() { return state_; }
  // The word-form data beside the tables, read on first use.
  morph::TWordForms& WordForms();
  banner::TBannerChannel& Channel() { return *channel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* MakeLabel(int x, int y, int w, int h, bool autoSize);
  void SetCaption(QLabel* label, const char* caption);
  // The leftmost x a label may start at: kLabelGap right of any control on its row.
  int LeftLimit(const QLabel* label) const;
  // Each label with the control it captions.
  std::vector<std::pair<QLabel*, QWidget*>> LabelledControls() const;
  void ApplyLanguage(const TLanguageTexts& texts, data::TDataSource* source);
  void BindDataControls(data::TDataSource* source);
  std::vector<QWidget*> TabOrder() const;

  TProcessState& state_;
  std::string exeDir_;
  data::TDModuleFrm* dataModule_ = nullptr;
  // Shows each banner the rotation hands over in Image1.
  class BannerDisplay : public banner::IBannerDisplay {
   public:
    explicit BannerDisplay(TfrmLugatim& window) : window_(window) {}
    void ShowBanner(const banner::TBannerPicture& banner, const std::string& urlToGo) override;

   private:
    TfrmLugatim& window_;
  };
  BannerDisplay bannerDisplay_{*this};
  std::unique_ptr<banner::TBannerChannel> channel_;
  std::vector<bool> autoSize_;  // per label, in label order
  std::vector<int> rightEdge_;
  std::vector<int> storedWidth_;
  bool shown_ = false;
  bool lastSearchFound_ = false;  // whether the search box's last search found an entry
  void ShowHandOverNote();
  // A button for screen readers over the skin's hot area id; none when the
  // skin has no such area.
  widgets::THotAreaButton* HotAreaButton(const char* id, QAction* action);
  std::unique_ptr<morph::TWordForms> wordForms_;
  TQtTranslations qtTexts_;
  // The last handed-over word and how it was found, while its entry shows.
  std::optional<std::pair<std::string, THandedWord>> handed_;
  bool handingOver_ = false;
};

// The program's single main window and data module, while they exist.
extern TfrmLugatim* frmLugatim;
extern data::TDModuleFrm* DModuleFrm;

}  // namespace lugatim::app
