// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Readme.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <string_view>

#include "base/Product.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"

namespace pekto {
namespace {

constexpr std::string_view kSection = "frm_Readme";
constexpr int kDesignWidth = 700;
constexpr int kDesignHeight = 505;
constexpr int kStatusBarHeight = 19;

// %1 the product, %2 its version, %3 the web page, %4 the mailbox.
constexpr char16_t kDocument[] =
    uR"(Tastrel - Gépírás tanulás segítő program

------------------
Fontos információk
------------------

%1 %2 - gépírás oktató program magyar billentyűzethez.


1. A program célja
------------------

A %1 a tízujjas vakírás elsajátítását segíti. A leckék rövid
szövegek; a program alul mutatja a lecke szövegét és kiemeli a
következő leütendő karaktert, felül pedig visszaírja, amit gépelt.
Elírt karaktert nem lehet javítani: minden leütés számít.

A gyakorlás közben a jobb oldali oszlop mutatja a lecke betűinek
számát, a helyes és a hibás leütéseket, az eltelt időt és a helyes
leütések arányát. A lecke végén (vagy a "Befejeztem" paranccsal) a
program kiértékeli az eredményt, elkéri a játékos nevét, és az
eredményt felveszi a Top10 listára, ahonnan oklevél is nyomtatható.


2. Hardware / Software igény
----------------------------

- Linux (például Debian 12) vagy Windows asztali környezet,
  grafikus felülettel;
- Qt 6.4 vagy újabb futtatókörnyezet (Widgets, Svg, PrintSupport);
- libjpeg a nyitókép megjelenítéséhez;
- 1024 x 768 vagy nagyobb képernyőfelbontás;
- magyar billentyűzetkiosztás ajánlott (a leckék az ékezetes
  betűket is gyakoroltatják);
- hangkártya csak a hibajelző hanghoz kell, nélküle is működik;
- nyomtató csak az oklevélhez kell (PDF-be is menthető);
- néhány megabájt szabad lemezterület a leckéknek és az
  eredményeknek.


3. Indítás és használat
-----------------------

A program indításakor egy lecke fájl neve is megadható; ilyenkor a
gyakorlás azonnal elindul. Egyébként a "Leckék" menü "Lecke
megnyitása" parancsával, vagy a lecke választó listából lehet
leckét választani. Saját lecke az "Új lecke készítése" paranccsal
írható; a lecke első sora a címe, a többi a gyakorlandó szöveg.

A gyakorló ablakok betűtípusa, színei, a teljes képernyős indítás
és a hibajelző hang a "Rendszer" menü "Beállítások" parancsával
változtatható. Az F11 és F12 billentyű nagyítja, illetve
kicsinyíti a feliratok betűméretét.


4. Adatok helye
---------------

A beállítások (Pekto.ini), a leckék (Leckek mappa) és az
eredmények (Score.csv, Players.csv) az adatmappában vannak:

- Linuxon: $XDG_DATA_HOME/Pekto, alapértelmezés szerint
  ~/.local/share/Pekto;
- Windowson: a közös alkalmazásadat-mappa Pekto almappája.

Ha a program mellett pekto.ini nevű fájl van, a program hordozható
módban fut: minden adatát a saját mappájában tartja.


5. Elérés
---------

Honlap:  %3
E-mail:  %4

Kérdéseit, észrevételeit és hibabejelentéseit szívesen fogadjuk
e-mailben. A "Súgó" menü parancsaival új levél írható erre a
címre, és a honlap is megnyitható.
)";

}  // namespace

QString ReadmeText() {
  return QString::fromUtf16(kDocument).arg(
      QLatin1String(kProductName), QLatin1String(kProductVersion), QLatin1String(kMakerWebAddress),
      QLatin1String(kMakerMailAddress));
}

Tfrm_Readme::Tfrm_Readme(QWidget* owner)
    : FormDialog(owner, {.section = kSection,
                         .resizable = true,
                         .designSize = {kDesignWidth, kDesignHeight},
                         .menus = true}) {
  setObjectName(QStringLiteral("frm_Readme"));
  setWindowTitle(QStringLiteral("Fontos információk"));
  setFont(DesignFont(QStringLiteral("Tahoma"), 8));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);  // the status bar carries the grip
  resize(kDesignWidth, kDesignHeight);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setFont(DesignFont(QStringLiteral("Courier New"), 9));
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setPlainText(ReadmeText());

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFixedHeight(kStatusBarHeight);
  StatusBar1->setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1, 1);
  layout->addWidget(StatusBar1);
}

// The document keeps its own font; the rest of the window takes the interface size.
void Tfrm_Readme::FormShow() {
  Memo1->setFocus();
}

void ShowReadme(QWidget* owner) {
  Tfrm_Readme window(owner);
  ExecDialog(window);
}

}  // namespace pekto
