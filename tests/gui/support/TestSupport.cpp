// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <fstream>

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include <QTest>
#include <QWidget>

#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/Keyboard.h"
#include "practice/LessonLibrary.h"
#include "ui/PracticeKeyboard.h"

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

FreshRun::FreshRun(RunOptions options) : options_(options) {
  if (!data_.IsValid() || !program_.isValid()) qFatal("no temporary folder for the test");
  InstallFontSubstitutions();
  Reset();
}

std::filesystem::path FreshRun::ProgramDir() const {
  return ToPath(program_.path());
}

void FreshRun::Reset() const {
  Startup() = ComputeFolders(ProgramDir());
  if (options_.screenWorkArea) {
    CaptureWorkArea();
  } else {
    Startup().WorkArea = WorkRect{0, 0, 1280, 1000};
  }
  std::error_code ec;
  std::filesystem::remove_all(DataDir(), ec);
  std::filesystem::create_directories(options_.withLessonFolder ? LessonDir() : DataDir(), ec);
  Beall = TBeall{};
  if (options_.screenFontSize != 0) Beall.ScreenFontSize = options_.screenFontSize;
}

std::filesystem::path DataDir() {
  return Startup().DataDir;
}
std::filesystem::path LessonDir() {
  return LessonFolder(DataDir());
}
std::filesystem::path ScoreFile() {
  return DataDir() / "Score.csv";
}
std::filesystem::path PlayerFile() {
  return DataDir() / "Players.csv";
}

void CopyOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::remove(to);
  std::filesystem::copy_file(from, to);
}

std::string Golden(const char* name) {
  return ReadBytes(std::filesystem::path(PEKTO_GOLDEN_DIR) / name);
}

bool WaitStarted(const Tfrm_Main& window) {
  if (QTest::qWaitFor([&window] { return window.IsStarted(); })) return true;
  QTest::qFail("the main window did not finish its start", __FILE__, __LINE__);
  return false;
}

std::unique_ptr<Tfrm_Main> ShowMain(QStringList args) {
  auto window = std::make_unique<Tfrm_Main>(std::move(args));
  window->show();
  WaitStarted(*window);
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

bool Survives(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    QTest::qFail(qPrintable(QStringLiteral("unexpected exception: ") + QString::fromUtf8(e.what())),
                 __FILE__, __LINE__);
  } catch (...) {
    QTest::qFail("unexpected exception", __FILE__, __LINE__);
  }
  return false;
}

bool ExpectLayout(const QWidget& window, std::initializer_list<Place> places, QSize fixed) {
  QStringList wrong;
  if (!fixed.isEmpty() &&
      (window.size() != fixed || window.minimumSize() != fixed || window.maximumSize() != fixed)) {
    wrong << QStringLiteral("the window is not fixed at %1 x %2")
                 .arg(fixed.width())
                 .arg(fixed.height());
  }
  for (const Place& place : places) {
    const auto* child = window.findChild<QWidget*>(QString::fromLatin1(place.name));
    const QRect actual = child ? child->geometry() : QRect();
    if (actual == place.rect) continue;
    const auto text = [](const QRect& r) {
      return QStringLiteral("(%1, %2, %3 x %4)")
          .arg(r.x())
          .arg(r.y())
          .arg(r.width())
          .arg(r.height());
    };
    wrong << QString::fromLatin1(place.name) + QStringLiteral(": ") +
                 (child ? text(actual) : QStringLiteral("missing")) +
                 QStringLiteral(", expected ") + text(place.rect);
  }
  if (!wrong.isEmpty()) QTest::qFail(qPrintable(wrong.join(u'\n')), __FILE__, __LINE__);
  return wrong.isEmpty();
}

QByteArray Wave(quint32 dataBytes, quint32 claimed) {
  QByteArray b;
  const auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  b.append("RIFF");
  u32(36 + dataBytes);
  b.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(22050);
  u32(44100);
  u16(2);
  u16(16);
  b.append("data");
  u32(claimed);
  b.append(QByteArray(static_cast<qsizetype>(dataBytes), '\0'));
  return b;
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

DialogAnswers::Reply DialogAnswers::SaveAs(const std::filesystem::path& path) {
  return [path](QDialog& dialog) {
    auto* file = qobject_cast<QFileDialog*>(&dialog);
    if (!file) return dialog.reject();
    file->selectFile(FromPath(path));
    dialog.accept();  // QFileDialog::accept, which takes the selected name
  };
}

int PdfPageCount(const std::filesystem::path& path) {
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
  int count = 0;
  for (auto it = page.globalMatch(QString::fromLatin1(ReadBytes(path))); it.hasNext(); it.next()) {
    ++count;
  }
  return count;
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

void BundleKeyboard() {
  namespace fs = std::filesystem;
  fs::create_directories(KeyboardFile(BundleDir()).parent_path());
  CopyOver(KeyboardFile(ToPath(QCoreApplication::applicationDirPath())), KeyboardFile(BundleDir()));
}

QString LitKeys(const KeyboardView& view) {
  QStringList lit;
  const std::vector<KeyCap>& keys = view.Board().Keys();
  for (size_t i = 0; i < keys.size(); ++i) {
    const KeyCap& key = keys[i];
    QString name = key.label.empty() ? ToQ(std::string(1, static_cast<char>(key.base->ch)))
                                     : QString::fromStdString(key.label);
    if (key.label == "Shift") name += key.x < 7 ? QStringLiteral("/bal") : QStringLiteral("/jobb");
    if (view.KeyPaints()[i].lit) lit << name;
    if (view.KeyPaints()[i].fill == PracticeKeyboard::WrongColor()) lit << u'!' + name;
  }
  return lit.join(u' ');
}

}  // namespace pekto::test
