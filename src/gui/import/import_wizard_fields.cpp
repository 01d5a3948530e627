#include "gui/import/import_wizard_fields.h"

#include "views/map_wells.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace qel::gui {

namespace {

constexpr int SampleColumnWidth = 96;
constexpr int SampleFirstColumnWidth = 120; // identifiers and dates

int sampleColumnWidth(int column)
{
    return column == 0 ? SampleFirstColumnWidth : SampleColumnWidth;
}
constexpr int SampleRowHeaderWidth = 28;

struct Callout {
    int columns; // how many sheet columns the caption spans
    const char *text;
};

QLabel *wrappedLabel(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (name)
        label->setObjectName(QLatin1String(name));
    return label;
}

// A sheet as the person prepares it, with captions over the columns that say what each holds.
QWidget *sampleSheet(const std::vector<QStringList> &rows, const std::vector<Callout> &callouts, const QString &below)
{
    auto *box = new QWidget;
    box->setObjectName(QStringLiteral("fraSample"));
    const int columns = int(rows.front().size());

    auto *captions = new QHBoxLayout;
    captions->setContentsMargins(0, 0, 0, 0);
    captions->setSpacing(0);
    captions->addSpacing(SampleRowHeaderWidth + 1);
    int first = 0;
    for (const Callout &c : callouts) {
        auto *label = new QLabel(QLatin1String(c.text), box);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setWordWrap(true);
        int width = 0;
        for (int column = first; column < first + c.columns; ++column)
            width += sampleColumnWidth(column);
        first += c.columns;
        label->setFixedWidth(width);
        label->setStyleSheet(QStringLiteral("QLabel { color: #1f4e8c; font-weight: 600; margin: 0 4px 2px 4px; }"));
        captions->addWidget(label);
    }
    captions->addStretch();

    auto *sheet = new QTableWidget(int(rows.size()), columns, box);
    sheet->setObjectName(QStringLiteral("grdSample"));
    sheet->setFocusPolicy(Qt::NoFocus);
    sheet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sheet->setSelectionMode(QAbstractItemView::NoSelection);
    sheet->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sheet->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList letters;
    for (int c = 0; c < columns; ++c)
        letters << QString(QChar(u'A' + c));
    sheet->setHorizontalHeaderLabels(letters);
    sheet->verticalHeader()->setFixedWidth(SampleRowHeaderWidth);
    sheet->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sheet->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sheet->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sheet->verticalHeader()->setDefaultSectionSize(sheet->fontMetrics().height() + 8);
    for (int c = 0; c < columns; ++c)
        sheet->setColumnWidth(c, sampleColumnWidth(c));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < columns; ++c) {
            auto *item = new QTableWidgetItem(rows[std::size_t(r)].value(c));
            const bool heading = r == 0;
            item->setTextAlignment((heading || c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (heading) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            sheet->setItem(r, c, item);
        }
    }
    const int height = sheet->horizontalHeader()->sizeHint().height()
        + int(rows.size()) * sheet->verticalHeader()->defaultSectionSize() + 2 * sheet->frameWidth();
    int width = SampleRowHeaderWidth + 2 * sheet->frameWidth();
    for (int c = 0; c < columns; ++c)
        width += sampleColumnWidth(c);
    sheet->setFixedSize(width, height);

    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(captions);
    layout->addWidget(sheet);
    if (!below.isEmpty()) {
        auto *note = new QLabel(below, box);
        note->setStyleSheet(QStringLiteral("QLabel { color: #1f4e8c; font-weight: 600; }"));
        note->setContentsMargins(SampleRowHeaderWidth + 4, 2, 0, 0);
        layout->addWidget(note);
    }
    return box;
}

QWidget *introduction(const QString &lead, QWidget *sample, const QString &rule)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(wrappedLabel(lead, page, "lblIntro"));
    auto *centred = new QHBoxLayout;
    centred->addStretch();
    centred->addWidget(sample);
    centred->addStretch();
    layout->addLayout(centred);
    auto *ruleLabel = wrappedLabel(rule, page, "lblRule");
    QFont font = ruleLabel->font();
    font.setBold(true);
    ruleLabel->setFont(font);
    layout->addWidget(ruleLabel);
    layout->addStretch();
    return page;
}

QLabel *fieldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setMinimumWidth(FieldLabelWidth);
    return label;
}

QComboBox *fieldList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setMinimumWidth(200);
    list->setPlaceholderText(QStringLiteral("Choose a column"));
    return list;
}

} // namespace

// --- well locations -------------------------------------------------------------------------

WellsWizardFields::WellsWizardFields(Session &session)
    : ImportWizardFields(session)
{
    const struct {
        WellField field;
        const char *name;
        const char *label;
    } lists[] = {
        { WellField::WellID, "cboWellIDField", "WELL ID column/field:" },
        { WellField::X, "cboXField", "X coordinate column/field:" },
        { WellField::Y, "cboYField", "Y coordinate column/field:" },
    };
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setHorizontalSpacing(16);
    for (const auto &l : lists) {
        QComboBox *list = fieldList(this, l.name);
        form->addRow(fieldLabel(QLatin1String(l.label), this), list);
        const WellField field = l.field;
        connect(list, &QComboBox::activated, this,
            [this, field](int index) { forward([&] { wellsFieldClicked(this->session(), m_wizard, field, index); }); });
        m_lists[std::size_t(field)] = list;
    }
}

QString WellsWizardFields::fieldsIntro() const
{
    return QStringLiteral("Spreadsheet files may contain several [work]sheets of data.  Please select below the sheet "
                          "for well locations data.  Also identify the columns for the data parameters.");
}

QWidget *WellsWizardFields::buildIntroduction() const
{
    return introduction(QStringLiteral("For importing into QEL, well data must be prepared using spreadsheet software "
                                       "(Lotus 123, Microsoft Excel) in the format illustrated below. Please refer to "
                                       "the QEL documentation for more information."),
        sampleSheet(
            {
                { "WellID", "X", "Y" },
                { "MW-1", "40.73", "369.16" },
                { "MW-2", "148.58", "375.58" },
                { "MW-3", "240.49", "345.91" },
                { "MW-4", "190.94", "279.29" },
            },
            { { 1, "Well ID column" }, { 2, "X and Y coordinate columns" } }, {}),
        QStringLiteral("Well names must be in text format.  Use numeric values for X,Y coordinates (No missing values "
                       "or text allowed)."));
}

void WellsWizardFields::mapWellsClicked()
{
    wellsMapWellsClicked(session(), m_wizard);
}

void WellsWizardFields::showState()
{
    m_filling = true;
    for (std::size_t f = 0; f < m_lists.size(); ++f) {
        QComboBox *list = m_lists[f];
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        if (shown != m_wizard.fieldNames) {
            list->clear();
            list->addItems(m_wizard.fieldNames);
        }
        list->setCurrentIndex(m_wizard.fieldIndex[f]);
        list->setEnabled(m_wizard.fieldListsEnabled);
    }
    m_filling = false;
}

// --- water levels ---------------------------------------------------------------------------

WaterLevelWizardFields::WaterLevelWizardFields(Session &session)
    : ImportWizardFields(session)
{
    auto box = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setFixedWidth(80);
        return edit;
    };
    m_numDates = box("txtWLNumDates");
    m_numWells = box("txtWLNumWells");
    connect(m_numDates, &QLineEdit::textEdited, this,
        [this](const QString &text) { forward([&] { setNumDatesText(this->session(), m_wizard, text); }); });
    connect(m_numWells, &QLineEdit::textEdited, this,
        [this](const QString &text) { forward([&] { setNumWellsText(this->session(), m_wizard, text); }); });
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setHorizontalSpacing(16);
    form->addRow(fieldLabel(QStringLiteral("Number of sample dates:"), this), m_numDates);
    form->addRow(fieldLabel(QStringLiteral("Number of wells:"), this), m_numWells);
}

QString WaterLevelWizardFields::fieldsIntro() const
{
    return QStringLiteral(
        "Spreadsheet files may contain several [work]sheets of data.  Please select below the sheet for water "
        "levels data.");
}

QWidget *WaterLevelWizardFields::buildIntroduction() const
{
    return introduction(QStringLiteral("For importing into QEL, water level data must be prepared using spreadsheet "
                                       "software (Lotus 123, Microsoft Excel) in the format illustrated below. Please "
                                       "refer to the QEL documentation for more information."),
        sampleSheet(
            {
                { "Date", "MW-1", "MW-2", "MW-3", "MW-4" },
                { "3/15/2023", "101.81", "101.22", "100.37", "99.90" },
                { "6/14/2023", "102.14", "101.57", "100.70", "-9999" },
                { "9/13/2023", "101.80", "101.27", "100.34", "99.92" },
                { "12/13/2023", "101.50", "100.91", "100.00", "99.57" },
            },
            { { 1, "Row headers: dates" }, { 4, "Col headers: well names" } }, QStringLiteral("Cells: water levels")),
        QStringLiteral("Dates must be in date format. Use numeric values for water levels (-9999 for missing values, "
                       "not ND or N/A)."));
}

void WaterLevelWizardFields::showState()
{
    m_filling = true;
    // A box keeps what the person typed; the state's text is the same unless the core changed it.
    if (m_numDates->text() != m_wizard.numDatesText)
        m_numDates->setText(m_wizard.numDatesText);
    if (m_numWells->text() != m_wizard.numWellsText)
        m_numWells->setText(m_wizard.numWellsText);
    m_filling = false;
}

} // namespace qel::gui
