#pragma once
// A button over a painted hot area of the skinned surface, for assistive
// technology alone: the surface draws the face and takes the pointer (the
// button lets every mouse event through and paints nothing), while screen
// readers see a button with a name in the interface's language that can be
// pressed through the accessibility interface, and pressing it triggers the
// hot area's action, as a click on the surface does.

#include <QAction>
#include <QToolButton>

namespace lugatim::widgets {

class THotAreaButton : public QToolButton {
  Q_OBJECT
 public:
  // Covers area (in parent's coordinates); pressed, it triggers action.
  THotAreaButton(QWidget* parent, QAction* action, const QRect& area);

 protected:
  void paintEvent(QPaintEvent*) override {}
};

}  // namespace lugatim::widgets
