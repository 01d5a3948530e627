#include "gui/views/contour_view_window.h"

#include "gui/common/refused_box.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/help/help_window.h"
#include "gui/map/map_window.h"
#include "gui/views/study_view_panel.h"
#include "gui/workbench/main_window.h"
#include "map/color_table.h"
#include "views/contour_bands.h"
#include "views/grid_export.h"
#include "views/study_view_export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qel::gui {

namespace {

// Column widths of the level table in twips: the bounds, then the colour swatch.
constexpr int BoundTwips = 750;
constexpr int MinDistBoundTwips = 650;
constexpr int ColorTwips = 500;
// How long the map marks where a located legend goes.
constexpr int LegendHighlightMs = 1500;

const char *prefixOf(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Plume: return "PC";
    case ContourKind::MinDist: return "MD";
    case ContourKind::Wolf: return "WF";
    case ContourKind::Detection: return "DP";
    case ContourKind::ExactPlume: return "XP";
    case ContourKind::ExactDifference: return "XD";
    }
    return "";
}

QString captionOf(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Plume: return QStringLiteral("Plume Contours");
    case ContourKind::MinDist: return QStringLiteral("Minimum Distance Contours");
    case ContourKind::Wolf: return QStringLiteral("WOLF Contours");
    case ContourKind::Detection: return QStringLiteral("Detection Probability Contours");
    case ContourKind::ExactPlume: return QStringLiteral("Exact Plume Contours");
    case ContourKind::ExactDifference: return QStringLiteral("Exact minus Domenico Contours");
    }
    return {};
}

int helpTopicOf(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Plume: return HelpTopic::PlumeContours;
    case ContourKind::MinDist: return HelpTopic::MinDistContours;
    case ContourKind::Wolf: return HelpTopic::WolfContours;
    case ContourKind::Detection:
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference: return HelpTopic::PlumeContours;
    }
    return HelpTopic::Contents;
}

// The range labels' names: lblCmin/lblCmax, lblDmin/lblDmax, lblFmin/lblFmax.
QChar rangeLetterOf(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Plume: return u'C';
    case ContourKind::MinDist: return u'D';
    case ContourKind::Wolf: return u'F';
    case ContourKind::Detection: return u'P';
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference: return u'C';
    }
    return u'C';
}

// The colour column shows a swatch that stays visible in the current cell, where the selection
// would otherwise paint over it.
class SwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.column() != ColorColumn)
            return QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.highlight());
        const QVariant brush = index.data(Qt::BackgroundRole);
        if (brush.isValid()) {
            const QRect swatch = option.rect.adjusted(4, 3, -4, -3);
            painter->fillRect(swatch, brush.value<QBrush>());
            painter->setPen(QColor(0x60, 0x60, 0x60));
            painter->drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

} // namespace

QString ContourViewWindow::formName(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Plume: return QStringLiteral("frmPlumeSpect");
    case ContourKind::MinDist: return QStringLiteral("frmMinDist");
    case ContourKind::Wolf: return QStringLiteral("frmWOLF");
    case ContourKind::Detection:
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference: return QLatin1String(contourKindInfo(kind).formTag);
    }
    return {};
}

ContourViewWindow::ContourViewWindow(Session &session, ContourKind kind, MainWindow *main)
    : ChildForm(session, QLatin1String(contourKindInfo(kind).formTag), helpTopicOf(kind))
    , m_logic(session, kind)
    , m_main(main)
    // The picker names its caller as the views name their failures.
    , m_colorCaller(QLatin1String(contourKindInfo(kind).reportTag))
{
    setObjectName(formName(kind));
    setWindowTitle(captionOf(kind));
    const QString prefix = QLatin1String(prefixOf(kind));
    const bool plume = kind == ContourKind::Plume;

    m_lblMin = new QLabel(this);
    m_lblMin->setObjectName(QStringLiteral("lbl%1min").arg(rangeLetterOf(kind)));
    m_lblMax = new QLabel(this);
    m_lblMax->setObjectName(QStringLiteral("lbl%1max").arg(rangeLetterOf(kind)));

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(6);
    int row = 0;
    form->addWidget(m_lblMin, row, 0, 1, 2);
    form->addWidget(m_lblMax, row++, 2, 1, 2);
    // The labels keep their short texts; the caption and their tips say what the values are.
    auto *caption
        = new QLabel(QStringLiteral("Range of the computed grid: smallest value above zero, largest value"), this);
    caption->setObjectName(QStringLiteral("lblRangeCaption"));
    caption->setWordWrap(true);
    QFont small = caption->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    caption->setFont(small);
    caption->setForegroundRole(QPalette::PlaceholderText);
    form->addWidget(caption, row++, 0, 1, 4);
    form->setRowMinimumHeight(row++, 4);
    if (plume) {
        m_cboDate = new QComboBox(this);
        m_cboDate->setObjectName(QStringLiteral("cboDate"));
        auto *label = new QLabel(QStringLiteral("Date:"), this);
        label->setBuddy(m_cboDate);
        form->addWidget(label, row, 0);
        form->addWidget(m_cboDate, row++, 1, 1, 3);
        connect(m_cboDate, &QComboBox::currentIndexChanged, this, [this](int index) {
            if (!m_filling && index >= 0)
                m_logic.chooseSample(index);
        });
    }
    const struct {
        Box box;
        const char *name;
        const char *label;
    } boxes[] = {
        { ContourViewLogic::MinBox, "Min", "Minimum:" },
        { ContourViewLogic::MaxBox, "Max", "Maximum:" },
        { ContourViewLogic::NumLevelsBox, "NumLevels", "Levels (1-5):" },
        { ContourViewLogic::LineWidthBox, "LineWidth", "Line width (1-5):" },
    };
    for (const auto &b : boxes) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txt") + prefix + QLatin1String(b.name));
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setMinimumWidth(b.box <= ContourViewLogic::MaxBox ? 90 : 44);
        box->installEventFilter(this);
        auto *label = new QLabel(QLatin1String(b.label), this);
        label->setBuddy(box);
        const int column = b.box % 2 == 0 ? 0 : 2;
        form->addWidget(label, row, column);
        form->addWidget(box, row, column + 1);
        if (column == 2)
            ++row;
        const Box which = b.box;
        connect(box, &QLineEdit::textEdited, this, [this, which, box] {
            m_edited[which] = true;
            markRefused(box, false); // a changed text is no longer the one warned about
        });
        connect(box, &QLineEdit::returnPressed, this, [this, which] {
            if (m_edited[which])
                validateBox(which);
        });
        m_boxes[std::size_t(which)] = box;
    }
    if (m_logic.info().hasLogScale) {
        m_chkUseLog = new QCheckBox(QStringLiteral("Use Log scale"), this);
        m_chkUseLog->setObjectName(QStringLiteral("chkUseLog"));
        form->addWidget(m_chkUseLog, row++, 0, 1, 4);
        connect(m_chkUseLog, &QCheckBox::clicked, this, &ContourViewWindow::chkUseLog_Click);
    }
    auto *generate = new QPushButton(QStringLiteral("Generate Levels"), this);
    generate->setObjectName(QStringLiteral("cmdGenerate"));
    connect(generate, &QPushButton::clicked, this, &ContourViewWindow::cmdGenerate_Click);
    form->addWidget(generate, row++, 0, 1, 2);
    form->setRowStretch(row, 1);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setItemDelegate(new SwatchDelegate(m_grid));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int, int column) {
        m_lastClickedColumn = column;
        if (column == ColorColumn && m_logic.eventsFromUser())
            SelectColor();
    });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column != ColorColumn)
            GridEdit(QStringLiteral(" "));
    });
    // Leaving the cell commits what its edit box holds.
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] {
        if (m_editRow >= 0)
            commitEdit();
    });
    m_Text1 = new QLineEdit(m_grid->viewport());
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter); // as the cells show their bounds
    m_Text1->installEventFilter(this);
    connect(m_Text1, &QLineEdit::textEdited, this, [this] { m_refusedText.clear(); });

    m_chkLegend = new QCheckBox(QStringLiteral("Legend"), this);
    m_chkLegend->setObjectName(QStringLiteral("chkLegend"));
    m_cmdLegend = new QPushButton(QStringLiteral("Locate"), this);
    m_cmdLegend->setObjectName(QStringLiteral("cmdLegend"));
    m_cmdLegend->setToolTip(QStringLiteral("Pick the top-left corner of the legend on the map"));
    connect(m_chkLegend, &QCheckBox::clicked, this, [this](bool ticked) {
        m_logic.setLegend(ticked);
        m_cmdLegend->setEnabled(ticked);
    });
    connect(m_cmdLegend, &QPushButton::clicked, this, &ContourViewWindow::cmdLegend_Click);
    auto *legend = new QHBoxLayout;
    legend->addWidget(m_chkLegend);
    legend->addWidget(m_cmdLegend);
    legend->addStretch();

    auto *table = new QVBoxLayout;
    table->setSpacing(6);
    table->addWidget(m_grid);
    table->addLayout(legend);

    auto *top = new QHBoxLayout;
    top->setSpacing(20);
    top->addLayout(form);
    top->addLayout(table);

    auto *draw = new QPushButton(plume ? QStringLiteral("Draw Plume") : QStringLiteral("Draw contours"), this);
    draw->setObjectName(QStringLiteral("cmdShowContour"));
    connect(draw, &QPushButton::clicked, this, &ContourViewWindow::cmdShowContour_Click);
    auto *clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("cmdClearContours"));
    connect(clear, &QPushButton::clicked, this, &ContourViewWindow::cmdClearContours_Click);
    auto *help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("cmdHelp"));
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this->session(), this, helpContext()); });
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &ContourViewWindow::closeForm);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(draw);
    buttons->addWidget(clear);
    if (!plume) {
        auto *exportGrid = new QPushButton(QStringLiteral("Export grid data"), this);
        exportGrid->setObjectName(QStringLiteral("cmdExport"));
        connect(exportGrid, &QPushButton::clicked, this, &ContourViewWindow::cmdExport_Click);
        buttons->addWidget(exportGrid);
    }
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(14);
    layout->addLayout(top);
    if (QWidget *study = studyPanel(session, kind, this))
        layout->addWidget(study);
    layout->addLayout(buttons);

    setColorPickTarget(session, m_colorCaller, this);
    Form_Load();
}

ContourViewWindow::~ContourViewWindow()
{
    if (colorPickerState(session()).targets.value(m_colorCaller) == this)
        setColorPickTarget(session(), m_colorCaller, nullptr);
}

// --- filling the controls -------------------------------------------------------------------

void ContourViewWindow::Form_Load()
{
    m_filling = true;
    InitializeGrid();
    m_logic.load();
    if (m_chkUseLog)
        m_chkUseLog->setChecked(m_logic.useLogShown());
    m_chkLegend->setChecked(m_logic.legendShown());
    m_cmdLegend->setEnabled(m_logic.legendShown());
    showBoxes();
    m_lblMin->setText(m_logic.rangeMinLabel());
    m_lblMax->setText(m_logic.rangeMaxLabel());
    m_lblMin->setToolTip(m_logic.rangeExplanation(true));
    m_lblMax->setToolTip(m_logic.rangeExplanation(false));
    if (m_cboDate) {
        m_cboDate->clear();
        m_cboDate->addItems(m_logic.sampleList());
        const int shown = m_logic.selectedSample() - 1;
        if (shown >= 0 && shown < m_cboDate->count())
            m_cboDate->setCurrentIndex(shown);
    }
    showRows();
    m_filling = false;
}

void ContourViewWindow::InitializeGrid()
{
    m_Text1->setFrame(false);
    m_Text1->setFont(m_grid->font());
    m_Text1->hide();
    m_editRow = -1;
    m_grid->clear();
    m_grid->setColumnCount(3);
    m_grid->setHorizontalHeaderLabels(m_logic.headings());
    // Twips as the classic screen measured them, widened for today's fonts; never narrower
    // than a bound of the table needs.
    const double scale = logicalDpiX() / 1440.0 * 1.5;
    const int bound = m_logic.kind() == ContourKind::MinDist ? MinDistBoundTwips : BoundTwips;
    const int boundWidth
        = std::max(qRound(bound * scale), fontMetrics().horizontalAdvance(QStringLiteral("0.00000000")));
    m_grid->setColumnWidth(0, boundWidth);
    m_grid->setColumnWidth(1, boundWidth);
    m_grid->setColumnWidth(ColorColumn, qRound(ColorTwips * scale));
    const int rows = m_grid->horizontalHeader()->sizeHint().height()
        + MaxContourLevels * m_grid->verticalHeader()->defaultSectionSize() + 2 * m_grid->frameWidth();
    m_grid->setFixedSize(boundWidth * 2 + qRound(ColorTwips * scale) + 2 * m_grid->frameWidth(), rows);
}

void ContourViewWindow::showBoxes()
{
    for (int i = 0; i < 4; ++i) {
        QLineEdit *box = m_boxes[std::size_t(i)];
        const QString &text = m_logic.boxText(Box(i));
        if (box->text() != text)
            box->setText(text);
        m_edited[std::size_t(i)] = false;
    }
}

void ContourViewWindow::showRows()
{
    const std::vector<ContourViewLogic::Row> &rows = m_logic.rows();
    m_grid->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const ContourViewLogic::Row &row = rows[std::size_t(r)];
        const QString texts[] = { row.lower, row.upper, QString() };
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
        showSwatch(r, isColorIndex(row.color) ? colorFromBgr(ColorTable[std::size_t(row.color)]) : QColor());
    }
}

void ContourViewWindow::showBounds()
{
    const std::vector<ContourViewLogic::Row> &rows = m_logic.rows();
    for (int r = 0; r < int(rows.size()) && r < m_grid->rowCount(); ++r) {
        if (QTableWidgetItem *lower = m_grid->item(r, 0))
            lower->setText(rows[std::size_t(r)].lower);
        if (QTableWidgetItem *upper = m_grid->item(r, 1))
            upper->setText(rows[std::size_t(r)].upper);
    }
}

void ContourViewWindow::showSwatch(int row, QColor color)
{
    QTableWidgetItem *item = m_grid->item(row, ColorColumn);
    if (!item)
        return;
    if (color.isValid())
        item->setBackground(color);
    else
        item->setData(Qt::BackgroundRole, QVariant());
    item->setToolTip(QStringLiteral("Click to choose the level's colour"));
}

// --- the number boxes -----------------------------------------------------------------------

int ContourViewWindow::boxOf(const QObject *object) const
{
    for (int i = 0; i < 4; ++i)
        if (object && m_boxes[std::size_t(i)] == object)
            return i;
    return -1;
}

bool ContourViewWindow::validateBox(Box box)
{
    QLineEdit *edit = m_boxes[std::size_t(box)];
    m_edited[std::size_t(box)] = false;
    const bool accepted = m_logic.validate(box, edit->text());
    const QString &shown = m_logic.boxText(box);
    if (edit->text() != shown)
        edit->setText(shown);
    markRefused(edit, !accepted);
    if (!accepted)
        keepFocusAfterRefusal(edit);
    return accepted;
}

bool ContourViewWindow::takePendingInput()
{
    bool taken = true;
    const int box = boxOf(focusWidget());
    if (box >= 0 && m_edited[std::size_t(box)])
        taken = validateBox(Box(box));
    if (m_editRow >= 0)
        taken = commitEdit() && taken;
    return taken;
}

// --- commands -------------------------------------------------------------------------------

void ContourViewWindow::chkUseLog_Click(bool ticked)
{
    takePendingInput();
    const bool kept = m_logic.setUseLog(ticked);
    if (kept != ticked) {
        const QSignalBlocker blocker(m_chkUseLog);
        m_chkUseLog->setChecked(kept);
    }
    // Without the log scale a bound of 0 needs no change any more.
    if (!kept) {
        markRefused(m_boxes[ContourViewLogic::MinBox], false);
        markRefused(m_boxes[ContourViewLogic::MaxBox], false);
    }
}

void ContourViewWindow::cmdGenerate_Click()
{
    if (!takePendingInput())
        return;
    cancelEdit();
    m_logic.generate();
    showRows();
}

void ContourViewWindow::cmdShowContour_Click()
{
    if (!takePendingInput())
        return;
    m_logic.draw();
}

void ContourViewWindow::cmdClearContours_Click()
{
    m_logic.clear();
}

void ContourViewWindow::cmdLegend_Click()
{
    if (deferWhilePicking([this] { cmdLegend_Click(); }))
        return;
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    // The map has to be in view to pick the corner on it.
    session().frontend().showMapWindow();
    if (frame)
        frame->lower();
    bool placed = false;
    runPick([&] { placed = m_logic.locateLegend(); });
    if (placed)
        highlightPlacedLegend();
    if (frame) {
        frame->raise();
        if (m_main)
            m_main->mdiArea()->setActiveSubWindow(frame);
    } else {
        raise();
        activateWindow();
    }
}

void ContourViewWindow::highlightPlacedLegend()
{
    MapCanvas *canvas = m_main ? m_main->findChild<MapCanvas *>() : nullptr;
    if (!canvas)
        return;
    const QRectF area = m_logic.placedLegend();
    const QRect onScreen = QRectF(canvas->toDevice(area.topLeft()), canvas->toDevice(area.bottomRight()))
                               .normalized()
                               .toAlignedRect()
                               .adjusted(-2, -2, 2, 2);
    auto *highlight = new QRubberBand(QRubberBand::Rectangle, canvas);
    highlight->setObjectName(QStringLiteral("legendHighlight"));
    highlight->setGeometry(onScreen.intersected(canvas->rect().adjusted(0, 0, -1, -1)));
    highlight->show();
    QTimer::singleShot(LegendHighlightMs, highlight, &QObject::deleteLater);
}

void ContourViewWindow::cmdExport_Click()
{
    if (m_logic.kind() == ContourKind::MinDist)
        mdExportClicked(session());
    else if (m_logic.kind() == ContourKind::Wolf)
        wfExportClicked(session());
    else
        studyGridExportClicked(session(), m_logic.kind());
}

bool ContourViewWindow::closeProcedure()
{
    takePendingInput();
    cancelEdit();
    m_logic.close();
    return true;
}

WindowFactories::FormFactory contourViewFactory(ContourKind kind)
{
    return [kind](Session &session, QWidget *parent) -> ChildForm * {
        // A study's view has nothing to show before its study ran on the grid as it is.
        if (!contourKindInfo(kind).persistent && !studyGrid(session, kind)) {
            session.ErrorText = studyMissingText(kind);
            ReportWarning(session);
            return nullptr;
        }
        return new ContourViewWindow(session, kind, qobject_cast<MainWindow *>(parent));
    };
}

} // namespace qel::gui
