#include "app/frmMainE.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMovie>
#include <filesystem>

#include "app/Application.h"
#include "app/HandOverServer.h"
#include "app/LookupText.h"
#include "app/OnScreen.h"
#include "app/Texts.h"
#include "banner/Kodlar.h"
#include "base/Trace.h"
#include "codecs/NamedFormat.h"
#include "platform/ExePath.h"
#include "skin/SkinResources.h"

namespace lugatim::app {

TfrmLugatim* frmLugatim = nullptr;
data::TDModuleFrm* DModuleFrm = nullptr;

namespace {

// The hot areas under which the pointer becomes a hand.
bool IsButtonHotArea(const std::string& id) {
  return id == "KUCULT" || id == "KAPAT" || id == "SOZLUK" || id == "TERCUME" || id == "BAYRAK";
}

// The icon, read as the PNG it is: a name without a suffix would make QIcon
// look its type up in the MIME database and ask every image plugin.
QIcon ProgramIcon() {
  return QIcon(QPixmap::fromImage(codecs::ReadImageFile(QStringLiteral(":/PNG/ICON"), "png")));
}

QFont WindowFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(14);
  return font;
}

}  // namespace

TfrmLugatim::TfrmLugatim(TProcessState& state, const std::string& exeDir, const base::TClock& clock,
                         int timerIntervalMs)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      ResponsiveWait1(http::TEventPump{[] { QCoreApplication::processEvents(); },
                                       // Qt has no "one event" call; a single non-blocking pass of
                                       // the event dispatcher is the closest.
                                       [] {
                                         if (auto* dispatcher =
                                                 QAbstractEventDispatcher::instance()) {
                                           dispatcher->processEvents(QEventLoop::AllEvents);
                                         }
                                       }}),
      state_(state),
      exeDir_(exeDir),
      channel_(std::make_unique<banner::TBannerChannel>(HttpClient1, state.channel, clock,
                                                        bannerDisplay_)) {
  setObjectName(QStringLiteral("frmLugatim"));
  setWindowTitle(QString::fromUtf8(kWindowCaption));
  setWindowIcon(ProgramIcon());
  move(222, 111);
  resize(492, 473);
  setFont(WindowFont());
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  // The skinned surface covers the window and lies beneath everything else.
  SkinForm1 = new skin::TSkinForm(this);
  SkinForm1->setObjectName(QStringLiteral("SkinForm1"));
  SkinForm1->SetKeyColor(Qt::white);
  SkinForm1->SetTolerance(Qt::black);
  // The skin's images decode on a worker thread while the controls are
  // built; FormCreate's LoadSkin takes them.
  SkinForm1->BeginLoadSkin();
  SkinForm1->OnMouseUpNotify = [this](std::string id, skin::TMouseButton button,
                                      skin::TShiftState shift, int x,
                                      int y) { SkinForm1MouseUpNotify(id, button, shift, x, y); };
  SkinForm1->OnMouseMoveNotify = [this](std::string id, skin::TShiftState shift, int x, int y) {
    SkinForm1MouseMoveNotify(id, shift, x, y);
  };

  // Drawn on the window's surface, bottom to top: labels, flag button, banner.
  Label1 = MakeLabel(22, 53, 84, 16, true);
  Label2 = MakeLabel(228, 53, 80, 16, true);
  Label3 = MakeLabel(92, 194, 43, 16, false);
  Label4 = MakeLabel(80, 227, 55, 19, false);
  Label5 = MakeLabel(61, 260, 74, 16, true);
  Label6 = MakeLabel(77, 293, 58, 26, false);
  Label7 = MakeLabel(70, 327, 65, 29, false);

  SpeedButton1 = new widgets::TSpeedButton(this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setGeometry(390, 15, 35, 20);
  SpeedButton1->setCursor(Qt::PointingHandCursor);
  SpeedButton1->setContextMenuPolicy(Qt::PreventContextMenu);
  connect(SpeedButton1, &QToolButton::clicked, this,
          [this] { Guarded([this] { SpeedButton1Click(); }); });

  Image1 = new widgets::TImage(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(12, 356, 468, 60);
  Image1->setCursor(Qt::PointingHandCursor);
  Image1->setContextMenuPolicy(Qt::PreventContextMenu);
  Image1->SetMovieFile(QStringLiteral(":/GIF/BANNER"), Image1->devicePixelRatioF(), "gif");
  connect(Image1, &widgets::TImage::Clicked, this, [this] { Guarded([this] { Image1Click(); }); });

  // Child controls above the surface, in tab order.
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(115, 52, 97, 24);
  connect(Edit1, &QLineEdit::textChanged, this, [this] { Guarded([this] { Edit1Change(); }); });

  DBLookupComboBox1 = new widgets::TDBLookupComboBox(this, QStringLiteral("Kelime"));
  DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
  DBLookupComboBox1->setGeometry(317, 52, 116, 24);
  DBLookupComboBox1->SetClock(&clock);

  DBGrid1 = new widgets::TDBGrid({{QStringLiteral("Kelime"), QStringLiteral("Word")},
                                  {QStringLiteral("Kategori"), QStringLiteral("Category")},
                                  {QStringLiteral("OnekSonek"), QStringLiteral("Prefix/Suffix")}},
                                 this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setGeometry(55, 85, 382, 97);
  for (int column = 0; column < 3; ++column) DBGrid1->setColumnWidth(column, 120);
  DBGrid1->horizontalHeader()->setFont(WindowFont());
  DBGrid1->SetToolTipField(QStringLiteral("Anlami"));

  const auto makeEdit = [this](const char* name, int y, const char* field) {
    auto* edit = new widgets::TDBEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(150, y, 285, 24);
    edit->SetDataField(QString::fromUtf8(field));
    return edit;
  };
  DBEdit2 = makeEdit("DBEdit2", 194, "Kelime");
  // The word-form note belongs to the entry found for the handed-over word:
  // once another entry shows (grid, lookup box), it goes.
  connect(DBEdit2, &QLineEdit::textChanged, this, [this](const QString& shown) {
    if (handingOver_ || !handed_ || !handed_->second.found) return;
    if (shown != QString::fromStdString(handed_->second.headword)) {
      handed_.reset();
      ShowHandOverNote();
    }
  });
  DBEdit3 = makeEdit("DBEdit3", 227, "Kategori");
  DBEdit4 = makeEdit("DBEdit4", 260, "OnekSonek");
  const auto makeMemo = [this](const char* name, int y, int h, const char* field) {
    auto* memo = new widgets::TDBMemo(this);
    memo->setObjectName(QString::fromUtf8(name));
    memo->setGeometry(150, y, 285, h);
    memo->SetDataField(QString::fromUtf8(field));
    return memo;
  };
  DBMemo1 = makeMemo("DBMemo1", 293, 28, "Anlami");
  DBMemo2 = makeMemo("DBMemo2", 327, 26, "Ornek");

  const std::vector<QWidget*> order = TabOrder();
  for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  // Each label names its control, for screen readers among others.
  for (auto [label, control] : LabelledControls()) label->setBuddy(control);

  // Actions, in list order; only some have handlers.
  const auto makeAction = [this](const char* name, const char* caption) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    ActionList1.push_back(action);
    return action;
  };
  Kapat = makeAction("Kapat", "Kapat");
  Kucult = makeAction("Kucult", "Kucult");
  DilDegis = makeAction("DilDegis", "DilDegis");
  Hakkinda = makeAction("Hakkinda", "Hakkında");
  Hakkinda->setShortcut(QKeySequence(Qt::Key_F1));
  URLAc = makeAction("URLAc", "URLAc");
  ReklamListele = makeAction("ReklamListele", "ReklamListele");
  VerKontrolEt = makeAction("VerKontrolEt", "VerKontrolEt");
  BannerIndir = makeAction("BannerIndir", "BannerIndir");
  BannerGoruntule = makeAction("BannerGoruntule", "BannerGoruntule");
  Temizle = makeAction("Temizle", "Temizle");
  const auto handle = [this](QAction* action, void (TfrmLugatim::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
  };
  handle(Kapat, &TfrmLugatim::KapatExecute);
  handle(Kucult, &TfrmLugatim::KucultExecute);
  handle(DilDegis, &TfrmLugatim::DilDegisExecute);
  handle(Hakkinda, &TfrmLugatim::HakkindaExecute);
  connect(Temizle, &QAction::triggered, this,
          [this] { Guarded([this] { channel_->TemizleExecute(); }); });
  connect(VerKontrolEt, &QAction::triggered, this,
          [this] { Guarded([this] { channel_->VerKontrolEtExecute(); }); });
  connect(ReklamListele, &QAction::triggered, this,
          [this] { Guarded([this] { channel_->ReklamListeleExecute(); }); });
  connect(BannerIndir, &QAction::triggered, this,
          [this] { Guarded([this] { channel_->BannerIndirExecute(); }); });
  connect(BannerGoruntule, &QAction::triggered, this,
          [this] { Guarded([this] { channel_->BannerGoruntuleExecute(); }); });

  // The popup menu's items are the actions themselves, so they carry their
  // captions, shortcut texts and handlers.
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addAction(Kapat);
  PopupMenu1->addAction(Hakkinda);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(timerIntervalMs);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
  Timer1->start();

  // Key preview: the window sees every key before the focused control.
  qApp->installEventFilter(this);
  Edit1->setFocus();

  Guarded([this] { FormCreate(); });
  // The skin has given the window its size: only now is it known whether the
  // stored position keeps it on screen.
  KeepOnScreen(*this);
}

TfrmLugatim::~TfrmLugatim() {
  qApp->removeEventFilter(this);
  // A rotation still waiting is stopped, not waited for beyond that.
  channel_.reset();
  FormDestroy();
}

QLabel* TfrmLugatim::MakeLabel(int x, int y, int w, int h, bool autoSize) {
  auto* label = new QLabel(this);
  label->setObjectName(QStringLiteral("Label%1").arg(autoSize_.size() + 1));
  label->setGeometry(x, y, w, h);
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::yellow);
  label->setPalette(palette);
  // On the button-coloured window a label would otherwise draw in ButtonText.
  label->setForegroundRole(QPalette::WindowText);
  label->setAutoFillBackground(false);
  label->setContextMenuPolicy(Qt::PreventContextMenu);
  autoSize_.push_back(autoSize);
  rightEdge_.push_back(x + w);
  storedWidth_.push_back(w);
  return label;
}

void TfrmLugatim::SetCaption(QLabel* label, const char* caption) {
  label->setText(QString::fromUtf8(caption));
  const size_t index = static_cast<size_t>(label->objectName().mid(5).toInt() - 1);
  // A label that sizes to its text keeps its right edge. A fixed one keeps
  // its size, unless this desktop's font makes the caption wider than the
  // label: then it grows to the left rather than cut the caption off. It
  // never comes closer than kLabelGap to a control on its left; a caption
  // too wide for that room is drawn in a smaller size of the font.
  const int room = rightEdge_[index] - LeftLimit(label);
  QFont font = this->font();
  while (QFontMetrics(font).horizontalAdvance(label->text()) > room && font.pixelSize() > 8) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  label->setFont(font);
  const int needed = QFontMetrics(font).horizontalAdvance(label->text());
  const int width = autoSize_[index] ? needed : std::max(storedWidth_[index], needed);
  label->setGeometry(rightEdge_[index] - width, label->y(), width, label->height());
}

int TfrmLugatim::LeftLimit(const QLabel* label) const {
  const size_t index = static_cast<size_t>(label->objectName().mid(5).toInt() - 1);
  int limit = 0;
  for (const QWidget* control : TabOrder()) {
    const QRect r = control->geometry();
    const bool sameRow = r.top() < label->y() + label->height() && label->y() < r.bottom() + 1;
    if (sameRow && r.right() < rightEdge_[index])
      limit = std::max(limit, r.right() + 1 + kLabelGap);
  }
  return limit;
}

std::vector<std::pair<QLabel*, QWidget*>> TfrmLugatim::LabelledControls() const {
  return {{Label1, Edit1},   {Label2, DBLookupComboBox1}, {Label3, DBEdit2}, {Label4, DBEdit3},
          {Label5, DBEdit4}, {Label6, DBMemo1},           {Label7, DBMemo2}};
}

std::vector<QWidget*> TfrmLugatim::TabOrder() const {
  return {Edit1, DBLookupComboBox1, DBGrid1, DBEdit2, DBEdit3, DBEdit4, DBMemo1, DBMemo2};
}

void TfrmLugatim::AttachDataModule(data::TDModuleFrm* dataModule) {
  dataModule_ = dataModule;
  BindDataControls(&dataModule->Dtsrc2);
  // The lookup box's typed search tries the word's lemma last.
  DBLookupComboBox1->SetLemmaFinder([this](const std::string& text, base::TLanguage language) {
    if (dataModule_ == nullptr) return std::string();
    const data::TTable& table =
        language == base::TLanguage::Turkish ? dataModule_->SozlukETB : dataModule_->SozlukTB;
    return LemmaHeadword(text, table, WordForms());
  });
  AcKapa = new QAction(QStringLiteral("AcKapa"), this);
  AcKapa->setObjectName(QStringLiteral("AcKapa"));
  AcKapa->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  AcKapa->setShortcutContext(Qt::WindowShortcut);
  addAction(AcKapa);
  connect(AcKapa, &QAction::triggered, this,
          [this] { Guarded([this] { dataModule_->AcKapa.Execute(); }); });
}

void TfrmLugatim::BindDataControls(data::TDataSource* source) {
  DBLookupComboBox1->SetListSource(source);
  DBGrid1->SetDataSource(source);
  DBEdit2->SetDataSource(source);
  DBEdit3->SetDataSource(source);
  DBEdit4->SetDataSource(source);
  DBMemo1->SetDataSource(source);
  DBMemo2->SetDataSource(source);
}

void TfrmLugatim::FormCreate() {
  // Beside the executable; an installed program, whose folder is not the
  // user's to write, keeps its banners in the user's cache instead.
  if (platform::RunsInstalled(exeDir_)) {
    std::error_code ignored;
    std::filesystem::create_directories(platform::UserCacheDir(), ignored);
    state_.channel.bannerFolder = banner::BannerFolderOf(platform::UserCacheDir());
  } else {
    state_.channel.bannerFolder = banner::BannerFolderOf(exeDir_);
  }
  banner::EnsureBannerFolder(state_.channel.bannerFolder);
  Temizle->trigger();
  state_.channel.busy = false;
  channel_->SetUpdateServer(banner::ConfiguredUpdateServer());
  state_.channel.adList = std::make_unique<base::TStringList>();
  // The window takes the mask's size and outline.
  SkinForm1->LoadSkin();
  KapatButton = HotAreaButton("KAPAT", Kapat);
  KucultButton = HotAreaButton("KUCULT", Kucult);
  state_.currentLanguage = "Eng";
  BannerGoruntule->trigger();
}

widgets::THotAreaButton* TfrmLugatim::HotAreaButton(const char* id, QAction* action) {
  const int index = SkinForm1->IndexOfHotArea(id);
  if (index < 0) return nullptr;
  auto* button =
      new widgets::THotAreaButton(this, action,
                                  skin::AreaRect(SkinForm1->HotAreas()[static_cast<size_t>(index)])
                                      .translated(SkinForm1->pos()));
  button->setObjectName(QString::fromUtf8(id));
  button->show();
  return button;
}

void TfrmLugatim::FormShow() {
  DilDegis->trigger();
}

void TfrmLugatim::FormDestroy() {
  state_.channel.adList.reset();
}

void TfrmLugatim::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Only the first showing switches the language; restoring does not.
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TfrmLugatim::Edit1Change() {
  lastSearchFound_ = false;
  if (!handingOver_ && handed_) {
    handed_.reset();
    ShowHandOverNote();
  }
  if (dataModule_ == nullptr) return;
  const std::string text = Edit1->text().toStdString();
  if (state_.currentLanguage == "Eng") {
    lastSearchFound_ = dataModule_->SozlukETB.Locate("Kelime", text, data::loPartialKey);
  } else if (state_.currentLanguage == "Tur") {
    lastSearchFound_ = dataModule_->SozlukTB.Locate("Kelime", text, data::loPartialKey);
  }
}

morph::TWordForms& TfrmLugatim::WordForms() {
  if (wordForms_ == nullptr) {
    std::string folder;
    try {
      folder = data::ResolveAliasFor(data::kDictionaryAlias, morph::kMorphFile);
    } catch (const data::EDatabaseError&) {
    }
    wordForms_ = std::make_unique<morph::TWordForms>(folder + morph::kMorphFile);
  }
  return *wordForms_;
}

void TfrmLugatim::ShowHandOverNote() {
  const QString note =
      handed_ ? HandOverNote(handed_->first, handed_->second, state_.currentLanguage == "Tur")
              : QString();
  DBEdit2->setToolTip(note);
  DBEdit2->setAccessibleDescription(note);
}

void TfrmLugatim::LookUpWord(const std::string& word, const std::string& activationToken) {
  BringToFront(*this, activationToken);
  // Cleared however the lookup ends, so that typing later clears the note.
  struct THandingOver {
    bool& flag;
    explicit THandingOver(bool& f) : flag(f) { flag = true; }
    ~THandingOver() { flag = false; }
  } handingOver(handingOver_);
  const auto type = [this](const QString& text) {
    // Typing the text that already stands there searches again all the same.
    if (Edit1->text() == text) {
      Edit1Change();
    } else {
      Edit1->setText(text);
    }
    return lastSearchFound_;
  };
  THandedWord handed;
  if (dataModule_ != nullptr &&
      (state_.currentLanguage == "Eng" || state_.currentLanguage == "Tur")) {
    // The English interface searches Turkish headwords, the Turkish one English.
    const bool english = state_.currentLanguage == "Eng";
    handed = FindHandedWord(word, english ? dataModule_->SozlukETB : dataModule_->SozlukTB,
                            english ? dataModule_->SozlukTB : dataModule_->SozlukETB, WordForms());
  }
  bool found = false;
  if (handed.found) {
    if (handed.otherTable) DilDegis->trigger();
    found = type(QString::fromStdString(handed.headword));
  }
  if (!found) {
    const QString given = QString::fromStdString(word);
    for (const QString& candidate : LookupCandidates(given, state_.currentLanguage == "Eng")) {
      if ((found = type(candidate))) break;
    }
    if (!found) type(given);
  }
  handed_.emplace(word, std::move(handed));
  ShowHandOverNote();
  Edit1->setFocus();
  if (base::TraceEnabled()) {
    base::Trace("Looked up: %s (%s)", Edit1->text().toStdString().c_str(),
                found ? "found" : "not found");
    const QString note = DBEdit2->toolTip();
    if (!note.isEmpty()) base::Trace("Word form: %s", note.toStdString().c_str());
  }
}

bool TfrmLugatim::FormKeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  // Enter never reaches a control: it moves the focus on in tab order,
  // from the last control back to the first.
  if (DBLookupComboBox1->ListVisible()) DBLookupComboBox1->CloseUp(false);
  const std::vector<QWidget*> order = TabOrder();
  QWidget* focus = QApplication::focusWidget();
  size_t at = order.size() - 1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (focus != nullptr && (focus == order[i] || order[i]->isAncestorOf(focus) ||
                             (order[i] == DBLookupComboBox1 && DBLookupComboBox1->Owns(focus)))) {
      at = i;
    }
  }
  order[(at + 1) % order.size()]->setFocus(Qt::TabFocusReason);
  return true;
}

bool TfrmLugatim::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if ((widget->window() == this || DBLookupComboBox1->Owns(widget)) &&
        FormKeyPress(static_cast<QKeyEvent*>(event))) {
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TfrmLugatim::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu1->popup(event->globalPos());
}

void TfrmLugatim::KapatExecute() {
  QCoreApplication::exit(0);
}

void TfrmLugatim::KucultExecute() {
  showMinimized();
}

void TfrmLugatim::HakkindaExecute() {
  Dialogs().ShowMessage(state_.aboutText);
}

void TfrmLugatim::SpeedButton1Click() {
  DilDegis->trigger();
}

void TfrmLugatim::Timer1Timer() {
  channel_->Timer1Timer();
}

void TfrmLugatim::Image1Click() {
  channel_->Image1Click();
}

void TfrmLugatim::BannerDisplay::ShowBanner(const banner::TBannerPicture& banner,
                                            const std::string&) {
  banner::ShowBannerOn(*window_.Image1, banner);
}

void TfrmLugatim::DilDegisExecute() {
  if (state_.currentLanguage == "Eng") {
    ApplyLanguage(TurkishTexts(), dataModule_ ? &dataModule_->Dtsrc1 : nullptr);
  } else if (state_.currentLanguage == "Tur") {
    ApplyLanguage(EnglishTexts(), dataModule_ ? &dataModule_->Dtsrc2 : nullptr);
  }
}

void TfrmLugatim::ApplyLanguage(const TLanguageTexts& texts, data::TDataSource* source) {
  state_.currentLanguage = texts.language;
  qtTexts_.Use(state_.currentLanguage == "Tur");
  QLabel* const labels[] = {Label1, Label2, Label3, Label4, Label5, Label6, Label7};
  for (size_t i = 0; i < 7; ++i) SetCaption(labels[i], texts.labels[i]);
  for (auto [label, control] : LabelledControls()) control->setAccessibleName(label->text());
  if (source != nullptr) BindDataControls(source);
  state_.aboutText = texts.about;
  ShowHandOverNote();
  Kapat->setText(QString::fromUtf8(texts.kapat));
  if (KapatButton != nullptr) KapatButton->setAccessibleName(QString::fromUtf8(texts.closeName));
  if (KucultButton != nullptr)
    KucultButton->setAccessibleName(QString::fromUtf8(texts.minimiseName));
  SpeedButton1->setAccessibleName(QString::fromUtf8(texts.flagName));
  Hakkinda->setText(QString::fromUtf8(texts.hakkinda));
  const skin::TResourceReader resources = skin::ProgramResources();
  SpeedButton1->LoadGlyph(skin::ReadResource(resources, "BMP", texts.glyph),
                          skin::ReadScaledResources(resources, "BMP", texts.glyph));
}

void TfrmLugatim::SkinForm1MouseUpNotify(const std::string& id, skin::TMouseButton button,
                                         skin::TShiftState, int, int) {
  if (button != skin::TMouseButton::mbLeft) return;
  if (id == "KAPAT") {
    Kapat->trigger();
  } else if (id == "KUCULT") {
    Kucult->trigger();
  } else if (id == "BAYRAK") {
    DilDegis->trigger();
  } else if (id == "TERCUME" || id == "SOZLUK") {
    URLAc->trigger();
  }
}

void TfrmLugatim::SkinForm1MouseMoveNotify(const std::string& id, skin::TShiftState, int, int) {
  setCursor(IsButtonHotArea(id) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

}  // namespace lugatim::app
