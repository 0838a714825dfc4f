// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Beallit.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Icons.h"
#include "base/Settings.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Beallit";
constexpr int kClientWidth = 500;
constexpr int kClientHeight = 342;
constexpr int kSampleHeight = 117;
constexpr int kSampleLines = 3;
constexpr int kSampleGutterDigits = 2;
constexpr std::string_view kSampleLine = "asdf asdf asdf";
constexpr QSize kPictureSize(24, 24);

// The whole look of a pane, in the order the dialog hands it on: background, font with its
// colour, active-line colour, selection background.
void CopyLook(const TextPane& from, TextPane& to) {
  to.SetBackgroundColor(from.BackgroundColor());
  to.SetPaneFont(from.PaneFont());
  to.SetFontColor(from.FontColor());
  to.SetActiveLineColor(from.ActiveLineColor());
  to.SetSelectedColor(from.SelectedColor());
}

// The colour dialog preset with `current`; the chosen colour, nothing when cancelled.
std::optional<QColor> PickColor(const QColor& current, QWidget* owner) {
  QColorDialog dialog(current, owner);
  dialog.setObjectName(QStringLiteral("ColorDialog1"));
  if (ExecDialog(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.selectedColor().toRgb();
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name,
                        const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

QPushButton* MakePictureButton(QWidget* parent, const QString& text, const char* name,
                               const QRect& geometry, QStringView picture) {
  QPushButton* button = MakeButton(parent, text, name, geometry);
  button->setIcon(CommandIcon(picture));
  button->setIconSize(kPictureSize);
  return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, const char* name, int top) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(12, top, 277, 17);
  return box;
}

}  // namespace

Tfrm_Beallit::Tfrm_Beallit(QWidget* owner)
    : FormDialog(owner, {.section = kSection, .menus = true}) {
  setObjectName(QStringLiteral("frm_Beallit"));
  setWindowTitle(QStringLiteral("Beállítások"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  SetTabOrder();
}

void Tfrm_Beallit::CreateControls() {
  CheckBox1 = MakeCheckBox(this, QStringLiteral("Megnyitáskor teljes képernyő"), "CheckBox1", 8);
  BitBtn1 = MakePictureButton(this, QStringLiteral("Betűtípus"), "BitBtn1", {12, 40, 177, 37},
                              u"betutipus");
  BitBtn2 = MakePictureButton(this, QStringLiteral("Kijelölés színe"), "BitBtn2",
                              {196, 40, 177, 37}, u"szin_kijeloles");
  BitBtn3 = MakePictureButton(this, QStringLiteral("Aktív sor színe"), "BitBtn3", {12, 84, 177, 37},
                              u"szin_aktivsor");
  BitBtn4 = MakePictureButton(this, QStringLiteral("Háttérszín"), "BitBtn4", {196, 84, 177, 37},
                              u"szin_hatter");
  CheckBox2 = MakeCheckBox(this, QStringLiteral("Hibás leütésnél hang"), "CheckBox2", 144);

  Label1 = new QLabel(QStringLiteral("Hang file"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(12, 168);
  Label1->adjustSize();
  // The path is replaced only through the folder button: it cannot be typed into, the Tab key
  // passes it by, and it wears the dialog's colour to say so.
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(12, 184, 437, 21);
  Edit1->setReadOnly(true);
  Edit1->setFocusPolicy(Qt::ClickFocus);
  QPalette dialogColoured = Edit1->palette();
  dialogColoured.setColor(QPalette::Base, dialogColoured.color(QPalette::Window));
  Edit1->setPalette(dialogColoured);
  BitBtn5 = MakePictureButton(this, QString(), "BitBtn5", {452, 180, 33, 33}, u"mappa");

  SynEdit1 = new TextPane(this);
  SynEdit1->setObjectName(QStringLiteral("SynEdit1"));
  SynEdit1->setGeometry(0, kClientHeight - kSampleHeight, kClientWidth, kSampleHeight);
  SynEdit1->setReadOnly(false);
  SynEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SynEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SynEdit1->SetGutterDigits(kSampleGutterDigits);
  SynEdit1->AppendLines(std::vector<std::string>(kSampleLines, std::string(kSampleLine)));
  SynEdit1->SetCaret(1, 1);

  Button1 = MakeButton(this, QStringLiteral("OK"), "Button1", {388, 12, 99, 25});
  Button1->setDefault(true);
  Button2 = MakeButton(this, QStringLiteral("Mégsem"), "Button2", {388, 40, 99, 25});
  Button3 = MakeButton(this, QStringLiteral("Alapérték"), "Button3", {388, 96, 99, 25});

  const auto guard = [this](void (Tfrm_Beallit::*handler)()) {
    return [this, handler] { Guarded([&] { (this->*handler)(); }); };
  };
  connect(BitBtn1, &QPushButton::clicked, this, guard(&Tfrm_Beallit::BitBtn1Click));
  connect(BitBtn2, &QPushButton::clicked, this, guard(&Tfrm_Beallit::BitBtn2Click));
  connect(BitBtn3, &QPushButton::clicked, this, guard(&Tfrm_Beallit::BitBtn3Click));
  connect(BitBtn4, &QPushButton::clicked, this, guard(&Tfrm_Beallit::BitBtn4Click));
  connect(BitBtn5, &QPushButton::clicked, this, guard(&Tfrm_Beallit::BitBtn5Click));
  connect(Button3, &QPushButton::clicked, this, guard(&Tfrm_Beallit::Button3Click));
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well
}

void Tfrm_Beallit::SetTabOrder() {
  // The sound file box is no tab stop.
  QWidget* const order[] = {CheckBox1, BitBtn1, BitBtn2, BitBtn3, BitBtn4, CheckBox2,
                            BitBtn5,   Button1, Button2, Button3, SynEdit1};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Tfrm_Beallit::Fill(const TextPane& upper) {
  CheckBox2->setChecked(Beall.Sound);
  CheckBox1->setChecked(Beall.FullScreen);
  CopyLook(upper, *SynEdit1);
  Edit1->setText(FromPath(PathFromCp1250(Beall.SoundFile)));
}

void Tfrm_Beallit::Apply(TextPane& upper, TextPane& lower) const {
  Beall.SoundFile = Cp1250FromPath(ToPath(Edit1->text()));
  Beall.Sound = CheckBox2->isChecked();
  CopyLook(*SynEdit1, upper);
  CopyLook(*SynEdit1, lower);
  Beall.FullScreen = CheckBox1->isChecked();
}

// The sample pane has a font of its own, which the dialog's font size leaves alone.
void Tfrm_Beallit::FormShow() {
  Label1->adjustSize();
  CheckBox1->setFocus();
}

void Tfrm_Beallit::BitBtn1Click() {
  const QFont current = SynEdit1->PaneFont();
  QFontDialog dialog(FontForDialog(current), this);
  dialog.setObjectName(QStringLiteral("FontDialog1"));
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  SynEdit1->SetPaneFont(FontFromDialog(current, dialog.selectedFont()));
}

void Tfrm_Beallit::BitBtn2Click() {
  if (const auto color = PickColor(SynEdit1->SelectedColor(), this)) {
    SynEdit1->SetSelectedColor(*color);
  }
}

void Tfrm_Beallit::BitBtn3Click() {
  if (const auto color = PickColor(SynEdit1->ActiveLineColor(), this)) {
    SynEdit1->SetActiveLineColor(*color);
  }
}

void Tfrm_Beallit::BitBtn4Click() {
  if (const auto color = PickColor(SynEdit1->BackgroundColor(), this)) {
    SynEdit1->SetBackgroundColor(*color);
  }
}

void Tfrm_Beallit::BitBtn5Click() {
  const fs::path current = ToPath(Edit1->text());
  // Without a file yet the dialog starts beside the program, where the default sound lies.
  const fs::path folder = current.empty() ? Startup().ProgramDir : current.parent_path();
  QFileDialog dialog(this, QString(), FromPath(folder),
                     QStringLiteral("Wave audio file-ok (*.wav)"));
  dialog.setObjectName(QStringLiteral("OpenDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name is taken as it is, whether or not such a file exists.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("wav"));
  if (!current.empty()) dialog.selectFile(FromPath(current.filename()));
  if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const fs::path chosen = fs::absolute(ToPath(dialog.selectedFiles().front()));
  // The settings file would keep another path, and the sound would be lost at the next start.
  if (!SettingsPathText(chosen)) {
    ShowError(QStringLiteral("A beállítások fájlja nem tudja megőrizni ezt az útvonalat: \"") +
                  FromPath(chosen) +
                  QStringLiteral("\". Csak közép-európai (Windows-1250) betűkből álló, sortörés "
                                 "nélküli útvonal tárolható: válasszon másik fájlt, vagy "
                                 "nevezze át."),
              this);
    return;
  }
  Edit1->setText(FromPath(chosen));
}

void Tfrm_Beallit::Button3Click() {
  // Bold only: unlike a first start without a settings file, no italic and no underline.
  QFont font(QString::fromLatin1(kDefaultFontName.data(),
                                 static_cast<qsizetype>(kDefaultFontName.size())));
  font.setPointSize(kDefaultFontSize);
  font.setBold(true);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  SynEdit1->SetPaneFont(font);
  SynEdit1->SetFontColor(ColorFromValue(kPaneFontColor));
  SynEdit1->SetActiveLineColor(ColorFromValue(kPaneActiveLineColor));
  SynEdit1->SetSelectedColor(ColorFromValue(kPaneSelectedColor));
  SynEdit1->SetBackgroundColor(ColorFromValue(kPaneBackgroundColor));
}

bool ShowSettingsDialog(TextPane& upper, TextPane& lower, QWidget* owner) {
  Tfrm_Beallit dialog(owner);
  dialog.Fill(upper);
  if (ExecDialog(dialog) != QDialog::Accepted) return false;
  dialog.Apply(upper, lower);
  return true;
}

}  // namespace pekto
