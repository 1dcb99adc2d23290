#pragma once
// A label that reports clicks: the labels that continue a check box's caption toggle it, and the
// file labels of the compare options open their file dialog on a double click.

#include <QLabel>

namespace sonalog::ui {

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 Q_SIGNALS:
  void clicked();
  void doubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace sonalog::ui
