#pragma once
// Conversions between the logic's byte strings and Qt's text: a name is shown decoded as UTF-8
// when it is valid UTF-8, else as Windows-1252; what the user types goes back as UTF-8.

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace sonalog::ui {

QString qt(std::string_view text);
std::string toStd(const QString& text);

// A control's hint: its tooltip, shown for about ten seconds.
void setHint(QWidget* widget, const char* text);

}  // namespace sonalog::ui
