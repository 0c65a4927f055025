#include "widgets/DBLookupComboBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QVBoxLayout>

#include "widgets/DBGrid.h"

namespace lugatim::widgets {

namespace {

constexpr int kMaxListRows = 7;

// Screen readers see a combo box whose value is the chosen headword.
class TComboAccessible : public QAccessibleWidget {
 public:
  explicit TComboAccessible(TDBLookupComboBox* box)
      : QAccessibleWidget(box, QAccessible::ComboBox) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return static_cast<TDBLookupComboBox*>(widget())->Text();
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* ComboAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TDBLookupComboBox::staticMetaObject.className())) {
    return new TComboAccessible(static_cast<TDBLookupComboBox*>(object));
  }
  return nullptr;
}

}  // namespace

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent, const QString& listField)
    : QWidget(parent), model_({{listField, QString()}}, this), field_(listField) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(ComboAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;

  // The list is made when it is first needed: an item view is the dearest
  // control to make, and most lookups never open the list.
  connect(&model_, &QAbstractItemModel::modelReset, this, [this] { ResearchKey(); });
}

TDBLookupComboBox::~TDBLookupComboBox() = default;

QListView* TDBLookupComboBox::List() {
  if (list_ != nullptr) return list_;
  popup_ = new QFrame(this, Qt::Popup);
  popup_->setFrameStyle(QFrame::Box | QFrame::Plain);
  auto* layout = new QVBoxLayout(popup_);
  layout->setContentsMargins(1, 1, 1, 1);
  list_ = new QListView(popup_);
  list_->setModel(&model_);
  list_->setModelColumn(0);
  list_->setUniformItemSizes(true);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(list_);
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  popup_->installEventFilter(this);

  // The table's moves show in the open list; the list's moves move the table.
  connect(&model_, &TTableModel::CurrentMoved, this, [this](int row, bool) {
    if (row < 0 || !ListVisible()) return;
    followingTable_ = true;
    list_->setCurrentIndex(model_.index(row, 0));
    list_->scrollTo(model_.index(row, 0));
    followingTable_ = false;
  });
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            data::TTable* table = Table();
            if (followingTable_ || table == nullptr || !current.isValid()) return;
            if (current.row() != table->Position()) table->MoveTo(current.row());
          });
  connect(list_, &QListView::clicked, this, [this](const QModelIndex&) { CloseUp(true); });
  MoveTableWithScrollBar(list_, &model_);
  return list_;
}

bool TDBLookupComboBox::ListVisible() const {
  return popup_ != nullptr && popup_->isVisible();
}

bool TDBLookupComboBox::Owns(const QWidget* widget) const {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (w == this) return true;
  }
  return false;
}

QString TDBLookupComboBox::CurrentHeadword() const {
  data::TTable* table = Table();
  if (table == nullptr || table->RecordCount() == 0) return {};
  return QString::fromStdString(table->FieldByName(Field()).AsString());
}

void TDBLookupComboBox::Choose(const QString& headword) {
  keyValue_ = headword;
  text_ = headword;
  update();
}

void TDBLookupComboBox::ResearchKey() {
  data::TTable* table = Table();
  if (table != nullptr && keyValue_ && table->Locate(Field(), keyValue_->toStdString(), 0)) {
    text_ = *keyValue_;
  } else {
    text_.clear();
  }
  update();
}

void TDBLookupComboBox::SelectNext(int delta) {
  data::TTable* table = Table();
  if (table == nullptr || table->RecordCount() == 0) return;
  if (keyValue_ && table->Locate(Field(), keyValue_->toStdString(), 0)) {
    table->MoveBy(delta);
  } else {
    table->First();
  }
  Choose(CurrentHeadword());
}

void TDBLookupComboBox::TypeCharacter(const QString& character) {
  data::TTable* table = Table();
  const int64_t now = clock_->MonotonicMs();
  if (table != nullptr && search_.Type(*table, Field(), character.toStdString(), now)) {
    Choose(CurrentHeadword());
  }
}

void TDBLookupComboBox::DropDown() {
  data::TTable* table = Table();
  if (ListVisible() || table == nullptr) return;
  // Opening with nothing chosen starts the table at its first entry.
  if (!keyValue_ || !table->Locate(Field(), keyValue_->toStdString(), 0)) table->First();
  List();
  int rowHeight = list_->sizeHintForRow(0);
  if (rowHeight <= 0) rowHeight = fontMetrics().height() + 2;
  const int rows = std::clamp(model_.rowCount(), 1, kMaxListRows);
  // Exactly that many rows: the list's viewport plus the frames around it.
  const QMargins margins = popup_->layout()->contentsMargins();
  popup_->resize(width(), rows * rowHeight + 2 * list_->frameWidth() + margins.top() +
                              margins.bottom() + 2 * popup_->frameWidth());
  popup_->move(mapToGlobal(QPoint(0, height())));
  // The list's current row is the table's entry before the list can take the
  // focus: a list that gets the focus without a current row (as after a
  // model reset) makes its first row current, which would move the table.
  const int row = table->Position();
  if (row >= 0) {
    followingTable_ = true;
    list_->setCurrentIndex(model_.index(row, 0));
    followingTable_ = false;
  }
  popup_->show();
  list_->setFocus();
  if (row >= 0) list_->scrollTo(model_.index(row, 0), QAbstractItemView::PositionAtTop);
}

void TDBLookupComboBox::CloseUp(bool choose) {
  if (!ListVisible()) return;
  popup_->hide();
  if (!choose) return;
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid()) return;
  const QString headword = model_.data(current, Qt::DisplayRole).toString();
  const bool changed = !keyValue_ || *keyValue_ != headword;
  Choose(CurrentHeadword());
  // A different headword moves the table to its first entry of exactly that text.
  data::TTable* table = Table();
  if (changed && table != nullptr) table->Locate(Field(), keyValue_->toStdString(), 0);
}

bool TDBLookupComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == list_ || watched == popup_)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool alt = key->modifiers() & Qt::AltModifier;
    if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_F4 ||
        (alt && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down))) {
      CloseUp(false);
      return true;
    }
  }
  if (event->type() == QEvent::Hide && watched == popup_) update();
  return QWidget::eventFilter(watched, event);
}

void TDBLookupComboBox::keyPressEvent(QKeyEvent* event) {
  const bool alt = event->modifiers() & Qt::AltModifier;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (alt) {
        DropDown();
      } else {
        SelectNext(event->key() == Qt::Key_Down ? 1 : -1);
      }
      return;
    case Qt::Key_F4:
      DropDown();
      return;
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
      search_.Clear();
      return;
    default:
      break;
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
    TypeCharacter(text);
    return;
  }
  QWidget::keyPressEvent(event);
}

void TDBLookupComboBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    setFocus(Qt::MouseFocusReason);
    if (ListVisible()) {
      CloseUp(false);
    } else {
      DropDown();
    }
  }
}

void TDBLookupComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  option.initFrom(this);
  option.editable = false;
  option.frame = true;
  option.currentText = text_;
  if (ListVisible()) option.state |= QStyle::State_On;
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

QSize TDBLookupComboBox::sizeHint() const {
  return {116, 24};
}

}  // namespace lugatim::widgets
