#pragma once
// The whole of a long text where a control shows only part of it: a tooltip
// in the control's own font, its line breaks kept, wrapped at a readable
// width.

#include <QFont>
#include <QString>

class QHelpEvent;
class QWidget;

namespace lugatim::widgets {

// Rich text for QToolTip: the text escaped, in font, breaks kept, wrapped.
QString WholeTextToolTip(const QString& text, const QFont& font);

// Shows text as the tooltip of the area of widget that event asks about, or
// hides the tooltip when text is empty.
void ShowWholeText(QWidget* widget, const QHelpEvent* event, const QString& text,
                   const QRect& area);

}  // namespace lugatim::widgets
