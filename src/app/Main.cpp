// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOption>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <utility>

#include "base/Commands.h"
#include "base/Icons.h"
#include "base/OnScreen.h"
#include "base/Placement.h"
#include "base/Product.h"
#include "base/Settings.h"
#include "lessons/FileNyitas.h"
#include "lessons/Szerkeszt.h"
#include "platform/BusyCursor.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtText.h"
#include "platform/ShellLaunch.h"
#include "platform/Startup.h"
#include "practice/Counters.h"
#include "practice/Keyboard.h"
#include "practice/LessonLibrary.h"
#include "practice/TextPane.h"
#include "results/CertificateLayout.h"
#include "results/Ertekel.h"
#include "results/Osszesito.h"
#include "results/Statisztika.h"
#include "results/Top10.h"
#include "ui/Beallit.h"
#include "ui/Nevjegy.h"
#include "ui/PracticeKeyboard.h"
#include "ui/Readme.h"
#include "ui/logo.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr int kDesignWidth = 774;
constexpr int kDesignHeight = 598;
constexpr std::string_view kSection = "frm_Main";
// How long the rest of the start waits for the window to be put on the screen; a minimised
// window is not put there, and its start goes on without.
constexpr std::chrono::milliseconds kOnScreenDeadline{1000};
constexpr int32_t kHintColor = 0xB5DAFF;                          // pale orange hint windows
const QString kMakerWeb = QString::fromLatin1(kMakerWebAddress);  // also on the certificate
const QString kMakerMail = QString::fromLatin1(kMakerMailAddress);

QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(InstalledFamily(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The font of the practice panes as the settings name it.
QFont PaneFont(const PaneLook& look) {
  QFont font(ToQ(look.FontName));
  font.setPointSize(std::max(1, look.FontSize));
  font.setBold(look.Bold);
  font.setItalic(look.Italic);
  font.setUnderline(look.Underline);
  return font;
}

// Holds a label whose text changes with every key outside its parent's layout: the layout sizes
// the holder as it would the label, and the label fills it, so that a new text repaints the
// label alone (opaque, with nothing beneath it) and never lays out the window anew.
class LabelHolder : public QWidget {
 public:
  explicit LabelHolder(QLabel* label) : label_(label) {
    label->setParent(this);
    label->setAutoFillBackground(true);
    setSizePolicy(label->sizePolicy());
  }
  QSize sizeHint() const override { return label_->sizeHint(); }
  QSize minimumSizeHint() const override { return label_->minimumSizeHint(); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    label_->setGeometry(rect());
  }

 private:
  QLabel* label_;
};

// A label of plain text that changes with every key. QLabel lays its text out anew at every
// paint; this one keeps the layout until the text or the font changes, and paints the text
// where QLabel would.
class CounterLabel : public QLabel {
 public:
  explicit CounterLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    // A new text repaints the inside of the frame only (QLabel::setText).
    if (!contentsRect().contains(event->rect())) drawFrame(&painter);
    if (!layout_ || laidText_ != text() || laidFont_ != font()) LayOut();
    const QTextLine line = layout_->lineAt(0);
    const QRect area = TextArea();
    const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, alignment());
    qreal x = area.x();
    qreal y = area.y();
    if (align & Qt::AlignRight) {
      x += area.width() - line.horizontalAdvance();
    } else if (align & Qt::AlignHCenter) {
      x += (area.width() - line.horizontalAdvance()) / 2;
    }
    if (align & Qt::AlignBottom) {
      y += area.height() - line.height();
    } else if (align & Qt::AlignVCenter) {
      y += (area.height() - line.height()) / 2;
    }
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    line.draw(&painter, QPointF(x, y));
  }

 private:
  // Where QLabel puts the text: inside the frame, and half an x in from a frame.
  QRect TextArea() const {
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int inset = indent();
    if (inset < 0 && frameWidth() > 0) inset = fontMetrics().horizontalAdvance(u'x') / 2 - margin();
    if (inset <= 0) return area;
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignLeft) area.setLeft(area.left() + inset);
    if (align & Qt::AlignRight) area.setRight(area.right() - inset);
    if (align & Qt::AlignTop) area.setTop(area.top() + inset);
    if (align & Qt::AlignBottom) area.setBottom(area.bottom() - inset);
    return area;
  }

  void LayOut() {
    laidText_ = text();
    laidFont_ = font();
    layout_ = std::make_unique<QTextLayout>(laidText_, laidFont_, this);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout_->setTextOption(option);
    layout_->setCacheEnabled(true);
    layout_->beginLayout();
    QTextLine line = layout_->createLine();
    line.setLineWidth(0x01000000);  // one line, however long
    line.setPosition(QPointF(0, 0));
    layout_->endLayout();
  }

  std::unique_ptr<QTextLayout> layout_;
  QString laidText_;
  QFont laidFont_;
};

QLabel* ValueLabel(QWidget* parent, int pixels) {
  auto* label = new CounterLabel(parent);
  label->setText(QStringLiteral("0"));
  label->setFont(
      WithoutFallback(PixelFont(QStringLiteral("Arial"), pixels, true), u"0123456789:%"));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// A counter caption. Some fonts draw the dots of capitals such as Ö above their ascent, where a
// plain label of the font's height cuts them off: this one is as tall as its text's ink.
class CaptionText : public QLabel {
 public:
  CaptionText(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAlignment(Qt::AlignRight | Qt::AlignBottom);
    setEnabled(false);  // drawn greyed
  }
  QSize sizeHint() const override { return Taller(QLabel::sizeHint()); }
  QSize minimumSizeHint() const override { return Taller(QLabel::minimumSizeHint()); }

 private:
  QSize Taller(QSize size) const {
    const QFontMetrics metrics(font());
    const int above = -metrics.boundingRect(text()).top() - metrics.ascent();
    return {size.width(), size.height() + std::max(0, above) + 1};
  }
};

// A picture drawn from its SVG when first painted, where a label would take its pixmap: like
// the tool buttons' icons, it leaves the window's start to draw itself.
class SvgPictureBox : public QWidget {
 public:
  SvgPictureBox(QString path, QSize size, QWidget* parent)
      : QWidget(parent), path_(std::move(path)), size_(size) {}
  QSize sizeHint() const override { return size_; }
  // A window too low for the whole picture shows it smaller, rather than growing.
  QSize minimumSizeHint() const override { return {size_.width(), 0}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    const QSize shown = size_.scaled(size_.boundedTo(contentsRect().size()), Qt::KeepAspectRatio);
    if (shown.isEmpty()) return;
    if (drawn_ != shown) {
      picture_ = SvgPicture(path_, shown);
      drawn_ = shown;
    }
    QPainter painter(this);
    style()->drawItemPixmap(&painter, contentsRect(), Qt::AlignHCenter | Qt::AlignBottom, picture_);
  }

 private:
  QString path_;
  QSize size_;
  QSize drawn_;  // the size picture_ was drawn in
  QPixmap picture_;
};

QLabel* CaptionLabel(const QString& text, QWidget* parent) {
  return new CaptionText(text, parent);
}

}  // namespace

Tfrm_Main::Tfrm_Main(QStringList arguments, QWidget* parent)
    : QMainWindow(parent),
      form_(*this,
            {.section = kSection, .resizable = true, .menus = true, .followsFullScreen = true}),
      arguments_(std::move(arguments)) {
  setObjectName(QStringLiteral("frm_Main"));
  setWindowTitle(QStringLiteral("Pekto"));
  // The settings come before the widgets: each control is built in the font it shows, so that
  // no text is measured and no font loaded for a size the window never shows.
  const bool prepared = Guarded([this] { PrepareFolders(); });
  setFont(ScreenFont(PixelFont(QStringLiteral("Tahoma"), 11, false)));
  resize(kDesignWidth, kDesignHeight);

  CreateActions();
  CreateMenus();
  CreateToolBars();
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(CreateLessonBar());
  column->addWidget(ToolBar2);
  column->addWidget(CreatePracticeArea(central), 1);
  setCentralWidget(central);
  CreateStatusBar();
  setTabOrder(SynEdit1, SynEdit2);
  setTabOrder(SynEdit2, ComboBox1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  // The seconds are counted from the first key: a coarse timer's early tick would show the
  // second before.
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

  session_ = new TypingSession(*SynEdit1, *SynEdit2, this);
  connect(session_, &TypingSession::keyJudged, this, [this] {
    UpdateCounters();
    StatusPanels[0]->setText(
        QString::fromStdString(CaretText(SynEdit1->CaretLine(), SynEdit1->CaretColumn())));
  });
  connect(session_, &TypingSession::timeChanged, this, [this] {
    LIdo->setText(QString::fromStdString(TimeText(State().ElapsedSeconds)));
    ShowSpeed();
  });
  // The clock ticks from the first key on, each second after it.
  connect(session_, &TypingSession::clockStarted, Timer1, qOverload<>(&QTimer::start));
  connect(session_, &TypingSession::ended, this, [this] { Guarded([this] { FinishExercise(); }); });
  connect(session_, &TypingSession::soundFailed, this,
          [this](const QString& reason) { Guarded([&] { SoundFailed(reason); }); });
  if (prepared) Guarded([this] { FormCreate(); });
}

Tfrm_Main::~Tfrm_Main() = default;

// ---- composition ---------------------------------------------------------------------------

void Tfrm_Main::CreateActions() {
  using K = QKeySequence;
  // clang-format off
  AddCommands(*this, {
      {&aMegnyit, "aMegnyit", QStringLiteral("Lecke megnyitása"), "megnyit",
       {K(Qt::CTRL | Qt::Key_O)}, [this] { aMegnyitExecute(); }},
      {&aUj, "aUj", QStringLiteral("Új lecke készítése"), "uj",
       {K(Qt::CTRL | Qt::Key_N)}, [this] { aUjExecute(); }},
      {&aSzerkeszt, "aSzerkeszt", QStringLiteral("Lecke szerkesztése"), "szerkeszt",
       {K(Qt::CTRL | Qt::Key_E)}, [this] { aSzerkesztExecute(); }},
      {&aBefejez, "aBefejez", QStringLiteral("Befejeztem"), "befejez",
       {K(Qt::Key_F5)}, [this] { aBefejezExecute(); }},
      {&aTop10, "aTop10", QStringLiteral("Top10"), "top10",
       {}, [this] { aTop10Execute(); }},
      {&aStatisztika, "aStatisztika", QStringLiteral("Statisztika"), "statisztika",
       {K(Qt::Key_F7)}, [this] { aStatisztikaExecute(); }},
      {&aGyakorlo, "aGyakorlo", QStringLiteral("Gyenge billentyűk gyakorlása"), "gyakorlo",
       {K(Qt::Key_F8)}, [this] { aGyakorloExecute(); }},
      {&aOsszesito, "aOsszesito", QStringLiteral("Csoport összesítő"), "osszesito",
       {K(Qt::CTRL | Qt::Key_G)}, [this] { aOsszesitoExecute(); }},
      {&aBezar, "aBezar", QStringLiteral("Bezár"), "bezar",
       {}, [this] { aBezarExecute(); }},
      {&aBetuNovel, "aBetuNovel", QStringLiteral("Betűméret növelése"), "betunovel",
       {K(Qt::Key_F11)}, [this] { aBetuNovelExecute(); }},
      {&aBetuCsokkent, "aBetuCsokkent", QStringLiteral("Betűméret csökkentése"), "betucsokkent",
       {K(Qt::Key_F12)}, [this] { aBetuCsokkentExecute(); }},
      {&aBetuTipus, "aBetuTipus", QStringLiteral("Betűtípus"), "betutipus",
       {K(Qt::CTRL | Qt::Key_B)}, [this] { aBetuTipusExecute(); }},
      {&aBillentyuzet, "aBillentyuzet", QStringLiteral("Billentyűzet"), "",
       {K(Qt::Key_F9)}, [this] { aBillentyuzetExecute(); }},
      {&aBeallit, "aBeallit", QStringLiteral("Beállítások"), "beallit",
       {}, [this] { aBeallitExecute(); }},
      {&aSugo, "aSugo", QStringLiteral("Súgó"), "sugo",
       {K(Qt::Key_F1)}, [this] { aSugoExecute(); }},
      {&aLevel, "aLevel", QStringLiteral("Levélküldés Brenmarnak"), "level",
       {}, [this] { aLevelExecute(); }},
      {&aHonlap, "aHonlap", QStringLiteral("Brenmar honlapja"), "honlap",
       {}, [this] { aHonlapExecute(); }},
      {&aUjdonsag, "aUjdonsag", QStringLiteral("Újdonságok az Interneten"), "ujdonsag",
       {}, [this] { aUjdonsagExecute(); }},
      {&aReadMe, "aReadMe", QStringLiteral("Fontos információk"), "readme",
       {}, [this] { aReadMeExecute(); }},
      {&aNevjegy, "aNevjegy", QStringLiteral("Névjegy"), "nevjegy",
       {K(Qt::ALT | Qt::Key_F1)}, [this] { aNevjegyExecute(); }}});
  // clang-format on
  aHonlap->setToolTip(kMakerWeb);
  aHonlap->setStatusTip(kMakerWeb);
  aBefejez->setEnabled(false);
  aBefejez->setVisible(false);
  aBillentyuzet->setCheckable(true);
}

void Tfrm_Main::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  const auto addMenu = [bar](const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->menuAction()->setProperty("tag", 1);
    menu->setToolTipsVisible(false);
    return menu;
  };
  QMenu* lessons = addMenu(QStringLiteral("&Leckék"));
  lessons->addAction(aMegnyit);
  lessons->addSeparator();
  lessons->addActions({aUj, aSzerkeszt});
  lessons->addSeparator();
  lessons->addAction(aBefejez);
  lessons->addSeparator();
  lessons->addActions({aTop10, aStatisztika, aGyakorlo, aOsszesito});
  lessons->addSeparator();
  lessons->addAction(aBezar);
  QMenu* view = addMenu(QStringLiteral("&Nézet"));
  view->menuAction()->setStatusTip(QStringLiteral("Nézet"));  // the one menu title with a hint
  view->addActions({aBetuNovel, aBetuCsokkent});
  view->addSeparator();
  view->addAction(aBetuTipus);
  view->addSeparator();
  view->addAction(aBillentyuzet);
  QMenu* system = addMenu(QStringLiteral("&Rendszer"));
  system->addAction(aBeallit);
  QMenu* help = addMenu(QStringLiteral("&Súgó"));
  help->addAction(aSugo);
  help->addSeparator();
  help->addActions({aLevel, aHonlap, aUjdonsag, aReadMe});
  help->addSeparator();
  help->addAction(aNevjegy);
}

void Tfrm_Main::CreateToolBars() {
  ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(20, 20));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->addActions({aMegnyit, aUj, aSzerkeszt, aTop10});
  ToolBar1->addSeparator();
  ToolBar1->addActions({aBetuNovel, aBetuCsokkent});
  ToolBar1->addSeparator();
  ToolBar1->addActions({aSugo, aLevel, aHonlap, aUjdonsag});
  ToolBar1->addSeparator();
  ToolBar1->addAction(aBezar);
  ToolBar1->toggleViewAction()->setEnabled(false);
  addToolBar(Qt::TopToolBarArea, ToolBar1);

  ToolBar2 = new QToolBar(QStringLiteral("ToolBar2"));
  ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
  ToolBar2->setIconSize(QSize(24, 24));
  ToolBar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  ToolBar2->addActions({aMegnyit, aBefejez});
  for (QAction* action : {aMegnyit, aBefejez}) {
    if (QWidget* button = ToolBar2->widgetForAction(action)) button->setFixedSize(132, 36);
  }
}

QWidget* Tfrm_Main::CreateLessonBar() {
  auto* bar = new QWidget;
  bar->setObjectName(QStringLiteral("Panel4Bar"));
  bar->setFixedHeight(29);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  Panel4 = new QLabel(QStringLiteral("Pekto"), bar);
  Panel4->setTextFormat(Qt::PlainText);  // a lesson title is shown as it is written
  Panel4->setObjectName(QStringLiteral("Panel4"));
  Panel4->setAlignment(Qt::AlignCenter);
  Panel4->setFont(PixelFont(QStringLiteral("Comic Sans MS"), 15, true));
  Panel4->setFrameShape(QFrame::StyledPanel);
  Panel4->setFrameShadow(QFrame::Raised);
  layout->addWidget(Panel4);

  ComboBox1 = new QComboBox(bar);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(false);
  ComboBox1->setFont(ScreenFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, false)));
  ComboBox1->setGeometry(12, 4, 209, 21);
  ComboBox1->setToolTip(QStringLiteral("Válasszon leckét!"));
  ComboBox1->setStatusTip(QStringLiteral("Válasszon leckét!"));
  ComboBox1->raise();
  connect(ComboBox1, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { Guarded([&] { ComboBox1Change(index); }); });
  return bar;
}

QWidget* Tfrm_Main::CreatePracticeArea(QWidget* parent) {
  auto* area = new QWidget(parent);  // the panes start in the window's font, not the default
  area->setObjectName(QStringLiteral("pTeszt"));
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  Panel6 = new QWidget(area);
  Panel6->setObjectName(QStringLiteral("Panel6"));
  auto* stack = new QVBoxLayout(Panel6);
  stack->setContentsMargins(0, 0, 0, 0);
  Splitter1 = new QSplitter(Qt::Vertical, Panel6);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);
  const QFont paneFont = PaneFont(LookFromSettings(Beall));
  const DefaultFontScope builtInWindowFont(font());
  SynEdit1 = new TextPane(Splitter1, paneFont);
  SynEdit1->setObjectName(QStringLiteral("SynEdit1"));
  SynEdit1->SetInsertMode(false);
  SynEdit1->RemoveStandardKeyBindings();
  SynEdit2 = new TextPane(Splitter1, paneFont);
  SynEdit2->setObjectName(QStringLiteral("SynEdit2"));
  SynEdit2->SetInsertMode(true);
  Splitter1->addWidget(SynEdit1);
  Splitter1->addWidget(SynEdit2);
  stack->addWidget(Splitter1);
  Panel6->installEventFilter(this);
  SynEdit1->installEventFilter(this);
  SynEdit2->installEventFilter(this);
  connect(SynEdit1, &TextPane::clicked, this, [this] { Guarded([this] { SynEdit1Click(); }); });
  connect(SynEdit2, &TextPane::clicked, this, [this] { Guarded([this] { SynEdit2Click(); }); });

  row->addWidget(Panel6, 1);
  row->addWidget(CreateCounterColumn());
  return area;
}

QWidget* Tfrm_Main::CreateCounterColumn() {
  auto* column = new QWidget;
  column->setObjectName(QStringLiteral("CounterColumn"));
  // As wide as in the design, or as its captions need where the font draws them wider (Windows'
  // GDI font engine draws Tahoma wider than FreeType does, so "Helyes leütések" would be cut).
  column->setMinimumWidth(104);
  column->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(4, 8, 14, 4);
  layout->setSpacing(0);
  LOssz = ValueLabel(column, 15);
  LHelyes = ValueLabel(column, 15);
  LHibas = ValueLabel(column, 15);
  LIdo = ValueLabel(column, 15);
  LSebesseg = ValueLabel(column, 15);
  LSzazalek = ValueLabel(column, 32);
  for (const auto& [label, name] :
       {std::pair{LOssz, "LOssz"}, std::pair{LHelyes, "LHelyes"}, std::pair{LHibas, "LHibas"},
        std::pair{LIdo, "LIdo"}, std::pair{LSebesseg, "LSebesseg"},
        std::pair{LSzazalek, "LSzazalek"}}) {
    label->setObjectName(QLatin1String(name));
  }
  LIdo->setText(QStringLiteral("0:0"));
  LSzazalek->setText(QStringLiteral("0%"));
  const std::pair<QString, QLabel*> rows[] = {{QStringLiteral("Összes betű"), LOssz},
                                              {QStringLiteral("Helyes leütések"), LHelyes},
                                              {QStringLiteral("Hibás leütések"), LHibas},
                                              {QStringLiteral("Idő"), LIdo},
                                              {QStringLiteral("Leütés/perc"), LSebesseg}};
  for (const auto& [caption, value] : rows) {
    layout->addWidget(CaptionLabel(caption, column));
    layout->addWidget(new LabelHolder(value));
    layout->addSpacing(7);
  }
  layout->addWidget(new LabelHolder(LSzazalek));
  layout->addStretch(1);
  auto* picture =
      new SvgPictureBox(QStringLiteral(":/images/billentyu.svg"), QSize(78, 163), column);
  picture->setObjectName(QStringLiteral("Image1"));
  layout->addWidget(picture);
  return column;
}

void Tfrm_Main::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(true);
  const int widths[] = {70, 250, 0};
  for (int i = 0; i < 3; ++i) {
    StatusPanels[i] = i == 0 ? new CounterLabel(bar) : new QLabel(bar);
    StatusPanels[i]->setTextFormat(Qt::PlainText);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    StatusPanels[i]->setFrameShape(QFrame::StyledPanel);
    StatusPanels[i]->setFrameShadow(QFrame::Sunken);
    if (widths[i] > 0) StatusPanels[i]->setFixedWidth(widths[i]);
  }
  bar->addWidget(new LabelHolder(StatusPanels[0]));  // the caret position, new at every key
  bar->addWidget(StatusPanels[1]);
  bar->addWidget(StatusPanels[2], 1);
}

// ---- creation, showing, closing -------------------------------------------------------------

// The data and lesson folders, then the settings; before the window is built.
void Tfrm_Main::PrepareFolders() {
  StartupValues& startup = Startup();
  PrepareDataFolder(startup);
  PrepareLessonFolder(startup.DataDir, BundleDir());
  ReadSettings(SettingsIni(), BundleDir(), Beall);
}

void Tfrm_Main::FormCreate() {
  QPalette hints = QToolTip::palette();
  hints.setColor(QPalette::ToolTipBase, ColorFromValue(kHintColor));
  QToolTip::setPalette(hints);
  ApplyPaneLook();
  FillLessonChooser();
  SetErrorSound();
  if (ReadKeyboardShown(SettingsIni())) SetKeyboardShown(true);
}

void Tfrm_Main::FillLessonChooser() {
  for (const LessonName& lesson : SortedLessons(Startup().DataDir)) {
    ComboBox1->addItem(lesson.shown, LessonItemData(lesson));
  }
  ComboBox1->setCurrentIndex(-1);
}

void Tfrm_Main::ApplyPaneLook() {
  const PaneLook look = LookFromSettings(Beall);
  const QFont font = PaneFont(look);
  for (TextPane* pane : {SynEdit1, SynEdit2}) {
    pane->SetPaneFont(font);
    pane->SetFontColor(ColorFromValue(look.FontColor));
    pane->SetActiveLineColor(ColorFromValue(look.ActiveLineColor));
    pane->SetSelectedColor(ColorFromValue(look.SelectedColor));
    pane->SetBackgroundColor(ColorFromValue(look.BkColor));
  }
}

void Tfrm_Main::SaveSettings() {
  const QFont font = SynEdit1->PaneFont();
  PaneLook look;
  look.FontName = FromQ(font.family());
  look.FontSize = font.pointSize();
  look.Bold = font.bold();
  look.Italic = font.italic();
  look.Underline = font.underline();
  look.StrikeOut = font.strikeOut();
  look.FontColor = ValueFromColor(SynEdit1->FontColor(), {Beall.FontColor, kDefaultFontColor});
  look.ActiveLineColor =
      ValueFromColor(SynEdit1->ActiveLineColor(), {Beall.ActiveLineColor, kDefaultActiveLineColor});
  look.SelectedColor =
      ValueFromColor(SynEdit1->SelectedColor(), {Beall.SelectedColor, kDefaultSelectedColor});
  look.BkColor = ValueFromColor(SynEdit1->BackgroundColor(), {Beall.BkColor, kDefaultBkColor});
  IniFile ini = SettingsIni();
  WriteSettings(ini, Beall, look);
  WriteKeyboardShown(ini, Billentyuzet != nullptr);
}

void Tfrm_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!form_.Show([this] { FormShow(); })) return;
  WhenOnScreen(*this, kOnScreenDeadline, [this] {
    Guarded([this] { FormShown(); });
    started_ = true;
    emit started();
  });
}

void Tfrm_Main::FormShow() {
  UpdateCounters();
  ShowSpeed();
}

// The rest of the first showing, once the window stands complete on the screen: a lesson named
// on the command line may take seconds to read, and the splash and the program's icon (drawn from
// its picture in several sizes) come after the window itself.
void Tfrm_Main::FormShown() {
  QApplication::setWindowIcon(AppIcon());
  if (!arguments_.isEmpty()) {
    std::error_code ec;
    if (fs::is_regular_file(ToPath(arguments_.front()), ec)) LoadLesson(arguments_.front());
  }
  SynEdit1->setFocus();
  ShowSplash();
}

void Tfrm_Main::closeEvent(QCloseEvent* event) {
  Timer1->stop();
  // The window closes even when its settings cannot be saved; the user has seen the error.
  Guarded([this] { FormClose(); });
  event->accept();
}

void Tfrm_Main::FormClose() {
  form_.Close();
  SaveSettings();
}

// ---- exercise ---------------------------------------------------------------------------------

void Tfrm_Main::LoadLesson(const QString& path) {
  LoadLessonFile(ToPath(path));
}

void Tfrm_Main::LoadLessonFile(const fs::path& path) {
  const BusyCursor busy;  // a big lesson takes seconds to read and lay out
  Lesson lesson = ReadLessonFile(path);
  Panel4->setText(QStringLiteral("Pekto : ") + ToQ(lesson.title));
  session_->Start(std::move(lesson));
  ShowNextKey();
  if (!Timer1->isActive()) Timer1->start();
  UpdateCounters();
  ShowSpeed();
  SetLastLesson(Beall, path);
  SetExerciseCommands(true);
  StatusPanels[2]->setText(QStringLiteral("Lecke: ") + ToQ(State().LessonTitle));
}

void Tfrm_Main::SetExerciseCommands(bool running) {
  aBefejez->setEnabled(running);
  aBefejez->setVisible(running);
  aMegnyit->setEnabled(!running);
  aMegnyit->setVisible(!running);
}

void Tfrm_Main::FormKeyPress(unsigned char ch) {
  if (focusWidget() == SynEdit1) session_->Type(ch);
}

// The error sound as the settings say, from the next wrong key on.
void Tfrm_Main::SetErrorSound() {
  session_->SetErrorSound(Beall.Sound, FromPath(PathFromCp1250(Beall.SoundFile)));
}

void Tfrm_Main::SoundFailed(const QString& reason) {
  Beall.Sound = false;
  ShowError(QStringLiteral("Sérült hangfile, hanglejátszás leállítva\r\n") + reason, this);
}

void Tfrm_Main::UpdateCounters() {
  const ExerciseState& s = State();
  LOssz->setText(QString::number(s.TotalLetters));
  LHelyes->setText(QString::number(s.CorrectCount));
  LHibas->setText(QString::number(s.WrongCount));
  LSzazalek->setText(
      QString::fromStdString(PercentText(s.TotalLetters, s.CorrectCount, s.WrongCount)));
  LIdo->setText(QString::fromStdString(TimeText(s.ElapsedSeconds)));
}

// Changes once a second at most: the clock's tick writes it, not the keys.
void Tfrm_Main::ShowSpeed() {
  const ExerciseState& s = State();
  LSebesseg->setText(QString::number(PerMinute(s.CorrectCount + s.WrongCount, s.ElapsedSeconds)));
}

void Tfrm_Main::Timer1Timer() {
  session_->Tick();
}

void Tfrm_Main::SetClock(Exercise::Clock clock) {
  session_->SetClock(std::move(clock));
}

void Tfrm_Main::FinishExercise() {
  Timer1->stop();
  ShowSpeed();  // the figure the evaluation shows
  const ExerciseState& s = State();
  if (showEvaluation_) {
    showEvaluation_(s.LessonTitle, s.TotalLetters, s.CorrectCount, s.WrongCount, s.ElapsedSeconds);
  } else {
    ShowEvaluation(s.LessonTitle, s.TotalLetters, s.CorrectCount, s.WrongCount, s.ElapsedSeconds,
                   this, session_->Keys().Tallies(), LastLessonPath(Beall));
  }
  session_->Stop();
  ShowNextKey();
  SynEdit2->Clear();
  SetExerciseCommands(false);
  StartOfferedDrill();
}

// A drill lesson the results window's statistics saved starts once that window has closed.
void Tfrm_Main::StartOfferedDrill() {
  if (const auto drill = TakeOfferedDrill()) LoadLessonFile(*drill);
}

// ---- events -------------------------------------------------------------------------------------

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event) {
  const bool pane = watched == SynEdit1 || watched == SynEdit2;
  if (watched == SynEdit1 && event->type() == QEvent::KeyPress) {
    // Key preview: the window judges every typed character before the pane sees it.
    const auto* key = static_cast<QKeyEvent*>(event);
    for (const char ch : TypedCharacters(key->key(), key->modifiers(), key->text())) {
      Guarded([&] { FormKeyPress(static_cast<unsigned char>(ch)); });
    }
  } else if (pane && event->type() == QEvent::InputMethod) {
    // Dead keys and compose sequences arrive as input-method text: typed characters like any
    // other, and never an edit of either pane.
    const auto* input = static_cast<QInputMethodEvent*>(event);
    if (watched == SynEdit1) {
      for (const char ch : FromQ(input->commitString())) {
        Guarded([&] { FormKeyPress(static_cast<unsigned char>(ch)); });
      }
    }
    return true;
  } else if (watched == SynEdit2 && event->type() == QEvent::FocusOut) {
    // Whatever the mouse or keyboard selected in the lesson pane, the highlight shows the
    // expected character again once the pane hands the focus back.
    session_->HighlightTarget();
  } else if (watched == Panel6 && event->type() == QEvent::Resize) {
    FormResize();
  }
  return QMainWindow::eventFilter(watched, event);
}

bool Tfrm_Main::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowAppHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void Tfrm_Main::ShowAppHint(const QString& hint) {
  StatusPanels[1]->setText(hint);
}

void Tfrm_Main::FormResize() {
  const int height = Panel6->height();
  const int upper = height / 2;
  Splitter1->setSizes({upper, std::max(0, height - upper - Splitter1->handleWidth())});
}

void Tfrm_Main::ComboBox1Change(int index) {
  const fs::path path = LessonOfItem(Startup().DataDir, ComboBox1->itemData(index));
  std::error_code ec;
  // A lesson that cannot be read (a FIFO or a device among them) is reported and leaves the
  // focus where it is; a file removed since start-up loads nothing and the focus still goes to
  // the typing pane.
  if (fs::exists(path, ec)) LoadLessonFile(path);
  SynEdit1->setFocus();
}

void Tfrm_Main::SynEdit1Click() {
  session_->CaretToEnd();
}

void Tfrm_Main::SynEdit2Click() {
  SynEdit1->setFocus();
  session_->HighlightTarget();
}

// The keyboard takes two fifths of the practice panes' column; without it the column is the
// splitter alone, as it always was.
void Tfrm_Main::SetKeyboardShown(bool shown) {
  auto* stack = static_cast<QVBoxLayout*>(Panel6->layout());
  if (shown && Billentyuzet == nullptr) {
    Billentyuzet = new PracticeKeyboard(Keyboard::Load(KeyboardFile(BundleDir())), Panel6);
    stack->addWidget(Billentyuzet, 2);
    stack->setStretchFactor(Splitter1, 3);
    Billentyuzet->show();  // now, not once the layout's queued call comes
    connect(session_, &TypingSession::keyJudged, Billentyuzet, [this] { ShowNextKey(); });
    connect(session_, &TypingSession::wrongKey, Billentyuzet, &PracticeKeyboard::FlashWrong);
    ShowNextKey();
  } else if (!shown && Billentyuzet != nullptr) {
    delete std::exchange(Billentyuzet, nullptr);
    stack->setStretchFactor(Splitter1, 0);
  }
  aBillentyuzet->setChecked(Billentyuzet != nullptr);
  stack->activate();
  FormResize();
}

void Tfrm_Main::ShowNextKey() {
  if (Billentyuzet != nullptr) Billentyuzet->ShowNext(session_->NextCharacter());
}

void Tfrm_Main::SetScreenFontSize(int32_t size) {
  Beall.ScreenFontSize = size;
  setFont(ScreenFont(font()));
  ComboBox1->setFont(ScreenFont(ComboBox1->font()));
}

// ---- commands -----------------------------------------------------------------------------------

void Tfrm_Main::aMegnyitExecute() {
  const auto picked = PickLesson(Beall.LastFile, this);
  // A lesson that cannot be read is reported and leaves the focus where it is.
  if (picked) LoadLessonFile(*picked);
  SynEdit1->setFocus();
}

void Tfrm_Main::aUjExecute() {
  EditLesson("", this);
}

void Tfrm_Main::aSzerkesztExecute() {
  EditLessonFile(LastLessonPath(Beall), this);
}

void Tfrm_Main::aBefejezExecute() {
  FinishExercise();
}
void Tfrm_Main::aTop10Execute() {
  ShowResults("", -1, this);
  StartOfferedDrill();
}
void Tfrm_Main::aStatisztikaExecute() {
  if (const auto drill = ShowStatisticsAndSaveDrill(Beall.LastPlayer, this)) LoadLessonFile(*drill);
}
void Tfrm_Main::aGyakorloExecute() {
  if (const auto drill = SaveWeakKeyDrill(Beall.LastPlayer, this)) LoadLessonFile(*drill);
}
void Tfrm_Main::aOsszesitoExecute() {
  ShowClassOverview(this);
}
void Tfrm_Main::aBezarExecute() {
  close();
}

void Tfrm_Main::aBetuNovelExecute() {
  if (Beall.ScreenFontSize >= 10) return;
  SetScreenFontSize(Beall.ScreenFontSize + 1);
}

void Tfrm_Main::aBetuCsokkentExecute() {
  if (Beall.ScreenFontSize <= 8) return;
  SetScreenFontSize(Beall.ScreenFontSize - 1);
}

void Tfrm_Main::aBetuTipusExecute() {
  const QFont current = SynEdit1->PaneFont();
  QFontDialog dialog(FontForDialog(current), this);
  dialog.setObjectName(QStringLiteral("FontDialog1"));
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  const QFont chosen = FontFromDialog(current, dialog.selectedFont());
  if (chosen == current) return;
  for (TextPane* pane : {SynEdit1, SynEdit2}) pane->SetPaneFont(chosen);
}

void Tfrm_Main::aBillentyuzetExecute() {
  const bool shown = aBillentyuzet->isChecked();
  aBillentyuzet->setChecked(!shown);  // until it is there: a keyboard file may be missing
  SetKeyboardShown(shown);
}

void Tfrm_Main::aBeallitExecute() {
  if (ShowSettingsDialog(*SynEdit1, *SynEdit2, this)) SetErrorSound();
}

void Tfrm_Main::aSugoExecute() {
  LaunchFile(BundleDir() / "Help" / "index.htm", QStringLiteral("A súgó"));
}

void Tfrm_Main::aLevelExecute() {
  LaunchExternal(QStringLiteral("mailto:") + kMakerMail + QStringLiteral("?subject=Pekto"));
}

void Tfrm_Main::aHonlapExecute() {
  LaunchExternal(kMakerWeb);
}

void Tfrm_Main::aUjdonsagExecute() {
  LaunchFile(Startup().ProgramDir / "Ujdonsag.exe", QStringLiteral("Az újdonságok programja"));
}

void Tfrm_Main::aReadMeExecute() {
  ShowReadme(this);
}

void Tfrm_Main::aNevjegyExecute() {
  ShowAbout(this);
}

void Tfrm_Main::LaunchExternal(const QString& target) {
  if (!ShellOpen(target, Startup().ProgramDir)) ShowError(NoOpenerMessage(target), this);
}

void Tfrm_Main::LaunchFile(const fs::path& file, const QString& what) {
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    ShowError(what + QStringLiteral(" nem található: hiányzik a(z) \"") + FromPath(file) +
                  QStringLiteral("\" fájl."),
              this);
    return;
  }
  LaunchExternal(FromPath(file));
}

}  // namespace pekto
