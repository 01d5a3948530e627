#include "gui/views/regression_results_window.h"

#include "analysis/gradient_intervals.h"
#include "core/help_topics.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "gui/help/help_window.h"
#include "gui/views/direction_rose.h"
#include "gui/views/results_grid.h"
#include "gui/workbench/child_placement.h"
#include "gui/workbench/main_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qel::gui {

namespace {

// Rows the table shows before it scrolls; a project has up to 60 sample dates.
constexpr int VisibleRows = 10;
constexpr int MinimumRows = 3;
// Room on both sides of a cell's text, as the table's own cells keep it.
constexpr int CellPadding = 14;

// The columns of the table: date, Xcoeff, Ycoeff, Const, R2, Magnitude, Direction.
enum ResultColumn { DateColumn, XcoeffColumn, YcoeffColumn, ConstColumn, R2Column, MagnitudeColumn, DirectionColumn };

// What a column's heading adds to the name the results are known by: the unit, and for the
// direction which way it is counted (the flow azimuth of the plane fit).
QString shownHeader(const ResultsTable &table, int column)
{
    const QString &name = table.columns[std::size_t(column)].header;
    switch (column) {
    case MagnitudeColumn: return name + QStringLiteral("\n(gradient)");
    case DirectionColumn: return name + QStringLiteral(" (deg)\nflow towards,\nclockwise from north");
    default: return name;
    }
}

QString headerExplanation(int column)
{
    switch (column) {
    case XcoeffColumn:
    case YcoeffColumn:
    case ConstColumn:
        return QStringLiteral(
            "Coefficient of the plane h = Xcoeff\u00b7x + Ycoeff\u00b7y + Const fitted to the water levels");
    case R2Column: return QStringLiteral("Coefficient of determination of the plane fit");
    case MagnitudeColumn: return QStringLiteral("Hydraulic gradient: the slope of the fitted plane (dimensionless)");
    case DirectionColumn:
        return QStringLiteral("Direction the groundwater flows towards, down the slope of the plane, in degrees "
                              "clockwise from north: 90 is east, 180 south, -90 west (from -180 to 180)");
    default: return {};
    }
}

// A result as the cell shows it: the gradient terms to 4 significant digits, the direction to a
// tenth of a degree; the date and R2 as the table has them.
QString shownResult(const ProjectModel &m, int sample, int column, const QString &full)
{
    switch (column) {
    case XcoeffColumn: return significantText(m.Xcoeff(sample), 4);
    case YcoeffColumn: return significantText(m.Ycoeff(sample), 4);
    case ConstColumn: return significantText(m.Const(sample), 7);
    case MagnitudeColumn: return significantText(m.Magnitude(sample), 4);
    case DirectionColumn: return fixedDecimalsText(m.Direction(sample), 1);
    default: return full;
    }
}

// The interval columns after the regression's own: the gradient's half width, the direction's
// bounds.
enum IntervalColumn { HalfWidthInterval, DirectionInterval };

struct CellText {
    QString shown, full;
};

// An interval cell as it is shown, the half width to 3 significant digits and the bounds to a
// tenth of a degree as the Direction column has them, and in full for a copy.
CellText intervalText(const GradientInterval &g, int column)
{
    if (column == HalfWidthInterval && g.hasInterval)
        return { significantText(g.magnitudeHalfWidth, 3), numberText(g.magnitudeHalfWidth) };
    if (column == DirectionInterval && g.directionLow && g.directionHigh) {
        const QString to = QStringLiteral(" to ");
        return { fixedDecimalsText(*g.directionLow, 1) + to + fixedDecimalsText(*g.directionHigh, 1),
            numberText(*g.directionLow) + to + numberText(*g.directionHigh) };
    }
    const QString text = column == DirectionInterval && g.hasInterval ? QStringLiteral("any") : QStringLiteral("n/a");
    return { text, text };
}

} // namespace

RegressionResultsWindow::RegressionResultsWindow(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("RegRes"), HelpTopic::RegressionResults, parent)
{
    setObjectName(QStringLiteral("frmRegRes"));
    setWindowTitle(QStringLiteral("Water Level Contours"));

    m_grid = new ResultsGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setTabKeyNavigation(false);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling && row >= 0)
            MSFlexGrid1_RowColChange(row + 1);
    });
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellClicked, this, [this] {
        if (!m_filling)
            MSFlexGrid1_Click();
    });

    m_chkAutoShow = new QCheckBox(QStringLiteral("Show contour automatically when a date is selected"), this);
    m_chkAutoShow->setObjectName(QStringLiteral("chkAutoShow"));
    connect(m_chkAutoShow, &QCheckBox::toggled, this, [this](bool ticked) { m_form.autoShow = ticked; });

    auto *levels = new QGridLayout;
    levels->setHorizontalSpacing(8);
    levels->setVerticalSpacing(6);
    const char *labels[] = { "Contour levels:    Min", "Interval", "Max", "Line width" };
    for (int i = 0; i < 4; ++i) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtWLContInt%1").arg(i));
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setFixedWidth(i < 3 ? 80 : 44);
        auto *label = new QLabel(QLatin1String(labels[i]), this);
        label->setObjectName(QStringLiteral("lblWLContInt%1").arg(i));
        label->setBuddy(box);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        levels->addWidget(label, 0, 2 * i);
        levels->addWidget(box, 0, 2 * i + 1);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString &text) { txtWLContInt_Change(i, text); });
        m_boxes[std::size_t(i)] = box;
    }
    levels->setColumnStretch(8, 1);

    const auto button = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton *show = button("cmdShowContour", "Show Contour");
    QPushButton *clear = button("cmdClearContours", "Clear Contours");
    QPushButton *help = button("cmdHelp", "Help");
    QPushButton *close = button("cmdClose", "Close");
    connect(show, &QPushButton::clicked, this, &RegressionResultsWindow::cmdShowContour_Click);
    connect(clear, &QPushButton::clicked, this, &RegressionResultsWindow::cmdClearContours_Click);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this->session(), this, helpContext()); });
    connect(close, &QPushButton::clicked, this, &RegressionResultsWindow::closeForm);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(show);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    m_chkIntervals = new QCheckBox(QStringLiteral("Show the 95 % intervals of gradient and flow direction"), this);
    m_chkIntervals->setObjectName(QStringLiteral("chkIntervals"));
    connect(m_chkIntervals, &QCheckBox::toggled, this, &RegressionResultsWindow::showIntervals);
    m_rose = new DirectionRose(this);
    m_rose->hide();
    auto *tableAndRose = new QHBoxLayout;
    tableAndRose->addWidget(m_grid, 0, Qt::AlignTop);
    tableAndRose->addWidget(m_rose, 1);
    layout->addLayout(tableAndRose);
    layout->addWidget(m_chkAutoShow);
    layout->addWidget(m_chkIntervals);
    layout->addSpacing(4);
    layout->addLayout(levels);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    Form_Load();
}

int RegressionResultsWindow::twipsToPixels(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

void RegressionResultsWindow::Form_Load()
{
    m_filling = true;
    openWaterLevelContours(session(), m_form);
    for (int i = 0; i < 4; ++i)
        m_boxes[std::size_t(i)]->setText(m_form.boxes[std::size_t(i)]);
    m_chkAutoShow->setChecked(m_form.autoShow);
    InitializeGrid();
    m_fitColumns = m_grid->columnCount();
    m_fitWidth = m_grid->contentWidth();
    if (m_form.sample >= 1 && m_form.sample <= m_grid->rowCount())
        m_grid->setCurrentCell(m_form.sample - 1, 0);
    m_filling = false;
}

void RegressionResultsWindow::InitializeGrid()
{
    const ResultsTable table = qel::InitializeGrid(session().model);
    m_grid->clear();
    m_grid->setColumnCount(int(table.columns.size()));
    m_grid->setRowCount(int(table.rows.size()));
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    for (int c = 0; c < int(table.columns.size()); ++c) {
        auto *header = new QTableWidgetItem(shownHeader(table, c));
        header->setToolTip(headerExplanation(c));
        m_grid->setHorizontalHeaderItem(c, header);
    }
    for (int r = 0; r < int(table.rows.size()); ++r) {
        const QStringList &row = table.rows[std::size_t(r)];
        for (int c = 0; c < int(row.size()); ++c) {
            // The cell shows the value rounded for reading; its tip and a copy give it in full.
            auto *item = new QTableWidgetItem(shownResult(session().model, r + 1, c, row[c]));
            item->setData(FullTextRole, row[c]);
            if (item->text() != row[c])
                item->setToolTip(row[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            // Dates read from the left, numbers line up on their last digit.
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    int width = 0;
    for (int c = 0; c < int(table.columns.size()); ++c) {
        m_grid->setColumnWidth(c, columnWidth(table, c));
        width += m_grid->columnWidth(c);
    }
    const int rows = std::clamp(int(table.rows.size()), MinimumRows, VisibleRows);
    const bool scrolls = int(table.rows.size()) > VisibleRows;
    const int frame = 2 * m_grid->frameWidth();
    const int edges = frame + (scrolls ? m_grid->verticalScrollBar()->sizeHint().width() : 0);
    // Narrower than its dates the table is of no use, even scrolled.
    m_grid->setContentSize(width + edges,
        m_grid->horizontalHeader()->sizeHint().height() + rows * m_grid->verticalHeader()->defaultSectionSize() + frame,
        m_grid->columnWidth(DateColumn) + edges);
}

void RegressionResultsWindow::showIntervals(bool on)
{
    QWidget *outer = resizableWindow();
    if (on)
        m_sizeWithoutIntervals = outer ? std::optional(outer->size()) : std::nullopt;
    m_grid->setColumnCount(m_fitColumns);
    m_grid->setContentWidth(m_fitWidth);
    m_rose->setVisible(on);
    if (on) {
        addIntervalColumns();
        // The window grows to show the new columns and the rose beside the table.
        layout()->activate();
        if (outer)
            resizeWindow((outer == this ? sizeHint() : outer->sizeHint()).expandedTo(outer->size()));
    } else if (m_sizeWithoutIntervals) {
        resizeWindow(*m_sizeWithoutIntervals);
        m_sizeWithoutIntervals.reset();
    }
}

void RegressionResultsWindow::addIntervalColumns()
{
    std::vector<GradientInterval> intervals;
    if (session().model.RGDone)
        guarded(session(), QStringLiteral("RegRes:GradientIntervals"),
            [&] { intervals = gradientIntervals(session().model); });
    const int first = m_grid->columnCount();
    const QStringList headers = { QStringLiteral("\u00b1 magnitude"), QStringLiteral("Direction 95 %") };
    m_grid->setColumnCount(first + int(headers.size()));
    int added = 0;
    for (int c = 0; c < int(headers.size()); ++c) {
        m_grid->setHorizontalHeaderItem(first + c, new QTableWidgetItem(headers[c]));
        int width = QFontMetrics(m_grid->horizontalHeader()->font()).horizontalAdvance(headers[c]) + CellPadding;
        for (int r = 0; r < m_grid->rowCount(); ++r) {
            CellText text;
            QString note;
            if (std::size_t(r) < intervals.size()) {
                const GradientInterval &g = intervals[std::size_t(r)];
                text = intervalText(g, c);
                note = g.note;
            }
            auto *item = new QTableWidgetItem(text.shown);
            item->setData(FullTextRole, text.full);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(!note.isEmpty() || text.shown == text.full ? note : text.full);
            m_grid->setItem(r, first + c, item);
            width = std::max(width, m_grid->fontMetrics().horizontalAdvance(text.shown) + CellPadding);
        }
        m_grid->setColumnWidth(first + c, width);
        added += width;
    }
    std::vector<DirectionRose::Spoke> spokes;
    for (const GradientInterval &g : intervals)
        if (g.fitted)
            spokes.push_back({ g.direction, g.directionLow, g.directionHigh });
    m_rose->setSpokes(std::move(spokes));
    m_grid->setContentWidth(m_fitWidth + added);
}

QWidget *RegressionResultsWindow::resizableWindow()
{
    QWidget *outer = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!outer && isWindow())
        outer = this;
    return outer && !outer->isMaximized() && !outer->isMinimized() ? outer : nullptr;
}

void RegressionResultsWindow::resizeWindow(QSize size)
{
    QWidget *outer = resizableWindow();
    if (!outer)
        return;
    QRect room;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(outer)) {
        const auto *main = frame->mdiArea() ? qobject_cast<MainWindow *>(frame->mdiArea()->window()) : nullptr;
        room = main ? main->visibleArea() : frame->parentWidget()->rect();
    } else {
        room = outer->screen() ? outer->screen()->availableGeometry() : outer->geometry();
    }
    // Where the room is too small the table scrolls; the window is never smaller than its controls
    // need, so none is drawn over another. Twice: at its new width the table may take or give back
    // the room of its scroll bar.
    for (int pass = 0; pass < 2; ++pass) {
        layout()->invalidate();
        layout()->activate();
        const QSize fitted = size.boundedTo(room.size()).expandedTo(outer->minimumSizeHint());
        outer->setGeometry(QRect(fitInside(QRect(outer->geometry().topLeft(), fitted), room).topLeft(), fitted));
    }
}

bool RegressionResultsWindow::event(QEvent *event)
{
    const bool handled = ChildForm::event(event);
    // The table takes room for its scroll bar once it is narrower than its columns: the window
    // grows by as much, so that the controls below keep theirs.
    if (event->type() == QEvent::LayoutRequest)
        if (QWidget *outer = resizableWindow(); outer && outer->isVisible()) {
            const QSize least = outer->minimumSizeHint();
            if (least.width() > outer->width() || least.height() > outer->height())
                resizeWindow(outer->size());
        }
    return handled;
}

int RegressionResultsWindow::columnWidth(const ResultsTable &table, int column) const
{
    // The classic widths were measured for a smaller font than today's screens use: a column
    // is never narrower than its header and its longest entry, so no number is cut short.
    const ResultsTableColumn &heading = table.columns[std::size_t(column)];
    int width = twipsToPixels(heading.widthTwips);
    const QFontMetrics headerMetrics(m_grid->horizontalHeader()->font());
    for (const QString &line : shownHeader(table, column).split(u'\n'))
        width = std::max(width, headerMetrics.horizontalAdvance(line) + CellPadding);
    const QFontMetrics metrics(m_grid->font());
    for (int r = 0; r < int(table.rows.size()); ++r)
        width = std::max(width,
            metrics.horizontalAdvance(shownResult(session().model, r + 1, column, table.rows[std::size_t(r)][column]))
                + CellPadding);
    return width;
}

void RegressionResultsWindow::txtWLContInt_Change(int index, const QString &text)
{
    if (!m_filling)
        contourBoxChanged(session(), m_form, index, text);
}

void RegressionResultsWindow::MSFlexGrid1_RowColChange(int row)
{
    sampleSelected(m_form, row);
}

void RegressionResultsWindow::MSFlexGrid1_Click()
{
    resultsTableClicked(session(), m_form);
}

void RegressionResultsWindow::cmdShowContour_Click()
{
    showContourClicked(session(), m_form);
}

void RegressionResultsWindow::cmdClearContours_Click()
{
    clearContoursClicked(session(), m_form);
}

QString RegressionResultsWindow::selectedResults() const
{
    const int row = m_grid->currentRow();
    if (row < 0)
        return {};
    QStringList texts;
    for (int c = 0; c < m_grid->columnCount(); ++c)
        if (const QTableWidgetItem *item = m_grid->item(row, c))
            texts << item->data(FullTextRole).toString();
    return texts.join(u'\t');
}

bool RegressionResultsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Copy takes the selected date's results in full, not the rounded texts the cells show.
    if (watched == m_grid && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        if (const QString text = selectedResults(); !text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
        return true;
    }
    return ChildForm::eventFilter(watched, event);
}

bool RegressionResultsWindow::closeProcedure()
{
    closeWaterLevelContours(session(), m_form);
    return true;
}

WindowFactories::FormFactory waterLevelContoursFactory()
{
    return [](Session &session, QWidget *) -> ChildForm * { return new RegressionResultsWindow(session); };
}

} // namespace qel::gui
