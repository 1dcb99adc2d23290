#include "ui/widgets/QtText.h"

#include <QWidget>

#include "platform/Text.h"

namespace sonalog::ui {

namespace {
constexpr int kHintMilliseconds = 10'000;
}

QString qt(std::string_view text) {
  const std::string utf8 = platform::toDisplayUtf8(text);
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string toStd(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), size_t(bytes.size()));
}

void setHint(QWidget* widget, const char* text) {
  widget->setToolTip(qt(text));
  widget->setToolTipDuration(kHintMilliseconds);
}

}  // namespace sonalog::ui
