#pragma once
// A word-wrapped label in a window that sizes itself to its contents: Qt's layouts do not carry a
// label's height-for-width up to a top-level window, so the label gets the height its text needs
// at a fixed width.

#include <QLabel>

namespace sonalog::ui {

inline void fixWrappedLabel(QLabel* label, int width) {
  label->setWordWrap(true);
  label->setFixedWidth(width);
  label->setFixedHeight(label->heightForWidth(width));
}

}  // namespace sonalog::ui
