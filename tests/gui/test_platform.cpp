// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer: message boxes, the error report, the error sound, start-up folders,
// font names.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "TestSupport.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/SoundOutput.h"
#include "platform/Startup.h"
#include "platform/WavePlayer.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

// Acts on the next modal message box as it opens, through the program's dialog hook.
void OnNextBox(std::function<void(QMessageBox*)> act) {
  auto previous = std::make_shared<DialogHook>();
  *previous = SetDialogHook([act, previous](QDialog& dialog) {
    SetDialogHook(*previous);
    act(qobject_cast<QMessageBox*>(&dialog));
  });
}

using test::Wave;

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
  return QDir::toNativeSeparators(path);  // as the program shows paths
}

// Stands in for the system's sound service: writes down what the player asks of it and answers
// as a machine with or without an audio device would.
struct SoundServiceLog {
  QStringList calls;
  bool deviceAnswers = true;
};

class FakeSoundOutput final : public SoundOutput {
 public:
  explicit FakeSoundOutput(SoundServiceLog& log) : log_(log) {}
  void Stop() override { log_.calls << QStringLiteral("stop"); }
  bool Start(const fs::path& wave) override {
    log_.calls << QStringLiteral("start ") + FromPath(wave);
    return log_.deviceAnswers;
  }

 private:
  SoundServiceLog& log_;
};

#ifdef Q_OS_LINUX
// Whether libcanberra has loaded one of its audio drivers (it does so when it connects).
bool SoundDriverLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libcanberra-0.30/");
}
#endif

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void errorReportAddsAFullStopOnlyAfterHigherCharacters() {
    QCOMPARE(ErrorReportText(QStringLiteral("Hiba")), QStringLiteral("Hiba."));
    QCOMPARE(ErrorReportText(QStringLiteral("Kész.")), QStringLiteral("Kész."));
    QCOMPARE(ErrorReportText(QStringLiteral("List index out of bounds (0)")),
             QStringLiteral("List index out of bounds (0)"));
    QCOMPARE(ErrorReportText(QStringLiteral("Nincs fájl!")), QStringLiteral("Nincs fájl!"));
    QCOMPARE(ErrorReportText(QStringLiteral("fájl: ő")), QStringLiteral("fájl: ő."));
    QCOMPARE(ErrorReportText(QString()), QString());
  }

  void guardedHandlersReportTheirErrorsAndStop() {
    QString caption, text;
    OnNextBox([&](QMessageBox* box) {
      caption = box->windowTitle();
      text = box->text();
      QCOMPARE(box->icon(), QMessageBox::Critical);
      box->accept();
    });
    bool after = false;
    const bool ok = Guarded([&] {
      throw Error("Nem olvasható a fájl");
      after = true;
    });
    QVERIFY(!ok);
    QVERIFY(!after);
    QCOMPARE(caption, QStringLiteral("Pekto"));
    QCOMPARE(text, QStringLiteral("Nem olvasható a fájl."));
  }

  void showErrorAndTheQuestionBox() {
    QWidget owner;
    owner.show();
    QString caption;
    OnNextBox([&](QMessageBox* box) {
      caption = box->windowTitle();
      QCOMPARE(box->icon(), QMessageBox::Critical);
      box->accept();
    });
    ShowError(QStringLiteral("Rossz"), &owner);
    QCOMPARE(caption, QStringLiteral("Hiba"));

    OnNextBox([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QCOMPARE(AskYesNoCancel(QStringLiteral("Mentsem?"), QStringLiteral("Kérdés"), &owner), IDYES);
    OnNextBox([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    QCOMPARE(AskYesNoCancel(QStringLiteral("Mentsem?"), QStringLiteral("Kérdés"), &owner), IDNO);
    OnNextBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(AskYesNoCancel(QStringLiteral("Mentsem?"), QStringLiteral("Kérdés"), &owner),
             IDCANCEL);
    OnNextBox([](QMessageBox* box) { box->close(); });
    QCOMPARE(AskYesNoCancel(QStringLiteral("Mentsem?"), QStringLiteral("Kérdés"), &owner),
             IDCANCEL);
  }

  void buttonsSpeakHungarian() {
    QString yes;
    OnNextBox([&](QMessageBox* box) {
      yes = box->button(QMessageBox::Yes)->text().remove(u'&');
      box->button(QMessageBox::Cancel)->click();
    });
    AskYesNoCancel(QStringLiteral("?"), QStringLiteral("?"), nullptr);
    QCOMPARE(yes, QStringLiteral("Igen"));
  }

  // First of the slots that play a sound: it needs a process that has not played one yet.
  void theSoundServiceIsReachedOnlyByTheFirstSound() {
#ifdef Q_OS_LINUX
    QVERIFY2(!SoundDriverLoaded(), "an earlier test played a sound");
    QTemporaryDir dir;
    const QString good = WriteFile(dir, QStringLiteral("jo.wav"), Wave(2000, 2000));
    QVERIFY(!good.isEmpty());
    WavePlayer player;
    player.SetFileName(good);
    QVERIFY(!SoundDriverLoaded());
    player.Play();
    QVERIFY(SoundDriverLoaded());
#else
    QSKIP("checks the libcanberra driver modules");
#endif
  }

  void waveFilesAreCheckedBeforePlaying() {
    QVERIFY(WaveProblem(Wave(100, 100)).isEmpty());
    QVERIFY(!WaveProblem(Wave(100, 4000)).isEmpty());  // cut after its header
    QVERIFY(!WaveProblem(QByteArray("RIFF\0\0\0\0WAVE", 12)).isEmpty());
    QVERIFY(!WaveProblem(QByteArray("not a wave file at all")).isEmpty());
    QVERIFY(!WaveProblem(QByteArray()).isEmpty());
    QByteArray noFormat = Wave(10, 10);
    noFormat.replace("fmt ", "junk");
    QVERIFY(!WaveProblem(noFormat).isEmpty());

    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("rossz.wav"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Wave(10, 9999));
    file.close();
    const QString good = dir.filePath(QStringLiteral("jo.wav"));
    QFile goodFile(good);
    QVERIFY(goodFile.open(QIODevice::WriteOnly));
    goodFile.write(Wave(2000, 2000));
    goodFile.close();
    WavePlayer player;
    bool failed = false;
    player.SetFailureHandler([&](const QString&) { failed = true; });
    player.SetFileName(good);
    player.Play();  // starts playing through the system's sound service
    player.Play();  // starts again from the beginning
    QTest::qWait(100);
    QVERIFY(!failed);

    player.SetFileName(damaged);
    QVERIFY_THROWS_EXCEPTION(Error, player.Play());
    player.SetFileName(dir.filePath(QStringLiteral("nincs.wav")));
    QVERIFY_THROWS_EXCEPTION(Error, player.Play());
  }

  void aDamagedWaveFailsBeforeTheSoundServiceIsAsked() {
    QTemporaryDir dir;
    SoundServiceLog log;
    WavePlayer player(std::make_unique<FakeSoundOutput>(log));
    bool lateFailure = false;
    player.SetFailureHandler([&](const QString&) { lateFailure = true; });
    const QString truncated = WriteFile(dir, QStringLiteral("csonka.wav"), Wave(10, 9999));
    const QString junk = WriteFile(dir, QStringLiteral("szemet.wav"), "not a wave file at all");
    const QString missing = QDir::toNativeSeparators(dir.filePath(QStringLiteral("nincs.wav")));
    for (const QString& path : {truncated, junk, missing}) {
      player.SetFileName(path);
      try {
        player.Play();
        QFAIL("a damaged or missing wave file played");
      } catch (const Error& e) {
        QVERIFY(QString::fromUtf8(e.what()).contains(path));
      }
      QVERIFY_THROWS_EXCEPTION(Error, player.Play());  // and again on the next wrong key
    }
    QVERIFY(log.calls.isEmpty());
    QVERIFY(!lateFailure);
  }

  void aMachineWithoutAudioDeviceStaysSilent() {
    QTemporaryDir dir;
    const QString good = WriteFile(dir, QStringLiteral("jo.wav"), Wave(2000, 2000));
    SoundServiceLog log;
    log.deviceAnswers = false;
    WavePlayer player(std::make_unique<FakeSoundOutput>(log));
    bool lateFailure = false;
    player.SetFailureHandler([&](const QString&) { lateFailure = true; });
    player.SetFileName(good);
    player.Play();  // no exception: the refusal is not reported
    player.Play();  // and the next wrong key still tries
    QCOMPARE(log.calls.count(QStringLiteral("start ") + good), 2);
    QVERIFY(!lateFailure);
  }

  void aSecondWrongKeyCutsTheSoundOffAndStartsItAgain() {
    QTemporaryDir dir;
    const QString good = WriteFile(dir, QStringLiteral("jo.wav"), Wave(2000, 2000));
    const QString other = WriteFile(dir, QStringLiteral("masik.wav"), Wave(100, 100));
    SoundServiceLog log;
    WavePlayer player(std::make_unique<FakeSoundOutput>(log));
    player.SetFileName(good);
    QVERIFY(log.calls.isEmpty());  // nothing is played or opened before the first wrong key
    player.Play();
    player.Play();
    player.SetFileName(other);
    player.Play();
    const QString start = QStringLiteral("start ");
    QCOMPARE(log.calls, QStringList({QStringLiteral("stop"), start + good, QStringLiteral("stop"),
                                     start + good, QStringLiteral("stop"), start + other}));
  }

  void theSystemSoundServiceAnswersWithoutWaiting() {
    QTemporaryDir dir;
    const QString good = WriteFile(dir, QStringLiteral("jo.wav"), Wave(441000, 441000));  // 10 s
    const auto output = SystemSoundOutput();
    QElapsedTimer clock;
    clock.start();
    output->Stop();  // nothing plays yet
    for (int i = 0; i < 3; ++i) {
      output->Start(ToPath(good));  // refused on a machine without a sound card; that is fine
      output->Stop();
    }
    WavePlayer player;
    bool lateFailure = false;
    player.SetFailureHandler([&](const QString&) { lateFailure = true; });
    player.SetFileName(good);
    player.Play();
    player.Play();
    // A ten-second sound started five times: a service that waited for it would take 50 s. The
    // bound only tells waiting from not waiting; the cost itself is no concern of this test.
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QTest::qWait(50);
    QVERIFY(!lateFailure);
  }

  void foldersFollowXdgDataHome() {
#ifdef _WIN32
    QSKIP("the data folder on Windows is the common application-data folder");
#endif
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    StartupValues v = ComputeFolders("/opt/pekto");
    QCOMPARE(v.DataDir, fs::path("/srv/data/Pekto"));
    QCOMPARE(v.SettingsFile, fs::path("/srv/data/Pekto/Pekto.ini"));
    QCOMPARE(v.ProgramDir, fs::path("/opt/pekto"));
    QCOMPARE(v.HighlightColor, 0xB9FFFF);
    qputenv("XDG_DATA_HOME", "");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", "/home/anna");
    v = ComputeFolders("/opt/pekto");
    QCOMPARE(v.DataDir, fs::path("/home/anna/.local/share/Pekto"));
    qunsetenv("HOME");
    v = ComputeFolders("/opt/pekto");
    QCOMPARE(v.DataDir, fs::path("/opt/pekto"));
    QCOMPARE(v.SettingsFile, fs::path("/opt/pekto/Pekto.ini"));
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", saved);
  }

  // The family asked for directly draws as the Windows name would through its substitutions.
  void fontNamesResolveToTheFamilyThatDrawsThem() {
    InstallFontSubstitutions();
    for (const char* name : {"Courier New", "Arial", "Comic Sans MS", "MS Sans Serif", "Tahoma"}) {
      const QString family = InstalledFamily(QString::fromLatin1(name));
      QVERIFY2(QFontDatabase::families().contains(family, Qt::CaseInsensitive), name);
      QCOMPARE(QFontInfo(QFont(family)).family(),
               QFontInfo(QFont(QString::fromLatin1(name))).family());
    }
    QCOMPARE(InstalledFamily(QStringLiteral("No Such Family")), QStringLiteral("No Such Family"));
#ifndef _WIN32
    // Wine's Tahoma, outside fontconfig's folders, is among the fonts where it is installed.
    if (fs::exists("/usr/share/wine/fonts/tahoma.ttf"))
      QCOMPARE(QFontInfo(QFont(QStringLiteral("Tahoma"))).family(), QStringLiteral("Tahoma"));
#endif
  }

  // A font goes without fallback only where it has every character the text can hold: the
  // code page's Hungarian letters and quotes, but not a Chinese one.
  void aFontGoesWithoutFallbackOnlyWhereItHasEveryCharacter() {
    const QFont font(InstalledFamily(QStringLiteral("Courier New")));
    QVERIFY(Cp1250Characters().contains(u'ő') && Cp1250Characters().contains(u'„'));
    QVERIFY(!Cp1250Characters().contains(QChar(0x7F)));
    QVERIFY(WithoutFallback(font, Cp1250Characters()).styleStrategy() & QFont::NoFontMerging);
    QCOMPARE(WithoutFallback(font, u"ő\u4E2D"), font);
  }

  void textConversionAtTheQtBoundary() {
    QCOMPARE(ToQ("\xE1rv\xEDzt\xFBr\xF5"), QStringLiteral("árvíztűrő"));
    QCOMPARE(FromQ(QStringLiteral("ÁRVÍZTŰRŐ")), std::string("\xC1RV\xCDZT\xDBR\xD5"));
    QCOMPARE(FromQ(QStringLiteral("日本")), std::string("??"));
    QCOMPARE(FromQ(QString::fromUtf8("\xF0\x9F\x98\x80")), std::string("?"));  // one emoji
    QCOMPARE(ByteOf(QChar(u'ő')), static_cast<unsigned char>(0xF5));
    QCOMPARE(ByteOf(QChar(u'õ')), static_cast<unsigned char>('?'));
    // File names of any bytes, and messages naming them, stay readable.
    QCOMPARE(ReadableText("\xC3\xA1rv\xC3\xADz \xD0\x9A"), QStringLiteral("árvíz К"));
    QCOMPARE(ReadableText("A(z) \"\xE1rv\xEDz\xF5.lck\" t\xC3\xBAl"),
             QStringLiteral("A(z) \"árvíző.lck\" túl"));
  }

  void textToBeStoredKeepsOnlyWhatTheCodePageHolds() {
    QString refused;
    QCOMPARE(KeepCp1250(QStringLiteral("Árvíztűrő „tükör” €\t?"), refused),
             QStringLiteral("Árvíztűrő „tükör” €\t?"));
    QVERIFY(refused.isEmpty());
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QCOMPARE(KeepCp1250(QStringLiteral("mañana õ ") + emoji + QStringLiteral(" 日"), refused),
             QStringLiteral("maana   "));
    QCOMPARE(refused, QStringLiteral("ñõ") + emoji + QStringLiteral("日"));
    // A lone half of a surrogate pair is no character of the code page either.
    refused.clear();
    QCOMPARE(KeepCp1250(QString(QChar(0xD800)) + QStringLiteral("a"), refused),
             QStringLiteral("a"));
    QCOMPARE(refused.size(), 1);
  }

  // Key events as the X11 platform delivers them, and the characters they type.
  void keysTypeTheCharactersAWindowsKeyboardWould() {
    const auto typed = [](int key, Qt::KeyboardModifiers mods, const QString& text) {
      return TypedCharacters(key, mods, text);
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                alt = Qt::AltModifier, shift = Qt::ShiftModifier;
    // Plain characters, accented letters and AltGr characters (a level shift on X11).
    QCOMPARE(typed(Qt::Key_A, none, QStringLiteral("a")), std::string("a"));
    QCOMPARE(typed(0x150, shift, QStringLiteral("Ő")), std::string("\xD5"));
    QCOMPARE(typed(Qt::Key_At, Qt::GroupSwitchModifier, QStringLiteral("@")), std::string("@"));
    QCOMPARE(typed(Qt::Key_Backslash, none, QStringLiteral("\\")), std::string("\\"));
    QCOMPARE(typed(Qt::Key_Space, none, QStringLiteral(" ")), std::string(" "));
    QCOMPARE(typed(Qt::Key_Eacute, none, QStringLiteral("\u00E9")), std::string("\xE9"));
    QCOMPARE(typed(Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5")), std::string("5"));
    // Delete carries DEL as text on X11 but types nothing.
    QCOMPARE(typed(Qt::Key_Delete, none, QStringLiteral("\x7F")), std::string());
    QCOMPARE(typed(Qt::Key_Delete, shift, QStringLiteral("\x7F")), std::string());
    // Editing keys give their control characters; Ctrl+Backspace is DEL, Ctrl+Return LF.
    QCOMPARE(typed(Qt::Key_Backspace, none, QStringLiteral("\b")), std::string("\b"));
    QCOMPARE(typed(Qt::Key_Backspace, ctrl, QStringLiteral("\b")), std::string("\x7F"));
    QCOMPARE(typed(Qt::Key_Return, none, QStringLiteral("\r")), std::string("\r"));
    QCOMPARE(typed(Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r")), std::string("\r"));
    QCOMPARE(typed(Qt::Key_Return, shift, QStringLiteral("\r")), std::string("\r"));
    QCOMPARE(typed(Qt::Key_Return, ctrl, QStringLiteral("\r")), std::string("\n"));
    QCOMPARE(typed(Qt::Key_Tab, none, QStringLiteral("\t")), std::string("\t"));
    QCOMPARE(typed(Qt::Key_Backtab, shift, QString()), std::string("\t"));
    QCOMPARE(typed(Qt::Key_Escape, none, QStringLiteral("\x1B")), std::string("\x1B"));
    // Ctrl+letter is the letter's control character, with or without Shift.
    QCOMPARE(typed(Qt::Key_O, ctrl, QStringLiteral("o")), std::string("\x0F"));
    QCOMPARE(typed(Qt::Key_H, ctrl | shift, QStringLiteral("H")), std::string("\b"));
    QCOMPARE(typed(Qt::Key_M, ctrl, QStringLiteral("\r")), std::string("\r"));
    // Ctrl with digits and punctuation, and Alt with anything, type nothing.
    QCOMPARE(typed(Qt::Key_1, ctrl, QStringLiteral("1")), std::string());
    QCOMPARE(typed(Qt::Key_8, ctrl, QStringLiteral("\x7F")), std::string());
    QCOMPARE(typed(Qt::Key_Exclam, ctrl | shift, QStringLiteral("!")), std::string());
    QCOMPARE(typed(Qt::Key_Minus, ctrl, QStringLiteral("-")), std::string());
    QCOMPARE(typed(Qt::Key_X, alt, QStringLiteral("x")), std::string());
    QCOMPARE(typed(Qt::Key_Backspace, alt, QStringLiteral("\b")), std::string());
    QCOMPARE(typed(Qt::Key_A, Qt::MetaModifier, QStringLiteral("a")), std::string());
    // Keys without text type nothing.
    for (const int key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_F5, Qt::Key_Insert, Qt::Key_Shift}) {
      QCOMPARE(typed(key, none, QString()), std::string());
    }
  }
};

PEKTO_TEST_MAIN(PlatformTest)

#include "test_platform.moc"
