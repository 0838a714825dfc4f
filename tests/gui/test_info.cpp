// SPDX-License-Identifier: GPL-3.0-or-later
// The information windows and the shell launches: the fading splash, the readme window, the
// about box, the banner they show, and the help, mail, web and news commands.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <vector>

#ifdef _WIN32
// clang-format off
#include <windows.h>  // first: shellapi.h builds on its types
#include <shellapi.h>
// clang-format on
#endif

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Jpeg.h"
#include "platform/QtText.h"
#include "platform/ShellLaunch.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "ui/Nevjegy.h"
#include "ui/Readme.h"
#include "ui/logo.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

// The splashes on the screen now.
std::vector<Tfrm_Logo*> Splashes() {
  std::vector<Tfrm_Logo*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* splash = qobject_cast<Tfrm_Logo*>(widget); splash && splash->isVisible()) {
      found.push_back(splash);
    }
  }
  return found;
}

// Closes every splash left by an earlier step, so that each test sees only its own.
void CloseSplashes() {
  for (Tfrm_Logo* splash : Splashes()) splash->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// What ShellOpen was asked to open, recorded instead of starting anything; `taken` is the
// shell's answer.
struct Launches {
  struct Launch {
    QString target;
    fs::path workDir;
  };
  std::vector<Launch> list;
  bool taken = true;
  ShellHook previous;

  Launches() {
    previous = SetShellHook([this](const QString& target, const fs::path& workDir) {
      list.push_back({target, workDir});
      return taken;
    });
  }
  ~Launches() { SetShellHook(std::move(previous)); }
  Launches(const Launches&) = delete;
  Launches& operator=(const Launches&) = delete;
};

using test::WriteBytes;
// A file's bytes; empty when there is no such file.
std::string Contents(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec) ? ReadWholeFile(path) : std::string();
}

QByteArray BannerBytes() {
  QFile file(QStringLiteral(":/images/banner.jpg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class InfoTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 8}};

 private slots:
  void init() {
    run_.Reset();
    CloseSplashes();
  }

  void cleanup() { CloseSplashes(); }

  // ---- the banner ---------------------------------------------------------------------------

  void theBannerIsAJpegDecodedByLibjpeg() {
    const QByteArray bytes = BannerBytes();
    QVERIFY(bytes.startsWith("\xFF\xD8\xFF"));
    const QImage image = DecodeJpeg(bytes);
    QCOMPARE(image.size(), QSize(600, 200));
    // The deep blue ground in the corner, the white letters of the name in the middle row.
    const QColor corner = image.pixelColor(4, 4);
    QVERIFY2(corner.blue() > 150 && corner.red() < 80, qPrintable(corner.name()));
    int white = 0;
    for (int x = 150; x < 450; ++x) {
      const QColor c = image.pixelColor(x, 80);
      if (c.red() > 230 && c.green() > 230 && c.blue() > 230) ++white;
    }
    QVERIFY2(white > 20, qPrintable(QString::number(white)));
    QCOMPARE(BannerPicture().size(), QSize(600, 200));
#ifndef _WIN32
    // The library is opened for the picture only, not kept in memory after it.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libjpeg"));
#endif
  }

  void dataThatIsNoJpegIsAnError() {
    QVERIFY_THROWS_EXCEPTION(Error, DecodeJpeg(QByteArray()));
    QVERIFY_THROWS_EXCEPTION(Error, DecodeJpeg(QByteArrayLiteral("GIF89a not a jpeg at all")));
    // A cut-off picture is decoded as far as it goes, its missing part grey, without a message.
    const QByteArray bytes = BannerBytes();
    const QImage cut = DecodeJpeg(bytes.left(bytes.size() / 2));
    QCOMPARE(cut.size(), QSize(600, 200));
  }

  // ---- the splash ---------------------------------------------------------------------------

  void theSplashIsABorderlessOpaqueBannerOnTopCentred() {
    QElapsedTimer clock;
    clock.start();
    ShowSplash();
    const auto splashes = Splashes();
    QCOMPARE(splashes.size(), size_t{1});
    Tfrm_Logo* splash = splashes.front();
    auto* wait = test::Find<QTimer>(splash, "Timer1");
    auto* fade = test::Find<QTimer>(splash, "Timer2");
    // Opaque and waiting for its second. Showing may run the event loop (Windows does), so a
    // machine busy enough to hold the test up for the second sees the fade begun: the state is
    // read first and judged only when the clock says the wait cannot have ended.
    const bool waiting = wait->isActive() && !fade->isActive();
    const int alpha = splash->AlphaBlendValue();
    const qreal opacity = splash->windowOpacity();
    if (clock.elapsed() < 900) {
      QVERIFY(waiting);
      QCOMPARE(alpha, 255);
      QCOMPARE(opacity, 1.0);
    }
    QCOMPARE(splash->objectName(), QStringLiteral("frm_Logo"));
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(splash->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(splash->size(), QSize(600, 200));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(splash->geometry(), QRect(area.x() + (area.width() - 600) / 2,
                                       area.y() + (area.height() - 200) / 2, 600, 200));
    auto* picture = test::Find<QLabel>(splash, "Image1");
    QCOMPARE(picture->geometry(), QRect(0, 0, 600, 200));
    QCOMPARE(picture->pixmap().size(), QSize(600, 200));
    QCOMPARE(wait->interval(), 1000);
    QCOMPARE(fade->interval(), 21);
  }

  void theSplashFadesByTenAndClosesAt25() {
    ShowSplash();
    QPointer<Tfrm_Logo> splash = Splashes().front();
    auto* wait = test::Find<QTimer>(splash.data(), "Timer1");
    auto* fade = test::Find<QTimer>(splash.data(), "Timer2");
    splash->Timer1Timer();
    QVERIFY(!wait->isActive());
    QVERIFY(fade->isActive());
    // The test makes the ticks itself: the timer would add its own wherever the event loop runs
    // (showing or fading a window runs it on Windows). 255, or less when a busy machine let the
    // timer in before this point.
    fade->stop();
    int alpha = splash->AlphaBlendValue();
    // ... 45, 35: still there.
    while (alpha > 35) {
      splash->Timer2Timer();
      alpha -= 10;
      QCOMPARE(splash->AlphaBlendValue(), alpha);
      // The offscreen platform has no translucency; the window's opacity is checked on X.
      QVERIFY(splash->isVisible());
    }
    QCOMPARE(alpha, 35);
    // The next tick reaches 25 and closes the window, which is destroyed with its timers.
    splash->Timer2Timer();
    QCOMPARE(splash->AlphaBlendValue(), 25);
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY(splash.isNull());
  }

  void theSplashClosesByItselfAfterItsFade() {
    QElapsedTimer clock;
    clock.start();
    ShowSplash();
    QPointer<Tfrm_Logo> splash = Splashes().front();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 20000);
    // It waited its second before fading (the timer may fire a little early).
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
  }

  void theMainWindowShowsTheSplashAndKeepsTheFocus() {
    auto w = test::ShowMain();
    const auto splashes = Splashes();
    QCOMPARE(splashes.size(), size_t{1});
    QVERIFY(splashes.front()->isVisible());
    QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w.get()));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    // Showing the window again (after minimising, say) shows no second splash.
    w->hide();
    w->show();
    QCOMPARE(Splashes().size(), size_t{1});
    // The main window's end does not wait for the splash's.
    QPointer<Tfrm_Logo> splash = splashes.front();
    w.reset();
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 20000);
  }

  // ---- the readme window ----------------------------------------------------------------------

  void theReadmeShowsTheDocument() {
    QString caption, text, object, family;
    QSize size;
    int statusHeight = 0, fontPixels = 0;
    bool readOnly = false;
    Qt::ScrollBarPolicy vertical{};
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      caption = dialog.windowTitle();
      object = dialog.objectName();
      size = dialog.size();
      auto* memo = test::Find<QPlainTextEdit>(&dialog, "Memo1");
      text = memo->toPlainText();
      readOnly = memo->isReadOnly();
      vertical = memo->verticalScrollBarPolicy();
      family = memo->font().family();
      fontPixels = memo->font().pixelSize();
      statusHeight = test::Find<QStatusBar>(&dialog, "StatusBar1")->height();
      dialog.reject();
    });
    ShowReadme(nullptr);
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(caption, QStringLiteral("Fontos információk"));
    QCOMPARE(object, QStringLiteral("frm_Readme"));
    QCOMPARE(size, QSize(700, 505));
    QVERIFY(readOnly);
    QCOMPARE(vertical, Qt::ScrollBarAlwaysOn);
    QCOMPARE(family, QStringLiteral("Courier New"));
    QCOMPARE(fontPixels, 12);  // 9 pt, the document keeps it whatever the interface size
    QCOMPARE(statusHeight, 19);
    const QStringList lines = text.split(u'\n');
    const QString dashes(18, u'-');
    QCOMPARE(lines.mid(0, 5),
             (QStringList{QStringLiteral("Tastrel - Gépírás tanulás segítő program"), QString(),
                          dashes, QStringLiteral("Fontos információk"), dashes}));
    QVERIFY(lines.contains(QStringLiteral("2. Hardware / Software igény")));
    QVERIFY(lines.contains(QStringLiteral("5. Elérés")));
    QVERIFY(text.contains(QStringLiteral("pekto@example.org")));
    QVERIFY(text.contains(QStringLiteral("https://www.example.org/pekto")));
    QVERIFY(!text.contains(QStringLiteral("%")));  // every placeholder filled
  }

  void theReadmeBoundsSurviveAReopen() {
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      dialog.setGeometry(QRect(QPoint(140, 120), QSize(640, 420)));
      dialog.reject();  // Esc, the close box
    });
    ShowReadme(nullptr);
    const IniFile ini = SettingsIni();
    QCOMPARE(ini.ReadInteger("frm_Readme", "Width", 0), 640);
    QCOMPARE(ini.ReadInteger("frm_Readme", "Height", 0), 420);
    QRect again;
    answers.Then([&again](QDialog& dialog) {
      again = QRect(dialog.pos(), dialog.size());
      dialog.reject();
    });
    ShowReadme(nullptr);
    QCOMPARE(again.size(), QSize(640, 420));
    QCOMPARE(again.topLeft(), QPoint(ini.ReadInteger("frm_Readme", "Left", -1),
                                     ini.ReadInteger("frm_Readme", "Top", -1)));
  }

  void theReadmeCommandOpensIt() {
    auto w = test::ShowMain();
    test::DialogAnswers answers;
    test::Find<QAction>(w, "aReadMe")->trigger();
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Readme"));
  }

  // ---- the about box --------------------------------------------------------------------------

  void theAboutBoxFollowsItsLayout() {
    QString caption, product;
    QSize picture;
    bool laidOut = false, okDefault = false, makerGreyed = false;
    QFont productFont;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      caption = dialog.windowTitle();
      auto* label = test::Find<QLabel>(&dialog, "Label1");
      product = label->text();
      productFont = label->font();
      picture = test::Find<QLabel>(&dialog, "Image1")->pixmap().size();
      laidOut = test::ExpectLayout(dialog,
                                   {{"Image1", {0, 0, 600, 200}},
                                    {"Panel1", {8, 208, 409, 325}},
                                    {"Label1", {268, 8, 133, 37}},
                                    {"Label2", {8, 12, 193, 13}},
                                    {"Label3", {8, 52, 393, 25}},
                                    {"Label4", {8, 80, 393, 93}},
                                    {"Label5", {8, 184, 393, 25}},
                                    {"Label6", {8, 212, 393, 109}},
                                    {"Button1", {511, 504, 75, 25}}},
                                   {600, 541});
      okDefault = test::Find<QPushButton>(&dialog, "Button1")->isDefault();
      makerGreyed = !test::Find<QLabel>(&dialog, "Label2")->isEnabled();
      test::Find<QPushButton>(&dialog, "Button1")->click();
    });
    ShowAbout(nullptr);
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Nevjegy"));
    QCOMPARE(caption, QStringLiteral("Névjegy"));
    QCOMPARE(product, QStringLiteral("Pekto\n2.2.0.67"));
    QCOMPARE(product.split(u'\n'),
             (QStringList{QStringLiteral("Pekto"), QStringLiteral("2.2.0.67")}));
    QCOMPARE(productFont.family(), QStringLiteral("Arial"));
    QVERIFY(productFont.bold());
    QCOMPARE(picture, QSize(600, 200));
    QVERIFY(laidOut);
    QVERIFY(okDefault);
    QVERIFY(makerGreyed);
  }

  void theAboutPositionSurvivesAReopenItsSizeStaysFixed() {
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      dialog.move(130, 95);
      dialog.reject();
    });
    ShowAbout(nullptr);
    IniFile ini = SettingsIni();
    QCOMPARE(ini.ReadInteger("frm_Nevjegy", "Left", -1), 130);
    QCOMPARE(ini.ReadInteger("frm_Nevjegy", "Top", -1), 95);
    // A size in the section, as another version may have left, changes nothing.
    ini.WriteInteger("frm_Nevjegy", "Width", 300);
    ini.WriteInteger("frm_Nevjegy", "Height", 200);
    QPoint pos;
    QSize size;
    answers.Then([&](QDialog& dialog) {
      pos = dialog.pos();
      size = dialog.size();
      dialog.reject();
    });
    ShowAbout(nullptr);
    QCOMPARE(pos, QPoint(130, 95));
    QCOMPARE(size, QSize(600, 541));
  }

  void theAboutCommandOpensIt() {
    auto w = test::ShowMain();
    test::DialogAnswers answers;
    test::Find<QAction>(w, "aNevjegy")->trigger();
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().object, QStringLiteral("frm_Nevjegy"));
  }

  // ---- shell launches -------------------------------------------------------------------------

  void theCommandsHandTheirTargetsToTheShell() {
    auto w = test::ShowMain();
    fs::create_directories(Startup().ProgramDir / "Help");
    WriteBytes(Startup().ProgramDir / "Help" / "index.htm", "<html></html>");
    WriteBytes(Startup().ProgramDir / "Ujdonsag.exe", "");
    Launches launches;
    for (const char* command : {"aSugo", "aLevel", "aHonlap", "aUjdonsag"}) {
      test::Find<QAction>(w, command)->trigger();
    }
    const fs::path programDir = Startup().ProgramDir;
    QCOMPARE(launches.list.size(), size_t{4});
    QCOMPARE(launches.list[0].target, FromPath(programDir / "Help" / "index.htm"));
    QCOMPARE(launches.list[1].target, QStringLiteral("mailto:pekto@example.org?subject=Pekto"));
    QCOMPARE(launches.list[2].target, QStringLiteral("https://www.example.org/pekto"));
    QCOMPARE(launches.list[3].target, FromPath(programDir / "Ujdonsag.exe"));
    for (const auto& launch : launches.list) QCOMPARE(launch.workDir, programDir);
    QCOMPARE(test::Find<QAction>(w, "aHonlap")->toolTip(),
             QStringLiteral("https://www.example.org/pekto"));
    fs::remove_all(Startup().ProgramDir / "Help");
    fs::remove(Startup().ProgramDir / "Ujdonsag.exe");
  }

  void aTargetNothingOpensNamesTheMissingProgram_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("target");
    const fs::path programDir = run_.ProgramDir();
    QTest::newRow("mail") << "aLevel"
                          << "levelezőprogram"
                          << "mailto:pekto@example.org?subject=Pekto";
    QTest::newRow("web") << "aHonlap"
                         << "böngésző"
                         << "https://www.example.org/pekto";
    QTest::newRow("help") << "aSugo"
                          << "böngésző" << FromPath(programDir / "Help" / "index.htm");
    QTest::newRow("news") << "aUjdonsag"
                          << "program" << FromPath(programDir / "Ujdonsag.exe");
  }

  void aTargetNothingOpensNamesTheMissingProgram() {
    QFETCH(QString, command);
    QFETCH(QString, opener);
    QFETCH(QString, target);
    fs::create_directories(run_.ProgramDir() / "Help");
    WriteBytes(run_.ProgramDir() / "Help" / "index.htm", "<html></html>");
    WriteBytes(run_.ProgramDir() / "Ujdonsag.exe", "");
    auto w = test::ShowMain();
    Launches launches;
    launches.taken = false;
    test::DialogAnswers answers;
    test::Find<QAction>(w, command.toLatin1().constData())->trigger();
    QCOMPARE(launches.list.size(), size_t{1});
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().caption, QStringLiteral("Hiba"));
    QCOMPARE(
        answers.Last().text,
        QStringLiteral("Nincs beállítva %1, amely megnyitná ezt: \"%2\".").arg(opener, target));
    fs::remove_all(run_.ProgramDir() / "Help");
    fs::remove(run_.ProgramDir() / "Ujdonsag.exe");
  }

  void helpWithoutAHelpFolderChangesNothingAndSaysWhatIsMissing() {
    const fs::path lesson = Startup().DataDir / "h.lck";
    WriteBytes(lesson, "Lecke\r\nabc\r\n");
    auto w = test::ShowMain();
    w->LoadLesson(FromPath(lesson));
    QTest::keyClicks(test::Find<TextPane>(w, "SynEdit1"), "ax");
    const ExerciseState before = w->State();
    const std::string settings = Contents(Startup().SettingsFile);
    QVERIFY(!fs::exists(Startup().ProgramDir / "Help"));
    test::DialogAnswers answers;
    QElapsedTimer clock;
    clock.start();
    test::Find<QAction>(w, "aSugo")->trigger();  // through the real shell
    QVERIFY2(clock.elapsed() < 5000, "the launch waited");
    QCoreApplication::processEvents();  // anything the launch posted arrives
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Last().text, QStringLiteral("A súgó nem található: hiányzik a(z) \"") +
                                      FromPath(Startup().ProgramDir / "Help" / "index.htm") +
                                      QStringLiteral("\" fájl."));
    QVERIFY(w->State().ExerciseActive);
    QCOMPARE(w->State().CorrectCount, before.CorrectCount);
    QCOMPARE(w->State().WrongCount, before.WrongCount);
    QCOMPARE(w->State().TargetPos, before.TargetPos);
    QCOMPARE(Contents(Startup().SettingsFile), settings);
    QVERIFY(!fs::exists(Startup().ProgramDir / "Help"));
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
  }

  void theNewsProgramStartsInTheProgramFolderWithoutWaiting() {
#ifdef _WIN32
    QSKIP("the stand-in program is a shell script; the Windows shell's part is checked below");
#endif
    // A stand-in for the news program: notes its working folder, then stays a while.
    QTemporaryDir elsewhere;
    const QString note = elsewhere.filePath(QStringLiteral("pwd.txt"));
    const fs::path program = run_.ProgramDir() / "Ujdonsag.exe";
    // The program takes no arguments from the shell: the note's path is written into it.
    WriteBytes(program, ("#!/bin/sh\npwd > '" + note.toStdString() + ".tmp'\nmv '" +
                         note.toStdString() + ".tmp' '" + note.toStdString() + "'\nsleep 10\n"));
    fs::permissions(program, fs::perms::owner_all);
    QElapsedTimer clock;
    clock.start();
    ShellOpen(FromPath(program), Startup().ProgramDir);
    ShellOpen(FromPath(Startup().ProgramDir / "Help" / "index.htm"), Startup().ProgramDir);
    QVERIFY2(clock.elapsed() < 8000, "a launch waited for the program");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(note), 10000);
    QFile file(note);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(fs::canonical(ToPath(QString::fromLocal8Bit(file.readAll()).trimmed())),
             fs::canonical(Startup().ProgramDir));
    fs::remove(program);
  }

  // ShellExecuteExW is asked to open the target in the program folder.
  // Only "no program for this kind" is Pekto's to report; the shell shows any other failure.
  void theWindowsShellOpensInTheProgramFolder_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("error");  // the shell's (GetLastError); 0: it took the target
    QTest::addColumn<bool>("taken");
    const QString news = FromPath(run_.ProgramDir() / "Ujdonsag.exe");
    QTest::newRow("program") << news << 0 << true;
    QTest::newRow("ERROR_NO_ASSOCIATION") << "mailto:pekto@example.org" << 1155 << false;
    QTest::newRow("ERROR_FILE_NOT_FOUND") << news << 2 << true;
  }

  void theWindowsShellOpensInTheProgramFolder() {
#ifndef _WIN32
    QSKIP("ShellExecuteExW is the Windows shell's");
#else
    QFETCH(QString, target);
    QFETCH(int, error);
    QFETCH(bool, taken);
    QString verb, file, directory;
    const ShellExecuteCall previous = SetShellExecuteCall([&](SHELLEXECUTEINFOW& info) {
      verb = QString::fromWCharArray(info.lpVerb);
      file = QString::fromWCharArray(info.lpFile);
      directory = QString::fromWCharArray(info.lpDirectory);
      SetLastError(static_cast<DWORD>(error));
      return error == 0;
    });
    const bool answer = ShellOpen(target, run_.ProgramDir());
    SetShellExecuteCall(previous);
    QCOMPARE(answer, taken);
    QCOMPARE(verb, QStringLiteral("open"));
    QCOMPARE(file, target);
    QCOMPARE(ToPath(directory), run_.ProgramDir());
#endif
  }
};

PEKTO_TEST_MAIN(InfoTest)

#include "test_info.moc"
