// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Nevjegy.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <string_view>

#include "base/Product.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "ui/logo.h"

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Nevjegy";
constexpr int kWidth = 600;
constexpr int kHeight = 541;
constexpr int32_t kProductColor = 0xC0DCC0;  // pale green
constexpr int32_t kHeadingColor = 0xF0FBFF;  // ivory

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment align) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  label->setAlignment(align);
  return label;
}

// A label with a font and a background of its own, which the interface size leaves alone.
void Emphasise(QLabel& label, int32_t background) {
  label.setFont(DesignFont(QStringLiteral("Arial"), 11, true));
  QPalette palette = label.palette();
  palette.setColor(QPalette::Window, ColorFromValue(background));
  label.setPalette(palette);
  label.setAutoFillBackground(true);
}

QLabel* MakeHeading(QWidget* parent, const char* name, int top, const QString& text) {
  QLabel* label = MakeLabel(parent, name, QRect(8, top, 393, 25), Qt::AlignCenter);
  Emphasise(*label, kHeadingColor);
  label->setText(text);
  return label;
}

}  // namespace

Tfrm_Nevjegy::Tfrm_Nevjegy(QWidget* owner)
    : FormDialog(owner, {.section = kSection, .menus = true}) {
  setObjectName(QStringLiteral("frm_Nevjegy"));
  setWindowTitle(QStringLiteral("Névjegy"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kWidth, kHeight);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 600, 200);
  Image1->setPixmap(BannerPicture());

  // A groove: a lowered outer bevel around a raised inner one.
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(8, 208, 409, 325);
  Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Panel1->setMidLineWidth(0);

  Label1 = MakeLabel(Panel1, "Label1", QRect(268, 8, 133, 37), Qt::AlignRight | Qt::AlignTop);
  Emphasise(*Label1, kProductColor);
  Label2 = MakeLabel(Panel1, "Label2", QRect(8, 12, 193, 13), Qt::AlignLeft | Qt::AlignTop);
  Label2->setEnabled(false);  // greyed out
  Label2->setText(QStringLiteral("© 2026 a Pekto fejlesztői"));
  Label3 = MakeHeading(Panel1, "Label3", 52, QStringLiteral("Gépírás oktató program"));
  Label4 = MakeLabel(Panel1, "Label4", QRect(8, 80, 393, 93), Qt::AlignLeft | Qt::AlignVCenter);
  Label4->setWordWrap(true);
  Label4->setText(
      QStringLiteral("A Pekto a tízujjas vakírás gyakorlására készült. A leckék szövegét "
                     "begépelve a program minden leütést azonnal értékel, méri az időt és a "
                     "helyes leütések arányát, az eredményeket pedig Top10 listán gyűjti, "
                     "ahonnan oklevél is nyomtatható. Saját leckék is írhatók."));
  Label5 = MakeHeading(Panel1, "Label5", 184, QStringLiteral("Elérhetőség"));
  Label6 = MakeLabel(Panel1, "Label6", QRect(8, 212, 393, 109), Qt::AlignCenter);
  Label6->setText(QStringLiteral("Honlap:\n%1\n\nE-mail:\n%2\n\nKérdéseit és észrevételeit "
                                 "szívesen fogadjuk.")
                      .arg(QLatin1String(kMakerWebAddress), QLatin1String(kMakerMailAddress)));

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(511, 504, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Guarded([this] { FormCreate(); });
}

void Tfrm_Nevjegy::FormCreate() {
  Label1->setText(QLatin1String(kProductName) + u'\n' + QLatin1String(kProductVersion));
}

// Labels with a font of their own keep it.
void Tfrm_Nevjegy::FormShow() {
  Button1->setFocus();
}

void ShowAbout(QWidget* owner) {
  Tfrm_Nevjegy box(owner);
  ExecDialog(box);
}

}  // namespace pekto
