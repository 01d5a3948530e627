#include "gui/import/import_wizard_window.h"

#include "gui/help/help_window.h"
#include "gui/import/import_wizard_fields.h"
#include "input/table_access.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

// The step's own name from its caption: "Well Locations Step 2: Specify File" gives "Specify File".
QString stepName(const QString &caption)
{
    const qsizetype colon = caption.indexOf(u':');
    return colon < 0 ? caption : caption.mid(colon + 1).trimmed();
}

QGroupBox *frame(const QString &title, QWidget *parent, const char *name)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QPushButton *button(const QString &caption, QWidget *parent, const char *name)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

ImportWizardWindow::ImportWizardWindow(Session &session, std::unique_ptr<ImportWizardFields> fields, QWidget *parent)
    : ChildForm(session, fields->wizard().kind->tag, fields->wizard().kind->helpContexts[0], parent)
    , m_fields(fields.release())
{
    setObjectName(m_fields->formName());
    connect(m_fields, &ImportWizardFields::changed, this, [this] { showState(); });

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("fraSteps"));
    auto *intro = frame(QStringLiteral("Introduction"), m_pages, "fraStep1");
    auto *introLayout = new QVBoxLayout(intro);
    introLayout->addWidget(m_fields->buildIntroduction());
    m_pages->addWidget(intro);
    m_pages->addWidget(buildFilePage());
    m_pages->addWidget(buildFieldsPage());
    m_pages->addWidget(buildDataPage());

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("lblHint"));
    m_hint->setStyleSheet(QStringLiteral("QLabel { color: #1f4e8c; font-weight: 600; }"));
    m_hint->setMinimumHeight(m_hint->fontMetrics().height() + 4);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(buildStepPicture());
    top->addWidget(m_pages, 1);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addLayout(top, 1);
    layout->addWidget(m_hint);
    layout->addWidget(rule);
    layout->addLayout(buildButtons());
    setMinimumSize(720, 470);

    m_fields->open();
    showState();
}

const ImportWizard &ImportWizardWindow::wizard() const
{
    return m_fields->wizard();
}

// --- the pages ------------------------------------------------------------------------------

QWidget *ImportWizardWindow::buildStepPicture()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("imgStep"));
    panel->setFixedWidth(175);
    panel->setStyleSheet(QStringLiteral("QFrame#imgStep { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                        "stop:0 #2f5f98, stop:1 #1d3d66); border-radius: 4px; }"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(10, 14, 10, 14);
    layout->setSpacing(6);
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(panel);
        label->setObjectName(QStringLiteral("lblStep%1").arg(i + 1));
        label->setWordWrap(true);
        label->setText(QStringLiteral("%1  %2").arg(i + 1).arg(stepName(wizard().kind->captions[std::size_t(i)])));
        m_stepLabels[std::size_t(i)] = label;
        layout->addWidget(label);
    }
    layout->addStretch();
    return panel;
}

QWidget *ImportWizardWindow::buildFilePage()
{
    auto *page = frame(m_fields->fileFrameTitle(), m_pages, "fraStep2");
    m_formats = new QListWidget(page);
    m_formats->setObjectName(QStringLiteral("lstFileFormats"));
    for (const TableFormat &format : tableFormats())
        m_formats->addItem(QLatin1String(format.caption));
    m_formats->setMaximumHeight(
        m_formats->sizeHintForRow(0) * int(tableFormats().size()) + 2 * m_formats->frameWidth());
    connect(m_formats, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_filling)
            forward([&] { m_fields->formatClicked(row); });
    });
    auto *formatLabel = new QLabel(QStringLiteral("Select a file format"), page);
    formatLabel->setBuddy(m_formats);

    m_fileBox = new QLineEdit(page);
    m_fileBox->setObjectName(m_fields->fileBoxName());
    // The file is chosen with the folder button, which also lists its sheets.
    m_fileBox->setReadOnly(true);
    m_fileBox->installEventFilter(this);
    m_folder = new QToolButton(page);
    m_folder->setObjectName(m_fields->folderButtonName());
    m_folder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_folder->setToolTip(wizard().kind->dialogTitle);
    connect(m_folder, &QToolButton::clicked, this, [this] { forward([&] { m_fields->folderClicked(); }); });
    auto *fileRow = new QHBoxLayout;
    fileRow->setSpacing(4);
    fileRow->addWidget(m_fileBox, 1);
    fileRow->addWidget(m_folder);
    auto *fileLabel = new QLabel(QStringLiteral("Data file:"), page);
    fileLabel->setBuddy(m_fileBox);

    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(6);
    layout->addWidget(formatLabel);
    layout->addWidget(m_formats);
    layout->addSpacing(10);
    layout->addWidget(fileLabel);
    layout->addLayout(fileRow);
    layout->addStretch();
    return page;
}

QWidget *ImportWizardWindow::buildFieldsPage()
{
    auto *page = frame(QStringLiteral("Field Names"), m_pages, "fraStep3");
    auto *intro = new QLabel(m_fields->fieldsIntro(), page);
    intro->setWordWrap(true);

    m_sheets = new QComboBox(page);
    m_sheets->setObjectName(QStringLiteral("cboDataTable"));
    m_sheets->setMinimumWidth(200);
    connect(
        m_sheets, &QComboBox::activated, this, [this](int index) { forward([&] { m_fields->sheetClicked(index); }); });
    auto *sheetForm = new QFormLayout;
    sheetForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    sheetForm->setHorizontalSpacing(16);
    auto *sheetLabel = new QLabel(wizard().kind->sheetLabel, page);
    sheetLabel->setMinimumWidth(FieldLabelWidth);
    sheetForm->addRow(sheetLabel, m_sheets);

    m_records = new QLabel(page);
    m_records->setObjectName(QStringLiteral("lblNumRecords"));
    m_readData = button(QStringLiteral("Read Data"), page, "cmdReadData");
    connect(m_readData, &QPushButton::clicked, this, [this] { forward([&] { m_fields->readDataClicked(); }); });
    auto *readRow = new QHBoxLayout;
    readRow->addWidget(m_records);
    readRow->addStretch();
    readRow->addWidget(m_readData);

    m_fields->setParent(page);
    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(10);
    layout->addWidget(intro);
    layout->addLayout(sheetForm);
    layout->addWidget(m_fields);
    layout->addSpacing(6);
    layout->addLayout(readRow);
    layout->addStretch();
    return page;
}

QWidget *ImportWizardWindow::buildDataPage()
{
    auto *page = frame(QStringLiteral("Data"), m_pages, "fraStep4");
    m_grid = new QTableWidget(page);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    connect(m_grid, &QTableWidget::cellChanged, this, &ImportWizardWindow::gridCellChanged);

    m_finished = button(QStringLiteral("Finished Editing"), page, "cmdFinished");
    connect(m_finished, &QPushButton::clicked, this, [this] { forward([&] { m_fields->finishedEditingClicked(); }); });
    m_mapWells = button(QStringLiteral("Map Wells"), page, "cmdMapWells");
    m_mapWells->setVisible(m_fields->hasMapWells());
    connect(m_mapWells, &QPushButton::clicked, this, [this] { forward([&] { m_fields->mapWellsClicked(); }, false); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_finished);
    buttons->addWidget(m_mapWells);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(8);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    return page;
}

QLayout *ImportWizardWindow::buildButtons()
{
    m_back = button(QStringLiteral("< &Back"), this, "cmdBack");
    m_next = button(NextCaption, this, "cmdNext");
    m_next->setDefault(true);
    auto *cancel = button(QStringLiteral("Cancel"), this, "cmdCancel");
    auto *help = button(QStringLiteral("&Help"), this, "cmdHelp");
    connect(m_back, &QPushButton::clicked, this, [this] { forward([&] { m_fields->back(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { forward([&] { m_fields->next(); }); });
    connect(
        cancel, &QPushButton::clicked, this, [this] { forward([&] { wizardCancel(session(), m_fields->wizard()); }); });
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(session(), this, wizard().helpContext); });
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_back);
    row->addWidget(m_next);
    row->addSpacing(10);
    row->addWidget(cancel);
    row->addWidget(help);
    return row;
}

bool ImportWizardWindow::closeProcedure()
{
    if (!wizard().closed) {
        m_fields->wizard().eventSource = EventSource::User;
        wizardCancel(session(), m_fields->wizard());
    }
    return true;
}

// --- forwarding and showing -----------------------------------------------------------------

template<typename Event> void ImportWizardWindow::forward(Event &&event, bool tableMayChange)
{
    m_fields->wizard().eventSource = EventSource::User;
    event();
    if (tableMayChange)
        m_gridStale = true;
    showState();
}

void ImportWizardWindow::showState()
{
    const ImportWizard &w = wizard();
    if (w.closed) {
        closeForm();
        return;
    }
    m_filling = true;
    setWindowTitle(w.caption);
    setHelpContext(w.helpContext);
    m_pages->setCurrentIndex(w.step - 1);
    showStepPicture(w.step);
    m_back->setEnabled(w.backEnabled);
    m_next->setEnabled(w.nextEnabled);
    m_next->setText(w.nextCaption);
    m_hint->setText(w.hint);

    m_formats->setCurrentRow(w.formatIndex);
    m_fileBox->setText(w.fileBox);
    m_fileBox->setCursorPosition(int(w.fileBox.size()));
    m_folder->setEnabled(w.formatIndex >= 0);

    showSheets();
    m_records->setText(w.recordsText.isEmpty() ? QStringLiteral("Number of records found:") : w.recordsText);
    m_readData->setEnabled(w.readDataEnabled);
    m_fields->showState();

    if (w.step == 4)
        showGrid();
    m_grid->setEnabled(w.gridEnabled);
    m_mapWells->setEnabled(m_fields->mapWellsEnabled());
    m_filling = false;
    if (w.step == 3 && w.focusSheetList)
        m_sheets->setFocus(Qt::OtherFocusReason);
}

void ImportWizardWindow::showStepPicture(int step)
{
    for (int i = 0; i < 4; ++i) {
        const int shown = i + 1;
        QString style = QStringLiteral("QLabel { color: #c9d6e8; padding: 6px 8px; border-radius: 3px; }");
        if (shown == step)
            style = QStringLiteral("QLabel { color: #1d3d66; background: #ffffff; font-weight: 700; padding: 6px 8px; "
                                   "border-radius: 3px; }");
        else if (shown < step)
            style = QStringLiteral("QLabel { color: #ffffff; padding: 6px 8px; border-radius: 3px; }");
        m_stepLabels[std::size_t(i)]->setStyleSheet(style);
    }
}

void ImportWizardWindow::showSheets()
{
    const ImportWizard &w = wizard();
    QStringList shown;
    for (int i = 0; i < m_sheets->count(); ++i)
        shown << m_sheets->itemText(i);
    if (shown != w.sheets) {
        m_sheets->clear();
        m_sheets->addItems(w.sheets);
    }
    m_sheets->setCurrentIndex(w.sheetIndex);
}

void ImportWizardWindow::showGrid()
{
    if (!m_gridStale)
        return;
    m_gridStale = false;
    const ImportWizard &w = wizard();
    m_grid->clear();
    if (!w.table) {
        m_grid->setRowCount(0);
        m_grid->setColumnCount(0);
        return;
    }
    const Table &table = *w.table;
    m_grid->setColumnCount(int(table.fieldNames().size()));
    m_grid->setHorizontalHeaderLabels(w.gridColumns.isEmpty() ? table.fieldNames() : w.gridColumns);
    m_grid->setRowCount(table.recordCount());
    for (int r = 0; r < table.recordCount(); ++r) {
        for (int c = 0; c < int(table.fieldNames().size()); ++c) {
            const TableCell &cell = table.cell(r, c);
            auto *item = new QTableWidgetItem(cell.toText());
            item->setTextAlignment((cell.isNumber() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
    for (int c = 0; c < m_grid->columnCount(); ++c)
        m_grid->setColumnWidth(c, std::max(m_grid->columnWidth(c) + 16, 90));
}

void ImportWizardWindow::gridCellChanged(int row, int column)
{
    if (m_filling)
        return;
    QTableWidgetItem *item = m_grid->item(row, column);
    if (!item)
        return;
    const QString typed = item->text();
    forward([&] { wizardCellEdited(session(), m_fields->wizard(), row, column, typed); }, false);
    // The cell shows what the table took from the text.
    const ImportWizard &w = wizard();
    if (!w.table || row >= w.table->recordCount())
        return;
    const TableCell &cell = w.table->cell(row, column);
    m_filling = true;
    item->setText(cell.toText());
    item->setTextAlignment((cell.isNumber() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    m_filling = false;
}

bool ImportWizardWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fileBox && event->type() == QEvent::FocusIn && !m_filling)
        forward([&] { fileBoxFocused(m_fields->wizard()); }, false);
    return ChildForm::eventFilter(watched, event);
}

WindowFactories::FormFactory wellLocationsFactory()
{
    return [](Session &session, QWidget *) -> ChildForm * {
        return new ImportWizardWindow(session, std::make_unique<WellsWizardFields>(session));
    };
}

WindowFactories::FormFactory waterLevelsFactory()
{
    return [](Session &session, QWidget *) -> ChildForm * {
        return new ImportWizardWindow(session, std::make_unique<WaterLevelWizardFields>(session));
    };
}

} // namespace qel::gui
