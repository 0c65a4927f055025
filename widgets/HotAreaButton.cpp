#include "widgets/HotAreaButton.h"

namespace lugatim::widgets {

THotAreaButton::THotAreaButton(QWidget* parent, QAction* action, const QRect& area)
    : QToolButton(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  // Not in the tab order: the window's keys (Escape, the popup menu) already
  // reach these actions from the keyboard.
  setFocusPolicy(Qt::NoFocus);
  setGeometry(area);
  connect(this, &QToolButton::clicked, action, &QAction::trigger);
}

}  // namespace lugatim::widgets
