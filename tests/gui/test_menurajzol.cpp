// SPDX-License-Identifier: GPL-3.0-or-later
// The flat menu style: menus grabbed as pictures show the fills, frames, separator lines, texts,
// shortcuts, pictures and bullets where the painters put them, in the main window, the results
// window and menus of our own; drop-down items are larger by 40 x 4; applying twice changes
// nothing.

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>
#include <functional>
#include <vector>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/MenuRajzol.h"
#include "base/Settings.h"
#include "platform/Colors.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/Top10.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

const QColor kFill(222, 222, 222);
const QColor kTan(0xDE, 0xAA, 0x8D);  // $8DAADE
const QColor kFrame(128, 128, 128);
const QColor kSeparator(162, 162, 162);
const QColor kRed(200, 30, 30), kBlue(30, 30, 200), kGreen(30, 200, 30);

QColor MenuText() {
  return ColorFromValue(kClMenuText);
}
QColor ButtonFace() {
  return ColorFromValue(kClBtnFace);
}

// An opaque 16 x 16 picture: red, with a blue top-left and a green bottom-right pixel.
QIcon Picture() {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(kRed);
  image.setPixelColor(0, 0, kBlue);
  image.setPixelColor(15, 15, kGreen);
  return QIcon(QPixmap::fromImage(image));
}

QImage Grab(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString At(const QImage& image, int x, int y) {
  return image.pixelColor(x, y).name();
}

// A text drawn the way the painters draw it, with its cell's top-left corner at `at`.
struct Text {
  QString text;
  QPoint at;
  QColor color;
};

// How `area` of a widget of `size` must look: `fill` over the area, then the texts in `font`.
QImage Expected(QSize size, QRect area, QColor fill, const QFont& font,
                const std::vector<Text>& texts,
                const std::function<void(QPainter&)>& more = nullptr) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.fillRect(area, fill);
  if (more) more(painter);
  painter.setFont(font);
  for (const Text& t : texts) {
    painter.setPen(t.color);
    painter.drawText(QPoint(t.at.x(), t.at.y() + painter.fontMetrics().ascent()), t.text);
  }
  painter.end();
  return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

// The first pixel of `area` where the two pictures differ, or an empty text.
QString FirstDifference(const QImage& actual, const QImage& expected, QRect area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (actual.pixel(x, y) != expected.pixel(x, y)) {
        return QStringLiteral("(%1, %2): %3 instead of %4")
            .arg(x)
            .arg(y)
            .arg(actual.pixelColor(x, y).name(), expected.pixelColor(x, y).name());
      }
    }
  }
  return {};
}

// The darkest channel value in `area`: 0 for black text, 128 for $808080 text on $DEDEDE.
int Darkest(const QImage& image, QRect area) {
  int darkest = 255;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      darkest = std::min({darkest, c.red(), c.green(), c.blue()});
    }
  }
  return darkest;
}

bool Contains(const QImage& image, QRect area, const QColor& color) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == color) return true;
    }
  }
  return false;
}

QMenu* OpenMenu(QMenuBar* bar, int index) {
  QAction* title = bar->actions().at(index);
  bar->setActiveAction(title);
  QMenu* menu = title->menu();
  if (!QTest::qWaitForWindowExposed(menu)) qWarning("menu not shown");
  return menu;
}

// A window of our own with a menu bar whose first menu has every kind of item.
struct OwnWindow {
  QMainWindow window;
  QMenu* menu = nullptr;
  QAction* open = nullptr;
  QAction* separator = nullptr;
  QAction* disabled = nullptr;
  QAction* checked = nullptr;
  QAction* plain = nullptr;
  QAction* quit = nullptr;

  OwnWindow() {
    window.resize(400, 300);
    menu = window.menuBar()->addMenu(QStringLiteral("&Fájl"));
    window.menuBar()->addMenu(QStringLiteral("&Nézet"))->addAction(QStringLiteral("Nagyítás"));
    open = menu->addAction(Picture(), QStringLiteral("&Megnyitás"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    separator = menu->addSeparator();
    disabled = menu->addAction(Picture(), QStringLiteral("&Tiltott"));
    disabled->setEnabled(false);
    checked = menu->addAction(Picture(), QStringLiteral("&Bejelölt"));
    checked->setCheckable(true);
    checked->setChecked(true);
    plain = menu->addAction(QStringLiteral("Egyszerű && más"));
    quit = menu->addAction(QStringLiteral("&Kilépés"));
    quit->setShortcut(QKeySequence(Qt::Key_Escape));
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
  }
};

}  // namespace

class MenuRajzolTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_;

  std::unique_ptr<Tfrm_Main> OpenMain() {
    run_.Reset();
    return test::ShowMain();
  }

  // Where a drop-down item differs from the picture its texts must make on the plain fill.
  static QString ItemTextDifference(QMenu* menu, QAction* action, const QString& caption,
                                    const QString& shortcut) {
    const QRect r = menu->actionGeometry(action);
    const QImage actual = Grab(menu);
    const QFontMetrics metrics(menu->font());
    std::vector<Text> texts{{caption, {r.left() + 22, r.top() + 4}, MenuText()}};
    if (!shortcut.isEmpty()) {
      const int right = r.left() + r.width();  // just outside the item
      texts.push_back(
          {shortcut, {right - metrics.horizontalAdvance(shortcut) - 4, r.top() + 4}, MenuText()});
    }
    const QImage expected = Expected(menu->size(), r, kFill, menu->font(), texts);
    // Everything right of the picture column, down to the item's last row.
    const QRect area(r.left() + 20, r.top(), r.width() - 20, r.height());
    return FirstDifference(actual, expected, area);
  }

 private slots:
  void initTestCase() { run_.Reset(); }

  void removeAllDropsEveryAmpersand() {
    QCOMPARE(ToQ(RemoveAll("&", FromQ(QStringLiteral("&Fájl && mentés")))),
             QStringLiteral("Fájl  mentés"));
    QCOMPARE(InsetRect({0, 0, 10, 8}), (MenuRect{1, 1, 9, 7}));
  }

  void mainMenuItemsShowTheirShortcutAtTheRight() {
    auto w = OpenMain();
    auto* bar = test::Find<QMenuBar>(w, "MainMenu1");
    QMenu* lessons = OpenMenu(bar, 0);
    QCOMPARE(lessons->style(), bar->style());
    QVERIFY(lessons->style() != QApplication::style());
    QCOMPARE(ItemTextDifference(lessons, test::Find<QAction>(w, "aMegnyit"),
                                QStringLiteral("Lecke megnyitása"), QStringLiteral("Ctrl+O")),
             QString());
    QCOMPARE(
        ItemTextDifference(lessons, test::Find<QAction>(w, "aTop10"), QStringLiteral("Top10"), {}),
        QString());
    QCOMPARE(ItemTextDifference(lessons, test::Find<QAction>(w, "aUj"),
                                QStringLiteral("Új lecke készítése"), QStringLiteral("Ctrl+N")),
             QString());
    QMenu* view = OpenMenu(bar, 1);
    QCOMPARE(ItemTextDifference(view, test::Find<QAction>(w, "aBetuNovel"),
                                QStringLiteral("Betűméret növelése"), QStringLiteral("F11")),
             QString());
    QMenu* help = OpenMenu(bar, 3);
    QCOMPARE(ItemTextDifference(help, test::Find<QAction>(w, "aNevjegy"), QStringLiteral("Névjegy"),
                                QStringLiteral("Alt+F1")),
             QString());
    help->hide();
  }

  void mainMenuSeparatorsAndPictures() {
    auto w = OpenMain();
    QMenu* lessons = OpenMenu(test::Find<QMenuBar>(w, "MainMenu1"), 0);
    const QImage image = Grab(lessons);
    int separators = 0;
    for (QAction* action : lessons->actions()) {
      const QRect r = lessons->actionGeometry(action);
      if (!action->isSeparator() || r.isEmpty()) continue;  // one collapses with "Befejeztem"
      ++separators;
      const int middle = r.top() + r.height() / 2;
      QCOMPARE(At(image, r.left() + 1, middle), kFill.name());
      QCOMPARE(At(image, r.left() + 2, middle), kSeparator.name());
      QCOMPARE(At(image, r.center().x(), middle), kSeparator.name());
      QCOMPARE(At(image, r.right() - 2, middle), kSeparator.name());
      QCOMPARE(At(image, r.right() - 1, middle), kFill.name());
      QCOMPARE(At(image, r.center().x(), middle - 1), kFill.name());
      QCOMPARE(At(image, r.center().x(), middle + 1), kFill.name());
      QCOMPARE(At(image, r.left(), r.top()), kFill.name());
      QCOMPARE(At(image, r.right(), r.bottom()), kFill.name());
    }
    QCOMPARE(separators, 3);
    // The command pictures lie at Left + 2, Top + 2, in colour.
    const QRect open = lessons->actionGeometry(test::Find<QAction>(w, "aMegnyit"));
    bool coloured = false;
    for (int y = open.top() + 2; y < open.top() + 18; ++y) {
      for (int x = open.left() + 2; x < open.left() + 18; ++x) {
        const QColor c = image.pixelColor(x, y);
        coloured = coloured || c.saturation() > 60;
      }
    }
    QVERIFY(coloured);
    QCOMPARE(At(image, open.left() + 1, open.top() + 1), kFill.name());
    lessons->hide();
  }

  void menuBarItemsAreInsetByTwoWhenOpen() {
    auto w = OpenMain();
    auto* bar = test::Find<QMenuBar>(w, "MainMenu1");
    const QStringList captions{QStringLiteral("Leckék"), QStringLiteral("Nézet"),
                               QStringLiteral("Rendszer"), QStringLiteral("Súgó")};
    for (int open = 0; open < 4; ++open) {
      QMenu* menu = OpenMenu(bar, open);
      const QImage image = Grab(bar);
      for (int i = 0; i < 4; ++i) {
        const QRect r = bar->actionGeometry(bar->actions().at(i));
        // The caption ends as far from the item's right as it starts from its left.
        QVERIFY(r.width() >= 7 + QFontMetrics(bar->font()).horizontalAdvance(captions[i]) + 7);
        const std::vector<Text> texts{{captions[i], {r.left() + 7, r.top() + 3}, MenuText()}};
        const QImage expected = i == open
                                    ? Expected(bar->size(), r, ButtonFace(), bar->font(), texts,
                                               [&](QPainter& p) {
                                                 const QRect inner = r.adjusted(2, 2, -2, -2);
                                                 p.fillRect(inner, kFrame);
                                                 p.fillRect(inner.adjusted(1, 1, -1, -1), kTan);
                                               })
                                    : Expected(bar->size(), r, ButtonFace(), bar->font(), texts);
        QCOMPARE(FirstDifference(image, expected, r), QString());
      }
      menu->hide();
    }
  }

  // Grey while a dialog has the activation, black once the window has it back, as the screen
  // shows the window (grab() would paint it anew).
  void menuBarTitlesTurnBlackAgainWhenADialogCloses() {
    auto w = OpenMain();
    auto* bar = test::Find<QMenuBar>(w, "MainMenu1");
    const QRect title = bar->actionGeometry(bar->actions().at(0)).translated(bar->pos());
    const auto shade = [&] {
      return Darkest(w->screen()->grabWindow(w->winId()).toImage(), title);
    };
    bool grey = false;
    test::DialogAnswers answers;
    answers.Then([&](QDialog& dialog) {
      dialog.activateWindow();
      grey = QTest::qWaitFor([&] { return shade() == ColorFromValue(kClGrayText).red(); });
      dialog.reject();
    });
    test::Find<QAction>(w, "aNevjegy")->trigger();
    QVERIFY(grey);
    w->activateWindow();  // as the window manager does
    QTRY_COMPARE(shade(), MenuText().red());
  }

  void menuBarItemUnderThePointerIsHighlighted() {
    auto w = OpenMain();
    auto* bar = test::Find<QMenuBar>(w, "MainMenu1");
    const QRect r = bar->actionGeometry(bar->actions().at(2));
    // The pointer moving over "Rendszer" without a button down.
    QMouseEvent move(QEvent::MouseMove, QPointF(r.center()), QPointF(bar->mapToGlobal(r.center())),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTRY_COMPARE(bar->activeAction(), bar->actions().at(2));
    QVERIFY(!bar->actions().at(2)->menu()->isVisible());
    const QImage image = Grab(bar);
    QCOMPARE(At(image, r.left() + 1, r.top() + 1), ButtonFace().name());
    QCOMPARE(At(image, r.left() + 2, r.top() + 2), kFrame.name());
    QCOMPARE(At(image, r.right() - 2, r.bottom() - 2), kFrame.name());
    QCOMPARE(At(image, r.right() - 1, r.bottom() - 1), ButtonFace().name());
    QCOMPARE(At(image, r.left() + 3, r.top() + 3), kTan.name());
    const QRect other = bar->actionGeometry(bar->actions().at(0));
    QCOMPARE(At(image, other.left() + 3, other.top() + 3), ButtonFace().name());
  }

  void selectedItemIsTanInAFrameWithItsPictureUpAndLeft() {
    OwnWindow own;
    ApplyMenuStyle(own.window);
    QMenu* menu = OpenMenu(own.window.menuBar(), 0);
    const QRect r = menu->actionGeometry(own.open);
    QImage image = Grab(menu);
    QCOMPARE(At(image, r.left() + 1, r.top() + 1), kFill.name());
    QCOMPARE(At(image, r.left() + 2, r.top() + 2), kBlue.name());
    QCOMPARE(At(image, r.left() + 17, r.top() + 17), kGreen.name());
    QCOMPARE(At(image, r.left() + 18, r.top() + 18), kFill.name());

    menu->setActiveAction(own.open);
    image = Grab(menu);
    QCOMPARE(At(image, r.left(), r.top()), kFrame.name());
    QCOMPARE(At(image, r.right(), r.top()), kFrame.name());
    QCOMPARE(At(image, r.left(), r.bottom()), kFrame.name());
    QCOMPARE(At(image, r.right(), r.bottom()), kFrame.name());
    QCOMPARE(At(image, r.right() - 1, r.top() + 1), kTan.name());
    QCOMPARE(At(image, r.right() - 1, r.bottom() - 1), kTan.name());
    QCOMPARE(At(image, r.left() + 1, r.top() + 1), kBlue.name());
    QCOMPARE(At(image, r.left() + 16, r.top() + 16), kGreen.name());
    QCOMPARE(At(image, r.left() + 17, r.top() + 17), kTan.name());
    // The text in the highlight-text colour at the same place.
    const QColor text = ColorFromValue(kClHighlightText);
    const QFontMetrics metrics(menu->font());
    const int right = r.left() + r.width();
    const QImage expected =
        Expected(menu->size(), r, kTan, menu->font(),
                 {{QStringLiteral("Megnyitás"), {r.left() + 22, r.top() + 4}, text},
                  {QStringLiteral("Ctrl+O"),
                   {right - metrics.horizontalAdvance(QStringLiteral("Ctrl+O")) - 4, r.top() + 4},
                   text}});
    QCOMPARE(FirstDifference(image, expected, r.adjusted(20, 1, -1, -1)), QString());
    menu->hide();
  }

  void disabledItemHasGreyTextAndAColourPicture() {
    OwnWindow own;
    ApplyMenuStyle(own.window);
    QMenu* menu = OpenMenu(own.window.menuBar(), 0);
    const QRect r = menu->actionGeometry(own.disabled);
    const QImage image = Grab(menu);
    QCOMPARE(At(image, r.left() + 2, r.top() + 2), kBlue.name());
    QCOMPARE(At(image, r.left() + 10, r.top() + 10), kRed.name());
    QCOMPARE(At(image, r.left() + 17, r.top() + 17), kGreen.name());
    const QImage expected =
        Expected(menu->size(), r, kFill, menu->font(),
                 {{QStringLiteral("Tiltott"), {r.left() + 22, r.top() + 4}, kFrame}});
    QCOMPARE(FirstDifference(image, expected, r.adjusted(20, 0, 0, 0)), QString());
    QCOMPARE(Darkest(image, r.adjusted(20, 0, 0, 0)), 128);
    QCOMPARE(Darkest(image, menu->actionGeometry(own.plain).adjusted(20, 0, 0, 0)),
             std::min({MenuText().red(), MenuText().green(), MenuText().blue()}));
    menu->hide();
  }

  void checkedItemHasTheBulletAndNoPicture() {
    OwnWindow own;
    ApplyMenuStyle(own.window);
    QMenu* menu = OpenMenu(own.window.menuBar(), 0);
    const QRect r = menu->actionGeometry(own.checked);
    const QImage image = Grab(menu);
    QVERIFY(!Contains(image, r, kRed));
    QVERIFY(!Contains(image, r, kBlue));
    QCOMPARE(At(image, r.left() + 2, r.top() + 2), kFill.name());
    // A dark round mark right of Left + 8, below Top + 5, clear of the text at Left + 22.
    const QRect bullet(r.left() + 8, r.top() + 5, 13, r.height() - 5);
    QVERIFY(Darkest(image, bullet) < 60);
    QCOMPARE(Darkest(image, QRect(r.left(), r.top(), 8, r.height())), 222);
    QCOMPARE(Darkest(image, QRect(r.left(), r.top(), r.width(), 5)), 222);
    const QImage expected =
        Expected(menu->size(), r, kFill, menu->font(),
                 {{QStringLiteral("Bejelölt"), {r.left() + 22, r.top() + 4}, MenuText()}});
    QCOMPARE(FirstDifference(image, expected, r.adjusted(21, 0, 0, 0)), QString());
    menu->hide();
  }

  void itemsWithoutPicturesKeepTheIndentAndLoseEveryAmpersand() {
    OwnWindow own;
    ApplyMenuStyle(own.window);
    QMenu* menu = OpenMenu(own.window.menuBar(), 0);
    QCOMPARE(ItemTextDifference(menu, own.plain, QStringLiteral("Egyszerű  más"), {}), QString());
    QCOMPARE(ItemTextDifference(menu, own.quit, QStringLiteral("Kilépés"), QStringLiteral("Esc")),
             QString());
    const QImage image = Grab(menu);
    const QRect r = menu->actionGeometry(own.plain);
    QCOMPARE(Darkest(image, QRect(r.left(), r.top(), 21, r.height())), 222);
    menu->hide();
  }

  void dropDownItemsAreLargerBy40And4() {
    OwnWindow own;
    QMenu* menu = own.menu;
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    std::vector<QSize> before;
    for (QAction* action : menu->actions()) before.push_back(menu->actionGeometry(action).size());
    const QRect barItem = own.window.menuBar()->actionGeometry(own.menu->menuAction());
    menu->hide();
    ApplyMenuStyle(own.window);
    menu->popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (int i = 0; i < static_cast<int>(before.size()); ++i) {
      const QSize after = menu->actionGeometry(menu->actions().at(i)).size();
      QCOMPARE(after, before[i] + QSize(40, 4));
    }
    // Menu-bar items keep their height and are only as much wider as the caption's margins
    // need.
    const QSize bar = own.window.menuBar()->actionGeometry(own.menu->menuAction()).size();
    QCOMPARE(bar.height(), barItem.height());
    const int caption =
        QFontMetrics(own.window.menuBar()->font()).horizontalAdvance(QStringLiteral("Fájl"));
    QCOMPARE(bar.width(), std::max(barItem.width(), 7 + caption + 7));
    menu->hide();
  }

  void applyingTwiceChangesNothing() {
    auto w = OpenMain();
    auto* bar = test::Find<QMenuBar>(w, "MainMenu1");
    QMenu* lessons = OpenMenu(bar, 0);
    const QImage menuBefore = Grab(lessons);
    const QSize sizeBefore = lessons->size();
    lessons->hide();
    const QImage barBefore = Grab(bar);
    QStyle* style = bar->style();
    ApplyMenuStyle(*w);
    ApplyMenuStyle(*w);
    QCOMPARE(bar->style(), style);
    for (QMenu* menu : w->findChildren<QMenu*>()) QCOMPARE(menu->style(), style);
    QVERIFY(qobject_cast<QProxyStyle*>(style) != nullptr);
    QCOMPARE(qobject_cast<QProxyStyle*>(style)->baseStyle()->inherits("QProxyStyle"), false);
    QCOMPARE(Grab(bar), barBefore);
    lessons = OpenMenu(bar, 0);
    QCOMPARE(lessons->size(), sizeBefore);
    QCOMPARE(Grab(lessons), menuBefore);
    lessons->hide();
    // Another window shares the one style.
    OwnWindow own;
    ApplyMenuStyle(own.window);
    QCOMPARE(own.menu->style(), style);
  }

  void restOfTheWindowKeepsItsStyle() {
    auto w = OpenMain();
    QCOMPARE(w->style(), QApplication::style());
    QCOMPARE(test::Find<QWidget>(w, "SynEdit1")->style(), QApplication::style());
    QCOMPARE(test::Find<QWidget>(w, "ComboBox1")->style(), QApplication::style());
  }

  void resultsWindowContextMenuIsStyled() {
    run_.Reset();
    Beall.ScreenFontSize = 8;
    Tfrm_Top10 window(-1, nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* popup = test::Find<QMenu>(&window, "PopupMenu1");
    QVERIFY(popup->style() != QApplication::style());
    popup->popup(window.mapToGlobal(QPoint(40, 40)));
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    const QImage image = Grab(popup);
    for (QAction* action : popup->actions()) {
      const QRect r = popup->actionGeometry(action);
      QCOMPARE(At(image, r.right() - 1, r.top() + 1), kFill.name());
      QCOMPARE(Darkest(image, r.adjusted(22, 4, 0, 0)) < 60, true);  // its caption
    }
    popup->hide();
    window.close();
  }

  void contextMenuMadeLaterInsideAStyledWindowIsStyled() {
    OwnWindow own;
    auto* editor = new QPlainTextEdit(&own.window);
    own.window.setCentralWidget(editor);
    ApplyMenuStyle(own.window);
    // Created on demand after the style was applied, owned by a control of the window.
    auto* context = new QMenu(editor);
    QAction* cut = context->addAction(QStringLiteral("Ki&vágás"));
    context->popup(own.window.mapToGlobal(QPoint(50, 50)));
    QVERIFY(QTest::qWaitForWindowExposed(context));
    QCOMPARE(context->style(), own.menu->style());
    QCOMPARE(ItemTextDifference(context, cut, QStringLiteral("Kivágás"), {}), QString());
    context->hide();
    // A menu of a window that never asked for the style keeps the application's.
    QMainWindow plain;
    auto* other = new QMenu(&plain);
    other->addAction(QStringLiteral("x"));
    other->popup(QPoint(5, 5));
    QVERIFY(QTest::qWaitForWindowExposed(other));
    QCOMPARE(other->style(), QApplication::style());
    other->hide();
  }
};

PEKTO_TEST_MAIN(MenuRajzolTest)

#include "test_menurajzol.moc"
