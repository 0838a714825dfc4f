// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Top10.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/Commands.h"
#include "base/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "platform/QtCollator.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "results/CsvTable.h"
#include "results/Oklevel.h"
#include "results/Osszesito.h"
#include "results/ScoreView.h"
#include "results/Statisztika.h"
#include "results/Top10Model.h"

namespace fs = std::filesystem;

namespace pekto {
namespace {

constexpr int kDesignWidth = 694;
constexpr int kDesignHeight = 510;
constexpr std::string_view kSection = "frm_Top10";
constexpr int kIndicatorWidth = 12;

QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The grid's rows: the text's height and a little room.
int RowHeight(const QFont& font) {
  return QFontMetrics(font).height() + 4;
}

// Sets the height of every row; a change walks all rows, so an equal height is left alone.
void SetRowHeight(QTableView& grid, int height) {
  if (grid.verticalHeader()->defaultSectionSize() != height) {
    grid.verticalHeader()->setDefaultSectionSize(height);
  }
}

// The score schema with the column titles as the fields' labels.
std::vector<FieldSpec> LabelledScoreSchema() {
  std::vector<FieldSpec> fields = ScoreSchema();
  for (size_t column = 0; column < kScoreColumns.size(); ++column) {
    for (FieldSpec& field : fields) {
      if (field.name == kScoreColumns[column].field) {
        field.displayLabel = FromQ(Top10Model::Title(static_cast<int>(column)));
      }
    }
  }
  return fields;
}

// The grid's row indicator: an empty button per row, the current one marked with an arrow.
class RowIndicator : public QHeaderView {
 public:
  explicit RowIndicator(QTableView& grid) : QHeaderView(Qt::Vertical, &grid), grid_(grid) {
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setHighlightSections(false);
  }

  QSize sizeHint() const override {
    return QSize(kIndicatorWidth, QHeaderView::sizeHint().height());
  }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    // The style leaves the painter clipped to nothing after a header button.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != grid_.currentIndex().row()) return;
    const QPointF centre = QRectF(rect).center();
    const QPolygonF arrow{centre + QPointF(-2, -4), centre + QPointF(2, 0),
                          centre + QPointF(-2, 4)};
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    painter->drawPolygon(arrow);
    painter->restore();
  }

 private:
  const QTableView& grid_;
};

// The column titles: buttons that light up under the mouse and go down while pressed, which the
// style does not show by itself.
class TitleHeader : public QHeaderView {
 public:
  explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setAttribute(Qt::WA_Hover);
  }

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const QColor face = option->palette.color(QPalette::Button);
    if (option->state & QStyle::State_Sunken) {
      option->palette.setColor(QPalette::Button, face.darker(115));
    } else if (option->state & QStyle::State_MouseOver) {
      // A light tint of the selection colour, as the platform lights a hot title.
      const QColor tint = option->palette.color(QPalette::Highlight);
      const auto mix = [](int a, int b) { return (a * 3 + b) / 4; };
      option->palette.setColor(QPalette::Button,
                               QColor(mix(face.red(), tint.red()), mix(face.green(), tint.green()),
                                      mix(face.blue(), tint.blue())));
    }
  }
  // A title that can be dragged to another place is not repainted when it is pressed.
  void mousePressEvent(QMouseEvent* event) override {
    QHeaderView::mousePressEvent(event);
    viewport()->update();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    QHeaderView::mouseReleaseEvent(event);
    viewport()->update();
  }
};

}  // namespace

void ShowResults(const std::string& title, int32_t highlightId, QWidget* owner) {
  Tfrm_Top10 window(highlightId, owner);
  window.LoadScores(title);
  ExecDialog(window);
}

// ---- composition ---------------------------------------------------------------------------

Tfrm_Top10::Tfrm_Top10(int32_t highlightId, QWidget* owner)
    : FormDialog(owner, {.section = kSection,
                         .resizable = true,
                         .designSize = {kDesignWidth, kDesignHeight},
                         .menus = true}),
      collator_(std::make_unique<QtCollator>()),
      table_(std::make_unique<CsvTable>("Tbl", LabelledScoreSchema(), collator_.get())),
      printCertificate_(PrintCertificate) {
  setObjectName(QStringLiteral("frm_Top10"));
  setWindowTitle(QStringLiteral("Eredmények"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setFont(PixelFont(QStringLiteral("Tahoma"), 11, false));
  resize(kDesignWidth, kDesignHeight);
  model_ = new Top10Model(*table_, highlightId, this);

  CreateActions();
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(CreateToolBar());
  column->addWidget(CreateLessonBar());
  column->addWidget(CreateGrid(), 1);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  column->addWidget(StatusBar1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addActions({aOklevel, aBezar});
  for (QWidget* source : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(DBGrid1)}) {
    source->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(source, &QWidget::customContextMenuRequested, this,
            [this, source](const QPoint& pos) { ShowPopupMenu(source, pos); });
  }
}

Tfrm_Top10::~Tfrm_Top10() = default;

void Tfrm_Top10::CreateActions() {
  using K = QKeySequence;
  // clang-format off
  AddCommands(*this, {
      {&aOklevel, "aOklevel", QStringLiteral("Oklevél nyomtatás"), "oklevel",
       {K(Qt::CTRL | Qt::Key_P)}, [this] { aOklevelExecute(); }},
      {&aStatisztika, "aStatisztika", QStringLiteral("Statisztika"), "statisztika",
       {K(Qt::Key_F7)}, [this] { aStatisztikaExecute(); }},
      {&aOsszesito, "aOsszesito", QStringLiteral("Csoport összesítő"), "osszesito",
       {K(Qt::CTRL | Qt::Key_G)}, [this] { aOsszesitoExecute(); }},
      {&aBezar, "aBezar", QStringLiteral("Bezár"), "bezar",
       {K(Qt::Key_Escape)}, [this] { aBezarExecute(); }},
      {&aFrissit, "aFrissit", QStringLiteral("Frissít"), nullptr,
       {K(Qt::Key_F5)}, [this] { aFrissitExecute(); }}});
  // clang-format on
}

QToolBar* Tfrm_Top10::CreateToolBar() {
  ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->addActions({aOklevel, aStatisztika, aOsszesito});
  ToolBar1->addSeparator();
  ToolBar1->addAction(aBezar);
  SizeToolButtons();
  return ToolBar1;
}

// The tool buttons are 96 x 36 pixels, or as wide and high as a larger font needs to show the
// whole caption.
void Tfrm_Top10::SizeToolButtons() {
  for (QAction* action : {aOklevel, aStatisztika, aOsszesito, aBezar}) {
    QWidget* button = ToolBar1->widgetForAction(action);
    if (button == nullptr) continue;
    const QFontMetrics metrics(button->font());
    const int width = std::max(96, metrics.horizontalAdvance(action->text()) + 6);
    const int height = std::max(36, ToolBar1->iconSize().height() + metrics.height() + 6);
    button->setFixedSize(width, height);
  }
}

QWidget* Tfrm_Top10::CreateLessonBar() {
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setFixedHeight(32);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(12, 4, 0, 0);
  ComboBox1 = new QComboBox(bar);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(false);
  ComboBox1->setFixedWidth(333);
  row->addWidget(ComboBox1, 0, Qt::AlignTop);
  row->addStretch(1);
  Label1 = new QLabel(QStringLiteral("Top 10  "), bar);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->setFont(PixelFont(QStringLiteral("Arial"), 15, true));
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(Label1);
  // The list's window exists once the list view is asked for; its hiding is the close-up.
  ComboBox1->view()->window()->installEventFilter(this);
  return bar;
}

QTableView* Tfrm_Top10::CreateGrid() {
  DBGrid1 = new QTableView(this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setHorizontalHeader(new TitleHeader(DBGrid1));
  DBGrid1->setVerticalHeader(new RowIndicator(*DBGrid1));
  DBGrid1->setModel(model_);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setShowGrid(true);
  DBGrid1->setWordWrap(false);
  DBGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  DBGrid1->setCornerButtonEnabled(false);
  // The rows take the height of the font the window will show them in before they are loaded.
  SetRowHeight(*DBGrid1, RowHeight(ScreenFont(font())));
  // The selected row stays in the selection colours when the grid loses the focus.
  QPalette palette = DBGrid1->palette();
  for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  DBGrid1->setPalette(palette);

  QHeaderView* titles = DBGrid1->horizontalHeader();
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setSectionsMovable(true);
  titles->setSectionsClickable(true);
  titles->setHighlightSections(false);
  titles->setStretchLastSection(false);
  connect(titles, &QHeaderView::sectionClicked, this,
          [this](int column) { Guarded([&] { DBGrid1TitleClick(column); }); });
  connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { SetCurrentRow(current.row()); });
  DBGrid1->installEventFilter(this);
  return DBGrid1;
}

// ---- the scores ------------------------------------------------------------------------------

void Tfrm_Top10::LoadScores(const std::string& title) {
  table_->Open();
  const fs::path file = Startup().DataDir / "Score.csv";
  std::error_code ec;
  if (fs::exists(file, ec)) table_->LoadFile(file);

  const std::vector<std::string> titles = LessonTitles(*table_);
  QStringList items;
  items.reserve(static_cast<qsizetype>(titles.size()));
  for (const std::string& item : titles) items << ToQ(item);
  ComboBox1->clear();
  ComboBox1->addItems(items);

  table_->MoveFirst();
  table_->SortBy(score_field::kPercent, SortOption::Descending);

  // The lesson's rows hold its title as the table stored it, a long one cut to the field's width.
  std::string shown = StoredTitle(*table_, title);
  std::optional<size_t> selected;
  if (title.empty()) {
    if (!titles.empty()) {
      shown = titles.front();
      selected = 0;
    }
  } else {
    selected = FindTitle(titles, shown);
  }
  ComboBox1->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
  ShowLesson(shown);
}

// Shows the rows of one lesson, in the table's order, the first one selected.
void Tfrm_Top10::ShowLesson(const std::string& title) {
  table_->SetFilterText(LessonFilter(title));
  table_->EnableFilter(true);
  model_->Reload();
  SelectFirstRow();
}

void Tfrm_Top10::SelectFirstRow() {
  DBGrid1->scrollToTop();
  if (model_->rowCount() > 0) DBGrid1->setCurrentIndex(model_->index(0, 0));
}

// The grid's current row is the table's current row.
void Tfrm_Top10::SetCurrentRow(int row) {
  if (row >= 0) table_->MoveTo(static_cast<size_t>(row));
  DBGrid1->verticalHeader()->viewport()->update();
}

// ---- showing, resizing, closing ------------------------------------------------------------

void Tfrm_Top10::FormShow() {
  model_->HighlightColumn(0);
  ComboBox1->setFont(ScreenFont(ComboBox1->font()));
  SetRowHeight(*DBGrid1, RowHeight(DBGrid1->font()));
  SizeToolButtons();
}

bool Tfrm_Top10::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DBGrid1 && event->type() == QEvent::Resize) {
    FormResize();
  } else if (watched == ComboBox1->view()->window() && event->type() == QEvent::Hide) {
    // Picking an item with the keyboard closes the list before the choice is made: look at the
    // drop-down once the event that closed the list is through.
    QTimer::singleShot(0, this, [this] { Guarded([this] { ComboBox1CloseUp(); }); });
  }
  return QDialog::eventFilter(watched, event);
}

// The columns share the grid's width by position, also after the user has moved them.
void Tfrm_Top10::FormResize() {
  const auto widths = ColumnWidths(DBGrid1->width());
  QHeaderView* titles = DBGrid1->horizontalHeader();
  for (int position = 0; position < static_cast<int>(widths.size()); ++position) {
    titles->resizeSection(titles->logicalIndex(position), widths[static_cast<size_t>(position)]);
  }
}

// ---- handlers --------------------------------------------------------------------------------

void Tfrm_Top10::ComboBox1CloseUp() {
  ShowLesson(FromQ(ComboBox1->currentText()));
}

// Sorts by the clicked column: the percentage best first, the others ascending.
void Tfrm_Top10::DBGrid1TitleClick(int column) {
  if (column < 0 || column >= static_cast<int>(kScoreColumns.size())) return;
  model_->HighlightColumn(column);
  const std::string_view field = kScoreColumns[static_cast<size_t>(column)].field;
  table_->SortBy(field, TitleSortOptions(field));
  model_->Reload();
  const std::optional<size_t> current = table_->CurrentPosition();
  if (current) DBGrid1->setCurrentIndex(model_->index(static_cast<int>(*current), 0));
}

void Tfrm_Top10::ShowPopupMenu(QWidget* source, const QPoint& pos) {
  const QWidget* origin = source == DBGrid1 ? DBGrid1->viewport() : source;
  PopupMenu1->popup(origin->mapToGlobal(pos));
}

void Tfrm_Top10::aOklevelExecute() {
  const int32_t id = NullToInt(table_->Value(score_field::kId), 0);
  printCertificate_(*table_, id, this);
}

// The statistics of the player of the current row (the last player on an empty grid); a drill
// chosen there closes this window, and the main window starts it.
void Tfrm_Top10::aStatisztikaExecute() {
  const std::string player = NullToStr(table_->Value(score_field::kPlayer), Beall.LastPlayer);
  if (auto drill = ShowStatisticsAndSaveDrill(player, this)) {
    OfferDrill(std::move(*drill));
    reject();
  }
}

void Tfrm_Top10::aOsszesitoExecute() {
  ShowClassOverview(this);
}

void Tfrm_Top10::aBezarExecute() {
  reject();
}

void Tfrm_Top10::aFrissitExecute() {}

}  // namespace pekto
