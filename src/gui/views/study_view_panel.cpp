#include "gui/views/study_view_panel.h"

#include "analysis/exact_plume.h"
#include "analysis/plume_uncertainty.h"
#include "core/number_text.h"
#include "views/exact_plume_export.h"
#include "views/study_view_export.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QLabel *wrappedLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidget *listTable(
    const QString &name, const QStringList &headings, const std::vector<QStringList> &rows, QWidget *parent)
{
    auto *table = new QTableWidget(int(rows.size()), int(headings.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(headings.size()); ++c) {
            auto *item = new QTableWidgetItem(rows[std::size_t(r)].value(c));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    table->resizeColumnsToContents();
    table->setMinimumHeight(
        table->horizontalHeader()->sizeHint().height() + 5 * table->verticalHeader()->defaultSectionSize());
    // Every column in view: the table is as wide as its columns and the scroll bar.
    table->setMinimumWidth(
        table->horizontalHeader()->length() + table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth());
    return table;
}

QWidget *detectionPanel(Session &session, const PlumeUncertaintyResult &r, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString units = session.model.ConcUnits.isEmpty() ? QString() : u' ' + session.model.ConcUnits;
    layout->addWidget(wrappedLabel(
        QStringLiteral("%1 parameter sets (seed %2), threshold %3%4: the existing wells see the plume in %5 % of the "
                       "sets. The best places for new wells, at least %6 from every well and from each other, are "
                       "numbered on the map (left); the existing wells are listed from the most redundant, with the "
                       "chance the network still sees the plume without each (right).")
            .arg(r.settings.runs)
            .arg(r.settings.seed)
            .arg(significantText(r.settings.threshold, 4), units, significantText(100 * r.networkProbability, 4),
                significantText(r.wellSpacing, 4)),
        QStringLiteral("lblStudy"), panel));
    std::vector<QStringList> places, wells;
    int rank = 0;
    for (const DetectionWell &w : r.detectionWells)
        places.push_back({ QString::number(++rank), significantText(w.x, 8), significantText(w.y, 8),
            significantText(w.probability, 3),
            w.nearestWellDistance ? significantText(*w.nearestWellDistance, 4) : QString() });
    for (const WellRedundancy &w : r.redundancy)
        wells.push_back({ w.id, significantText(w.probabilityWithout, 3), significantText(w.loss, 3) });
    auto *tables = new QHBoxLayout;
    tables->addWidget(listTable(QStringLiteral("grdDetectionWells"),
        { QStringLiteral("Rank"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("Probability"),
            QStringLiteral("Nearest well") },
        places, panel));
    tables->addWidget(listTable(QStringLiteral("grdRedundantWells"),
        { QStringLiteral("Well"), QStringLiteral("P without it"), QStringLiteral("Loss") }, wells, panel));
    layout->addLayout(tables);
    auto *exportLists = new QPushButton(QStringLiteral("Export well lists"), panel);
    exportLists->setObjectName(QStringLiteral("cmdExportWells"));
    QObject::connect(exportLists, &QPushButton::clicked, panel, [&session] { detectionListsExportClicked(session); });
    auto *row = new QHBoxLayout;
    row->addWidget(exportLists);
    row->addStretch();
    layout->addLayout(row);
    return panel;
}

} // namespace

QWidget *studyPanel(Session &session, ContourKind kind, QWidget *parent)
{
    switch (kind) {
    case ContourKind::Detection:
        if (const auto &study = session.part<PlumeUncertaintyStore>().last)
            return detectionPanel(session, *study, parent);
        return nullptr;
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference:
        if (const auto &exact = session.part<ExactPlumeStore>().last)
            return wrappedLabel(centrelineMessage(session.model, *exact), QStringLiteral("lblCentreline"), parent);
        return nullptr;
    default: return nullptr;
    }
}

} // namespace qel::gui
