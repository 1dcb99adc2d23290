#include "ui/widgets/ClickableLabel.h"

#include <QMouseEvent>

namespace sonalog::ui {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT clicked();
  QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Q_EMIT doubleClicked();
  QLabel::mouseDoubleClickEvent(event);
}

}  // namespace sonalog::ui
