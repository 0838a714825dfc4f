#include "TestSupport.h"

#include <fstream>

#include <QAbstractButton>
#include <QMessageBox>
#include <QRegularExpression>

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
  RunQueuedCalls();
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) TypeChar(widget, ch);
}

void PressEnter(QWidget* widget) {
  QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_Return, QStringLiteral("\r"), Qt::NoModifier);
  RunQueuedCalls();
}

void RunQueuedCalls() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

DialogAnswers::DialogAnswers()
    : previous_(SetDialogHook([this](QDialog& dialog) { Respond(dialog); })) {}

DialogAnswers::~DialogAnswers() {
  SetDialogHook(std::move(previous_));
}

DialogAnswers& DialogAnswers::Then(Reply reply) {
  replies_.push_back(std::move(reply));
  return *this;
}

DialogAnswers::Reply DialogAnswers::Press(int standardButton) {
  return [standardButton](QDialog& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    QAbstractButton* button =
        box ? box->button(static_cast<QMessageBox::StandardButton>(standardButton)) : nullptr;
    if (button) {
      button->click();
    } else {
      dialog.reject();
    }
  };
}

DialogAnswers::Reply DialogAnswers::Accept() {
  return [](QDialog& dialog) { dialog.accept(); };
}

DialogAnswers::Reply DialogAnswers::Reject() {
  return [](QDialog& dialog) { dialog.reject(); };
}

void DialogAnswers::Respond(QDialog& dialog) {
  Record record{dialog.windowTitle(), {}, -1, dialog.objectName()};
  auto* box = qobject_cast<QMessageBox*>(&dialog);
  if (box) {
    record.text = box->text();
    record.icon = box->icon();
    record.plain = box->textFormat() == Qt::PlainText;
  }
  records_.push_back(record);
  if (!replies_.empty()) {
    const Reply reply = std::move(replies_.front());
    replies_.pop_front();
    reply(dialog);
  } else if (box) {
    box->accept();
  } else {
    dialog.reject();
  }
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path KeptAside(const std::filesystem::path& file) {
  const QRegularExpression name(
      QRegularExpression::anchoredPattern(QRegularExpression::escape(FromPath(file.filename())) +
                                          QStringLiteral("\\.hibas-\\d{8}-\\d{6}")));
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    if (name.match(FromPath(entry.path().filename())).hasMatch()) found.push_back(entry.path());
  }
  return found.size() == 1 ? found.front() : std::filesystem::path();
}

}  // namespace pekto::test
