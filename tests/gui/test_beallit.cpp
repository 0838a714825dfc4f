// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog "Beállítások": its layout, the sample pane and the dialogs it opens, what
// OK, Mégsem, Esc, the close box and "Alapérték" do to the panes and the settings record, and,
// through the main window, the error sound chosen there and the settings file at exit.

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <map>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Placement.h"
#include "base/Settings.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"
#include "ui/Beallit.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

using Reply = test::DialogAnswers::Reply;

// Everything that makes up the look of a pane.
struct Look {
  QFont font;
  int32_t fontColor = 0;
  int32_t activeLine = 0;
  int32_t selected = 0;
  int32_t background = 0;
  bool operator==(const Look&) const = default;
};

// QCOMPARE of two looks names what differs.
char* toString(const Look& look) {
  return QTest::toString(QStringLiteral("%1 colour %2 active %3 selected %4 background %5")
                             .arg(look.font.toString())
                             .arg(look.fontColor)
                             .arg(look.activeLine)
                             .arg(look.selected)
                             .arg(look.background));
}

// The look with its colours as the settings file stores them, the system window colour as such.
Look LookOf(const TextPane& pane) {
  const auto stored = [](const QColor& color) { return ValueFromColor(color, {kClWindow}); };
  return {pane.PaneFont(), stored(pane.FontColor()), stored(pane.ActiveLineColor()),
          stored(pane.SelectedColor()), stored(pane.BackgroundColor())};
}

void SetLook(TextPane& pane, const Look& look) {
  pane.SetPaneFont(look.font);
  pane.SetFontColor(ColorFromValue(look.fontColor));
  pane.SetActiveLineColor(ColorFromValue(look.activeLine));
  pane.SetSelectedColor(ColorFromValue(look.selected));
  pane.SetBackgroundColor(ColorFromValue(look.background));
}

QFont PaneFont(const QString& family, int points, bool bold, bool italic, bool underline) {
  QFont font(family);
  font.setPointSize(points);
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

// The look of a first start without a settings file.
Look FirstStartLook() {
  return {PaneFont(QStringLiteral("Courier New"), 14, true, true, true), 0, 0xFFECD9, 0x808080,
          kClWindow};
}

// A look unlike any default.
Look OtherLook() {
  return {PaneFont(QStringLiteral("Arial"), 11, false, false, false), 0x0000FF, 0x00FF00, 0xFF0000,
          0xEEEEEE};
}

void WriteBytes(const fs::path& path, const QByteArray& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

QByteArray DamagedWave() {
  return QByteArrayLiteral("RIFF\x24\x00\x00\x00WAVEjunk");
}

template <typename T>
T* In(QDialog& dialog, const char* name) {
  return test::Find<T>(&dialog, name);
}

Reply Click(const char* button) {
  return [button](QDialog& dialog) { In<QPushButton>(dialog, button)->click(); };
}

// What a test does in the settings dialog before it closes it.
enum Act { kChanges, kCancelledChoices, kDefaults };

// Does `act` in the settings dialog, then closes it with `close`.
Reply InDialog(std::function<void(QDialog&)> act, Reply close) {
  return [act, close](QDialog& dialog) {
    act(dialog);
    close(dialog);
  };
}

// Answers a colour dialog with `color`, noting the colour it offered.
Reply ChooseColor(QColor color, QColor* offered = nullptr) {
  return [color, offered](QDialog& dialog) {
    auto& colors = dynamic_cast<QColorDialog&>(dialog);
    QCOMPARE(dialog.objectName(), QStringLiteral("ColorDialog1"));
    if (offered) *offered = colors.currentColor();
    colors.setCurrentColor(color);
    dialog.accept();
  };
}

// Answers the font dialog with `font`, noting the font it offered.
Reply ChooseFont(QFont font, QFont* offered = nullptr) {
  return [font, offered](QDialog& dialog) {
    auto& fonts = dynamic_cast<QFontDialog&>(dialog);
    QCOMPARE(dialog.objectName(), QStringLiteral("FontDialog1"));
    if (offered) *offered = fonts.currentFont();
    // As a learner picks it: by the style the family's files name (Qt's Hungarian texts name
    // the font's own style otherwise, and the dialog would take the family's first).
    fonts.setCurrentFont(FontForDialog(font));
    dialog.accept();
  };
}

struct FileDialogSeen {
  QString folder;
  QString offered;
  QString filter;
  QString suffix;
};

// Answers the sound file dialog with `chosen` (cancels it when empty), noting what it offered.
Reply ChooseFile(const fs::path& chosen, FileDialogSeen* seen = nullptr) {
  return [chosen, seen](QDialog& dialog) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    QCOMPARE(dialog.objectName(), QStringLiteral("OpenDialog1"));
    if (seen) {  // Qt's dialogs give paths with '/', also on Windows, where the program has '\'
      *seen = {QDir::toNativeSeparators(files.directory().absolutePath()),
               QDir::toNativeSeparators(files.selectedFiles().value(0)), files.selectedNameFilter(),
               files.defaultSuffix()};
    }
    if (chosen.empty()) return dialog.reject();
    files.selectFile(FromPath(chosen));
    dialog.accept();
  };
}

}  // namespace

class BeallitTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.screenFontSize = 9}};
  QTemporaryDir files_;
  std::unique_ptr<TextPane> upper_;
  std::unique_ptr<TextPane> lower_;

  fs::path FilesDir() const { return ToPath(files_.path()); }

  bool ShowDialog() { return ShowSettingsDialog(*upper_, *lower_, nullptr); }

  // A valid and a damaged wave file in the test's folder.
  fs::path Good() const {
    WriteBytes(FilesDir() / "jo.wav", test::Wave(8, 8));
    return FilesDir() / "jo.wav";
  }
  fs::path Damaged() const {
    WriteBytes(FilesDir() / "rossz.wav", DamagedWave());
    return FilesDir() / "rossz.wav";
  }

  // The main window on a lesson, started with the error sound `on` or off and `file` set.
  std::unique_ptr<Tfrm_Main> StartWithSound(bool on, const fs::path& file) const {
    {
      IniFile ini(Startup().SettingsFile);
      ini.WriteBool("Defaults", "Sound", on);
      ini.WriteString("Defaults", "SoundFile", Cp1250FromPath(file));
    }
    return test::ShowMain({FromPath(WriteLesson())});
  }

  fs::path WriteLesson() const {
    const fs::path path = FilesDir() / "ab.lck";
    WriteBytes(path, "Lecke\r\nasdf jkl\r\n");
    return path;
  }

  // Every change the dialog offers, each to a value unlike the present one.
  void QueueChanges(test::DialogAnswers& answers, const fs::path& soundFile,
                    const QFont& font) const {
    answers.Then(ChooseFont(font))
        .Then(ChooseColor(QColor(10, 20, 30)))  // selection
        .Then(ChooseColor(QColor(40, 50, 60)))  // active line
        .Then(ChooseColor(QColor(70, 80, 90)))  // background
        .Then(ChooseFile(soundFile));           // sound file
  }

  static void MakeChanges(QDialog& dialog) {
    In<QCheckBox>(dialog, "CheckBox1")->toggle();
    In<QCheckBox>(dialog, "CheckBox2")->toggle();
    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}) {
      In<QPushButton>(dialog, button)->click();
    }
  }

  static QFont ChangedFont() {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(16);
    font.setItalic(true);
    return font;
  }

 private slots:
  void initTestCase() { QVERIFY(files_.isValid()); }

  void init() {
    run_.Reset();
    upper_ = std::make_unique<TextPane>();
    lower_ = std::make_unique<TextPane>();
    SetLook(*upper_, FirstStartLook());
    SetLook(*lower_, FirstStartLook());
  }

  void cleanup() {
    upper_.reset();
    lower_.reset();
  }

  void theDialogHasItsLayout() {
    bool laidOut = false;
    QPoint labelAt;
    QString caption;
    QString focus;
    QString defaultButton;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      caption = dialog.windowTitle();
      laidOut = test::ExpectLayout(dialog,
                                   {{"CheckBox1", {12, 8, 277, 17}},
                                    {"BitBtn1", {12, 40, 177, 37}},
                                    {"BitBtn2", {196, 40, 177, 37}},
                                    {"BitBtn3", {12, 84, 177, 37}},
                                    {"BitBtn4", {196, 84, 177, 37}},
                                    {"CheckBox2", {12, 144, 277, 17}},
                                    {"Edit1", {12, 184, 437, 21}},
                                    {"BitBtn5", {452, 180, 33, 33}},
                                    {"SynEdit1", {0, 342 - 117, 500, 117}},
                                    {"Button1", {388, 12, 99, 25}},
                                    {"Button2", {388, 40, 99, 25}},
                                    {"Button3", {388, 96, 99, 25}}},
                                   {500, 342});
      labelAt = In<QLabel>(dialog, "Label1")->pos();
      focus = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
      for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->isDefault()) defaultButton = button->objectName();
      }
      QCOMPARE(In<QPushButton>(dialog, "BitBtn1")->text(), QStringLiteral("Betűtípus"));
      QCOMPARE(In<QPushButton>(dialog, "BitBtn2")->text(), QStringLiteral("Kijelölés színe"));
      QCOMPARE(In<QPushButton>(dialog, "BitBtn3")->text(), QStringLiteral("Aktív sor színe"));
      QCOMPARE(In<QPushButton>(dialog, "BitBtn4")->text(), QStringLiteral("Háttérszín"));
      QVERIFY(In<QPushButton>(dialog, "BitBtn5")->text().isEmpty());
      for (const char* picture : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}) {
        QVERIFY(!In<QPushButton>(dialog, picture)->icon().pixmap(24, 24).isNull());
      }
      QCOMPARE(In<QPushButton>(dialog, "Button1")->text(), QStringLiteral("OK"));
      QCOMPARE(In<QPushButton>(dialog, "Button2")->text(), QStringLiteral("Mégsem"));
      QCOMPARE(In<QPushButton>(dialog, "Button3")->text(), QStringLiteral("Alapérték"));
      QCOMPARE(In<QCheckBox>(dialog, "CheckBox1")->text(),
               QStringLiteral("Megnyitáskor teljes képernyő"));
      QCOMPARE(In<QCheckBox>(dialog, "CheckBox2")->text(), QStringLiteral("Hibás leütésnél hang"));
      QCOMPARE(In<QLabel>(dialog, "Label1")->text(), QStringLiteral("Hang file"));
      dialog.reject();
    });
    QVERIFY(!ShowDialog());
    QCOMPARE(answers.Records().front().object, QStringLiteral("frm_Beallit"));
    QCOMPARE(caption, QStringLiteral("Beállítások"));
    QVERIFY(laidOut);
    QCOMPARE(labelAt, QPoint(12, 168));
    QCOMPARE(focus, QStringLiteral("CheckBox1"));
    QCOMPARE(defaultButton, QStringLiteral("Button1"));
  }

  void theSamplePaneShowsTheUpperPanesLook() {
    SetLook(*upper_, OtherLook());
    SetLook(*lower_, FirstStartLook());
    Beall.ScreenFontSize = 10;
    std::vector<std::string> lines;
    Look sample;
    bool readOnly = true;
    int gutter = 0;
    Qt::ScrollBarPolicy vertical = Qt::ScrollBarAsNeeded, horizontal = Qt::ScrollBarAsNeeded;
    QPlainTextEdit::LineWrapMode wrap = QPlainTextEdit::NoWrap;
    int dialogPoints = 0;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      const auto* pane = In<TextPane>(dialog, "SynEdit1");
      lines = pane->Lines();
      sample = LookOf(*pane);
      readOnly = pane->isReadOnly();
      gutter = pane->GutterWidth();
      vertical = pane->verticalScrollBarPolicy();
      horizontal = pane->horizontalScrollBarPolicy();
      wrap = pane->lineWrapMode();
      dialogPoints = dialog.font().pointSize();
      dialog.reject();
    });
    QVERIFY(!ShowDialog());
    QCOMPARE(lines, std::vector<std::string>(3, "asdf asdf asdf"));
    // The dialog takes the interface font size; the sample keeps the upper pane's font.
    QCOMPARE(dialogPoints, 10);
    QCOMPARE(sample, OtherLook());
    QVERIFY(!readOnly);
    QCOMPARE(vertical, Qt::ScrollBarAlwaysOff);
    QCOMPARE(horizontal, Qt::ScrollBarAlwaysOff);
    QCOMPARE(wrap, QPlainTextEdit::WidgetWidth);
    // Room for two digits: narrower than the practice panes' gutter of three.
    TextPane twoDigits;
    twoDigits.SetGutterDigits(2);
    QCOMPARE(gutter, twoDigits.GutterWidth());
    QVERIFY(gutter < upper_->GutterWidth());
    // Nothing was applied.
    QCOMPARE(LookOf(*upper_), OtherLook());
    QCOMPARE(LookOf(*lower_), FirstStartLook());
  }

  void theSampleCanBeEdited() {
    std::vector<std::string> lines;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      auto* pane = In<TextPane>(dialog, "SynEdit1");
      pane->setFocus();
      QTest::keyClick(pane, Qt::Key_End);
      test::TypeText(pane, QStringLiteral("xő"));
      lines = pane->Lines();
      dialog.reject();
    });
    ShowDialog();
    QCOMPARE(lines.front(), std::string("asdf asdf asdfx\xF5"));
  }

  void theCheckBoxesAndTheSoundFileComeFromTheRecord() {
    Beall.FullScreen = true;
    Beall.Sound = false;
    Beall.SoundFile = Cp1250FromPath(FilesDir()) + "/hang\xE9.wav";  // é
    bool fullScreen = false, sound = true;
    QString file;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      fullScreen = In<QCheckBox>(dialog, "CheckBox1")->isChecked();
      sound = In<QCheckBox>(dialog, "CheckBox2")->isChecked();
      file = In<QLineEdit>(dialog, "Edit1")->text();
      dialog.reject();
    });
    ShowDialog();
    QVERIFY(fullScreen);
    QVERIFY(!sound);
    QCOMPARE(file, FromPath(FilesDir() / u8"hangé.wav"));  // with Windows' \ on Windows
  }

  void okAppliesTheSampleToBothPanesAndTheRecord() {
    SetLook(*upper_, FirstStartLook());
    SetLook(*lower_, OtherLook());  // whatever the lower pane showed before
    const fs::path sound = FilesDir() / "uj.wav";
    test::DialogAnswers answers;
    answers.Then(InDialog(MakeChanges, Click("Button1")));
    QueueChanges(answers, sound, ChangedFont());
    QVERIFY(ShowDialog());
    QCOMPARE(answers.Count(), 6);
    const Look upper = LookOf(*upper_);
    QCOMPARE(LookOf(*lower_), upper);
    QCOMPARE(upper.font.family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(upper.font.pointSize(), 16);
    QVERIFY(upper.font.italic() && !upper.font.bold() && !upper.font.underline());
    QCOMPARE(upper.fontColor, 0);
    QCOMPARE(upper.selected, ValueFromColor(QColor(10, 20, 30)));
    QCOMPARE(upper.activeLine, ValueFromColor(QColor(40, 50, 60)));
    QCOMPARE(upper.background, ValueFromColor(QColor(70, 80, 90)));
    QVERIFY(Beall.FullScreen);
    QVERIFY(Beall.Sound);
    QCOMPARE(Beall.SoundFile, Cp1250FromPath(sound));  // a file that does not exist is taken
  }

  void theDialogsOpenOnTheSamplesValues() {
    SetLook(*upper_, OtherLook());
    Beall.SoundFile = Cp1250FromPath(FilesDir() / "regi.wav");
    QFont offeredFont;
    QColor offeredSelection, offeredActive, offeredBackground;
    FileDialogSeen seen;
    test::DialogAnswers answers;
    answers.Then(InDialog(MakeChanges, Click("Button2")))
        .Then(ChooseFont(ChangedFont(), &offeredFont))
        .Then(ChooseColor(Qt::red, &offeredSelection))
        .Then(ChooseColor(Qt::red, &offeredActive))
        .Then(ChooseColor(Qt::red, &offeredBackground))
        .Then(ChooseFile({}, &seen));
    QVERIFY(!ShowDialog());
    QCOMPARE(offeredFont.family(), QFontInfo(OtherLook().font).family());
    QCOMPARE(offeredFont.pointSize(), 11);
    QCOMPARE(offeredSelection, ColorFromValue(OtherLook().selected));
    QCOMPARE(offeredActive, ColorFromValue(OtherLook().activeLine));
    QCOMPARE(offeredBackground, ColorFromValue(OtherLook().background));
    QCOMPARE(seen.folder, FromPath(FilesDir()));
    QCOMPARE(seen.offered, FromPath(FilesDir() / "regi.wav"));
    QCOMPARE(seen.filter, QStringLiteral("Wave audio file-ok (*.wav)"));
    QCOMPARE(seen.suffix, QStringLiteral("wav"));
  }

  void aTypedSoundNameGetsTheDefaultExtension() {
    QString file;
    test::DialogAnswers answers;
    answers.Then(InDialog(
        [&](QDialog& dialog) {
          In<QPushButton>(dialog, "BitBtn5")->click();
          file = In<QLineEdit>(dialog, "Edit1")->text();
        },
        Click("Button1")));
    answers.Then(ChooseFile(FilesDir() / "csengo"));
    QVERIFY(ShowDialog());
    QCOMPARE(file, FromPath(FilesDir() / "csengo.wav"));
    QCOMPARE(Beall.SoundFile, Cp1250FromPath(FilesDir() / "csengo.wav"));
  }

  // Cancel in any form applies nothing, after changes and the defaults too; choices cancelled on
  // the way leave the sample alone; the defaults reach both panes only with OK.
  void cancelAndDefaults_data() {
    QTest::addColumn<int>("act");
    QTest::addColumn<QString>("close");    // the button that closes, "Esc" or "close box"
    QTest::addColumn<bool>("lowerOther");  // the lower pane shows OtherLook before
    QTest::addColumn<bool>("applied");
    QTest::newRow("changes, Mégsem") << int(kChanges) << "Button2" << false << false;
    QTest::newRow("changes, Esc") << int(kChanges) << "Esc" << false << false;
    QTest::newRow("changes, close box") << int(kChanges) << "close box" << false << false;
    QTest::newRow("cancelled choices, OK") << int(kCancelledChoices) << "Button1" << false << true;
    QTest::newRow("defaults, OK") << int(kDefaults) << "Button1" << false << true;
    QTest::newRow("defaults, Mégsem") << int(kDefaults) << "Button2" << true << false;
  }
  void cancelAndDefaults() {
    QFETCH(int, act);
    QFETCH(QString, close);
    QFETCH(bool, lowerOther);
    QFETCH(bool, applied);
    SetLook(*upper_, OtherLook());
    SetLook(*lower_, lowerOther ? OtherLook() : FirstStartLook());
    Beall.FullScreen = act == kDefaults;
    Beall.Sound = true;
    Beall.SoundFile = "regi.wav";
    const TBeall before = Beall;
    Look sample;
    QString file;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      if (act == kChanges) MakeChanges(dialog);
      for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}) {
        if (act == kCancelledChoices) In<QPushButton>(dialog, button)->click();
      }
      if (act != kCancelledChoices) In<QPushButton>(dialog, "Button3")->click();  // the defaults
      sample = LookOf(*In<TextPane>(dialog, "SynEdit1"));
      file = In<QLineEdit>(dialog, "Edit1")->text();
      if (close == QStringLiteral("Esc")) {
        QTest::keyClick(In<QCheckBox>(dialog, "CheckBox1"), Qt::Key_Escape);
      } else if (close == QStringLiteral("close box")) {
        dialog.close();
      } else {
        In<QPushButton>(dialog, close.toLatin1().constData())->click();
      }
    });
    if (act == kChanges) QueueChanges(answers, FilesDir() / "uj.wav", ChangedFont());
    for (int i = 0; act == kCancelledChoices && i < 5; ++i)
      answers.Then(test::DialogAnswers::Reject());
    QCOMPARE(ShowDialog(), applied);
    QCOMPARE(answers.Count(), act == kDefaults ? 1 : 6);
    const Look boldDefault{PaneFont(QStringLiteral("Courier New"), 14, true, false, false), 0,
                           0xFFECD9, 0x808080, kClWindow};
    if (act != kChanges) QCOMPARE(sample, act == kDefaults ? boldDefault : OtherLook());
    if (act == kCancelledChoices) QCOMPARE(file, QStringLiteral("regi.wav"));
    const Look expected = act == kDefaults ? boldDefault : OtherLook();
    QCOMPARE(LookOf(*upper_), applied ? expected : OtherLook());
    QCOMPARE(LookOf(*lower_), applied ? expected : lowerOther ? OtherLook() : FirstStartLook());
    if (act == kDefaults && applied) {
      QVERIFY(!upper_->PaneFont().strikeOut());
      QCOMPARE(upper_->BackgroundColor(), ColorFromValue(static_cast<int32_t>(0xFF000005)));
    }
    // The check boxes and the sound file change only with changes that are applied.
    QCOMPARE(Beall.FullScreen, before.FullScreen);
    QCOMPARE(Beall.Sound, before.Sound);
    QCOMPARE(Beall.SoundFile, before.SoundFile);
  }

  void theSoundBoxCannotBeTypedIntoNorTabbedTo() {
    Beall.SoundFile = "regi.wav";
    bool readOnly = false;
    Qt::FocusPolicy policy = Qt::StrongFocus;
    QString afterTyping;
    QStringList tabOrder;
    QColor base, window;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      auto* edit = In<QLineEdit>(dialog, "Edit1");
      readOnly = edit->isReadOnly();
      policy = edit->focusPolicy();
      base = edit->palette().color(QPalette::Base);
      window = dialog.palette().color(QPalette::Window);
      edit->setFocus();
      QTest::keyClick(edit, Qt::Key_End);
      QTest::keyClicks(edit, "x");
      QTest::keyClick(edit, Qt::Key_Backspace);
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(edit, Qt::Key_Delete);
      afterTyping = edit->text();
      // Around the tab order from the first control.
      In<QCheckBox>(dialog, "CheckBox1")->setFocus();
      for (int i = 0; i < 11; ++i) {
        tabOrder << dialog.focusWidget()->objectName();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
      }
      tabOrder << dialog.focusWidget()->objectName();
      dialog.reject();
    });
    ShowDialog();
    QVERIFY(readOnly);
    QCOMPARE(policy, Qt::ClickFocus);
    QCOMPARE(afterTyping, QStringLiteral("regi.wav"));
    QCOMPARE(base, window);
    QCOMPARE(tabOrder,
             QStringList({"CheckBox1", "BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "CheckBox2",
                          "BitBtn5", "Button1", "Button2", "Button3", "SynEdit1", "CheckBox1"}));
  }

  void tickingTheSoundWithAnEmptyFileIsAccepted() {
    Beall.Sound = false;
    Beall.SoundFile.clear();
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      In<QCheckBox>(dialog, "CheckBox2")->setChecked(true);
      In<QPushButton>(dialog, "Button1")->click();
    });
    QVERIFY(ShowDialog());
    QVERIFY(Beall.Sound);
    QVERIFY(Beall.SoundFile.empty());
  }

  void closingStoresThePosition() {
    test::DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
      dialog.move(120, 130);
      dialog.reject();
    });
    ShowDialog();
    const IniFile ini = SettingsIni();
    QCOMPARE(ini.ReadInteger("frm_Beallit", "Left", -1), 120);
    QCOMPARE(ini.ReadInteger("frm_Beallit", "Top", -1), 130);
    QPoint position;
    QSize size;
    answers.Then([&](QDialog& dialog) {
      position = dialog.pos();
      size = dialog.size();
      dialog.accept();
    });
    ShowDialog();
    QCOMPARE(position, QPoint(120, 130));
    QCOMPARE(size, QSize(500, 342));
  }

  // ---- through the main window ----------------------------------------------------------

  void bothMainPanesCarryTheSameLookAfterOk() {
    auto w = test::ShowMain();
    auto* synEdit1 = test::Find<TextPane>(w, "SynEdit1");
    auto* synEdit2 = test::Find<TextPane>(w, "SynEdit2");
    SetLook(*synEdit2, OtherLook());
    test::DialogAnswers answers;
    answers
        .Then(InDialog([](QDialog& dialog) { In<QPushButton>(dialog, "BitBtn4")->click(); },
                       Click("Button1")))
        .Then(ChooseColor(QColor(1, 2, 3)));
    test::Find<QAction>(w, "aBeallit")->trigger();
    QCOMPARE(answers.Records().front().object, QStringLiteral("frm_Beallit"));
    QCOMPARE(synEdit1->BackgroundColor(), QColor(1, 2, 3));
    QCOMPARE(LookOf(*synEdit2), LookOf(*synEdit1));
    QCOMPARE(synEdit1->PaneFont(), FirstStartLook().font);
    w->close();
  }

  void aNewSoundFileIsUsedOnTheNextWrongKey() {
    const fs::path damaged = Damaged();
    auto w = StartWithSound(true, Good());
    auto* typing = test::Find<TextPane>(w, "SynEdit1");
    QVERIFY(Beall.Sound);
    test::DialogAnswers answers;
    test::TypeChar(typing, u'x');  // wrong: the valid sound plays, nothing is reported
    QCOMPARE(w->State().WrongCount, 1);
    QCOMPARE(answers.Count(), 0);

    answers
        .Then(InDialog([](QDialog& dialog) { In<QPushButton>(dialog, "BitBtn5")->click(); },
                       Click("Button1")))
        .Then(ChooseFile(damaged));
    test::Find<QAction>(w, "aBeallit")->trigger();
    QCOMPARE(answers.Count(), 2);
    typing->setFocus();
    test::TypeChar(typing, u'x');
    QTRY_COMPARE(answers.Count(), 3);
    QCOMPARE(answers.Last().caption, QStringLiteral("Hiba"));
    QVERIFY(answers.Last().text.startsWith(
        QStringLiteral("Sérült hangfile, hanglejátszás leállítva\r\n")));
    QVERIFY(answers.Last().text.contains(QStringLiteral("rossz.wav")));
    QVERIFY(!Beall.Sound);
    QCOMPARE(w->State().WrongCount, 2);
    w->close();
  }

  void aSoundSwitchedOnIsUsedOnTheNextWrongKey() {
    auto w = StartWithSound(false, Damaged());
    auto* typing = test::Find<TextPane>(w, "SynEdit1");
    QVERIFY(!Beall.Sound);
    test::DialogAnswers answers;
    test::TypeChar(typing, u'x');  // no sound, nothing reported
    QCOMPARE(answers.Count(), 0);
    answers.Then([](QDialog& dialog) {
      In<QCheckBox>(dialog, "CheckBox2")->setChecked(true);
      In<QPushButton>(dialog, "Button1")->click();
    });
    test::Find<QAction>(w, "aBeallit")->trigger();
    QVERIFY(Beall.Sound);
    typing->setFocus();
    test::TypeChar(typing, u'x');
    QTRY_COMPARE(answers.Count(), 2);
    QVERIFY(answers.Last().text.startsWith(QStringLiteral("Sérült hangfile")));
    QVERIFY(!Beall.Sound);
    w->close();
  }

  void aCancelledDialogKeepsTheSoundAsItWas() {
    const fs::path good = Good(), damaged = Damaged();
    auto w = StartWithSound(true, good);
    test::DialogAnswers answers;
    answers
        .Then(InDialog([](QDialog& dialog) { In<QPushButton>(dialog, "BitBtn5")->click(); },
                       Click("Button2")))
        .Then(ChooseFile(damaged));
    test::Find<QAction>(w, "aBeallit")->trigger();
    auto* typing = test::Find<TextPane>(w, "SynEdit1");
    typing->setFocus();
    test::TypeChar(typing, u'x');
    QTest::qWait(20);
    QCOMPARE(answers.Count(), 2);  // no error: the valid sound still plays
    QVERIFY(Beall.Sound);
    QCOMPARE(Beall.SoundFile, Cp1250FromPath(good));
    w->close();
  }

  void theChoicesReachTheSettingsFileWhenTheMainWindowCloses() {
    const fs::path sound = FilesDir() / "uj.wav";
    WriteBytes(sound, test::Wave(8, 8));
    auto w = test::ShowMain();
    test::DialogAnswers answers;
    answers.Then(InDialog(MakeChanges, Click("Button1")));
    QueueChanges(answers, sound, ChangedFont());
    test::Find<QAction>(w, "aBeallit")->trigger();
    QCOMPARE(answers.Count(), 6);
    // Nothing is written before the main window closes.
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Defaults", "FontName", ""), std::string());
    QVERIFY(w->close());
    const IniFile ini(Startup().SettingsFile);
    QCOMPARE(ini.ReadString("Defaults", "FullScreen", ""), std::string("1"));
    QCOMPARE(ini.ReadString("Defaults", "Sound", ""), std::string("1"));
    QCOMPARE(ini.ReadString("Defaults", "SoundFile", ""), Cp1250FromPath(sound));
    QCOMPARE(ini.ReadString("Defaults", "FontName", ""), std::string("Liberation Serif"));
    QCOMPARE(ini.ReadInteger("Defaults", "FontSize", 0), 16);
    QCOMPARE(ini.ReadString("Defaults", "FontBold", ""), std::string("0"));
    QCOMPARE(ini.ReadString("Defaults", "FontItalic", ""), std::string("1"));
    QCOMPARE(ini.ReadString("Defaults", "FontUnderline", ""), std::string("0"));
    QCOMPARE(ini.ReadInteger("Defaults", "SelectedColor", 0), ValueFromColor(QColor(10, 20, 30)));
    QCOMPARE(ini.ReadInteger("Defaults", "ActiveLineColor", 0), ValueFromColor(QColor(40, 50, 60)));
    QCOMPARE(ini.ReadInteger("Defaults", "BkColor", 0), ValueFromColor(QColor(70, 80, 90)));
    // The next start reads them back.
    Beall = TBeall{};
    auto again = std::make_unique<Tfrm_Main>();
    QVERIFY(Beall.FullScreen && Beall.Sound);
    QCOMPARE(LookOf(*test::Find<TextPane>(again, "SynEdit1")).background,
             ValueFromColor(QColor(70, 80, 90)));
  }

  void theSystemWindowColourIsStoredAsSuch() {
    // The default background follows the desktop: stored as the system colour, also when
    // "Alapértelmezés" brought it back, never as the colour it shows today.
    for (const bool defaultsChosen : {false, true}) {
      if (defaultsChosen) IniFile(Startup().SettingsFile).WriteInteger("Defaults", "BkColor", 1);
      auto w = test::ShowMain();
      if (defaultsChosen) {
        test::DialogAnswers answers;
        answers.Then(
            InDialog([](QDialog& d) { In<QPushButton>(d, "Button3")->click(); }, Click("Button1")));
        test::Find<QAction>(w, "aBeallit")->trigger();
      }
      QVERIFY(w->close());
      QCOMPARE(IniFile(Startup().SettingsFile).ReadInteger("Defaults", "BkColor", 0), kClWindow);
    }
  }
};

PEKTO_TEST_MAIN(BeallitTest)
#include "test_beallit.moc"
