#include "widgets/WholeText.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace lugatim::widgets {

QString WholeTextToolTip(const QString& text, const QFont& font) {
  QString shown = text;
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  // Rich text, so that the tip wraps its lines (a plain tip would run as
  // wide as the screen); pre-wrap keeps the text's own line breaks.
  const QString size = font.pixelSize() > 0 ? QStringLiteral("%1px").arg(font.pixelSize())
                                            : QStringLiteral("%1pt").arg(font.pointSizeF());
  return QStringLiteral(
             "<div style=\"font-family:'%1'; font-size:%2; white-space:pre-wrap\">%3</div>")
      .arg(font.family().toHtmlEscaped(), size, shown.toHtmlEscaped());
}

void ShowWholeText(QWidget* widget, const QHelpEvent* event, const QString& text,
                   const QRect& area) {
  if (text.trimmed().isEmpty()) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(event->globalPos(), WholeTextToolTip(text, widget->font()), widget, area);
}

}  // namespace lugatim::widgets
