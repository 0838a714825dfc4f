// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/JatekosMegad.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "base/Icons.h"
#include "base/Settings.h"
#include "platform/Ascii.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "platform/StorableText.h"
#include "results/ScoreRecording.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Jatekos";
constexpr int kClientWidth = 369;
constexpr int kClientHeight = 146;

fs::path PlayerFile() {
  return Startup().DataDir / "Players.csv";
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name, int top) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(276, top, 75, 25);
  return button;
}

}  // namespace

Tfrm_Jatekos::Tfrm_Jatekos(QWidget* owner)
    : FormDialog(owner, {.section = kSection, .menus = true}) {
  setObjectName(QStringLiteral("frm_Jatekos"));
  setWindowTitle(QStringLiteral("Játékos"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight);

  caption_ = new QLabel(QStringLiteral("Játékos"), this);
  caption_->move(8, 24);
  caption_->adjustSize();

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  // The list holds the file's names only; what is typed is stored when OK is pressed.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // Completing from the list keeps the letters as typed: anna is another player than Anna.
  ComboBox1->completer()->setCaseSensitivity(Qt::CaseSensitive);
  ComboBox1->setGeometry(60, 20, 233, ComboBox1->sizeHint().height());
  // The name goes to Windows-1250 files: only what they can hold is taken.
  ComboBox1->setValidator(new StorableTextValidator(
      ComboBox1, [this](const QString& refused) { ShowRefused(refused); }));
  caption_->setBuddy(ComboBox1);

  // Why a character was refused, below the name box for a few seconds.
  LabelHint = new QLabel(this);
  LabelHint->setObjectName(QStringLiteral("LabelHint"));
  LabelHint->setTextFormat(Qt::PlainText);
  LabelHint->setWordWrap(true);
  LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LabelHint->setGeometry(84, 52, 186, 88);
  LabelHint->hide();
  hintTimer_ = new QTimer(this);
  hintTimer_->setSingleShot(true);
  hintTimer_->setInterval(kRefusedHintMs);
  connect(hintTimer_, &QTimer::timeout, LabelHint, &QWidget::hide);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(12, 68, 64, 64);
  Image1->setPixmap(SvgPicture(QStringLiteral(":/images/jatekos.svg"), QSize(64, 64)));

  Button1 = MakeButton(this, QStringLiteral("OK"), "Button1", 76);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &Tfrm_Jatekos::accept);
  Button2 = MakeButton(this, QStringLiteral("Mégsem"), "Button2", 108);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well

  setTabOrder(ComboBox1, Button1);
  setTabOrder(Button1, Button2);
  Guarded([this] { FormCreate(); });
}

void Tfrm_Jatekos::FormCreate() {
  try {
    for (const std::string& name : ReadPlayerNames(PlayerFile())) {
      ComboBox1->addItem(ToQ(name));
    }
  } catch (const DamagedFileError&) {
    mayStore_ = true;  // the damage is reported; storing a name keeps the file under a new name
    throw;
  }
  mayStore_ = true;
  ComboBox1->setEditText(ToQ(Beall.LastPlayer));
}

std::string Tfrm_Jatekos::NameText() const {
  return FromQ(ComboBox1->currentText());
}

void Tfrm_Jatekos::accept() {
  setResult(QDialog::Accepted);
  // A name that cannot be stored is reported; the dialog still closes with OK.
  Guarded([this] { Button1Click(); });
  QDialog::accept();
}

void Tfrm_Jatekos::Button1Click() {
  if (!mayStore_) return;
  SetAside setAside;
  StorePlayerLocked(PlayerFile(), NameText(), collator_, &setAside);
  if (!setAside.keptAs.empty()) {
    ShowWarning(QString::fromStdString(SetAsideNotice(PlayerFile(), setAside, "A játékos neve")),
                this);
  }
}

void Tfrm_Jatekos::ShowRefused(const QString& characters) {
  QApplication::beep();
  LabelHint->setText(QStringLiteral("A névben nem használható: %1 (csak a közép-európai "
                                    "Windows-1250 kódlap betűi menthetők)")
                         .arg(ReadableCharacters(characters)));
  LabelHint->show();
  hintTimer_->start();
}

void Tfrm_Jatekos::FormShow() {
  caption_->adjustSize();
  // The name box takes the height of its font, as a drop-down box does.
  ComboBox1->resize(ComboBox1->width(), ComboBox1->sizeHint().height());
  // The last player's name is selected, so that typing replaces it.
  ComboBox1->setFocus();
  ComboBox1->lineEdit()->selectAll();
}

bool StorePlayerLocked(const fs::path& playerFile, std::string_view name, const Collator& collator,
                       SetAside* setAside) {
  const FileLock lock(playerFile);
  return StorePlayerName(playerFile, name, &collator, setAside);
}

std::string AskPlayerName(QWidget* owner) {
  Tfrm_Jatekos dialog(owner);
  if (ExecDialog(dialog) != QDialog::Accepted) return {};
  const std::string typed = dialog.NameText();
  Beall.LastPlayer = typed;
  return std::string(TrimLowBytes(typed));
}

}  // namespace pekto
