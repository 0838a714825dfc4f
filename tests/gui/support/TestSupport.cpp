#include "TestSupport.h"

#include "platform/QtText.h"

#include <QTest>
#include <QWidget>

namespace pekto::test {

namespace {
constexpr const char* kDataHome = "XDG_DATA_HOME";
}

TempDataDir::TempDataDir() {
  hadPrevious_ = qEnvironmentVariableIsSet(kDataHome);
  previous_ = qgetenv(kDataHome);
  if (dir_.isValid()) qputenv(kDataHome, dir_.path().toLocal8Bit());
}

TempDataDir::~TempDataDir() {
  if (hadPrevious_) {
    qputenv(kDataHome, previous_);
  } else {
    qunsetenv(kDataHome);
  }
}

std::filesystem::path TempDataDir::FsPath() const {
  return ToPath(dir_.path());
}

void TypeChar(QWidget* widget, QChar ch) {
  if (ch == u'\n' || ch == u'\r') {
    PressEnter(widget);
    return;
  }
  // The key code of a letter is its capital; the text carries the character itself.
  const auto key = static_cast<Qt::Key>(ch.toUpper().unicode());
  QTest::sendKeyEvent(QTest::Click, widget, key, QString(ch), Qt::NoModifier);
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) TypeChar(widget, ch);
}

void PressEnter(QWidget* widget) {
  QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_Return, QStringLiteral("\r"), Qt::NoModifier);
}

}  // namespace pekto::test
