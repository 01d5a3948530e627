#include "analysis/new_well_places.h"

#include "core/batch_run.h"
#include "core/csv_rows.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "core/whole_file.h"

#include <algorithm>

namespace qel {

namespace {

constexpr int PlacesInTheBatchFile = 3;

bool isLocalMaximum(const ProjectModel &m, int ix, int iy)
{
    const double value = m.WOLFGrid(ix, iy);
    if (!(value > 0))
        return false;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = ix + dx, ny = iy + dy;
            if ((dx == 0 && dy == 0) || nx < 1 || ny < 1 || nx > m.PCNumX || ny > m.PCNumY)
                continue;
            const double other = m.WOLFGrid(nx, ny);
            const bool earlier = ny < iy || (ny == iy && nx < ix);
            if (other > value || (other == value && earlier))
                return false;
        }
    }
    return true;
}

} // namespace

std::vector<NewWellPlace> bestNewWellPlaces(const ProjectModel &m, int count)
{
    std::vector<NewWellPlace> places;
    if (m.PCNumX < 1 || m.PCNumY < 1 || m.PCNumX > MaxGridNodes || m.PCNumY > MaxGridNodes || m.Conc.isEmpty())
        return places;
    const int average = m.NumSamples + 1;
    for (int iy = 1; iy <= m.PCNumY; ++iy)
        for (int ix = 1; ix <= m.PCNumX; ++ix)
            if (isLocalMaximum(m, ix, iy))
                places.push_back({ ix, iy, m.PCLeft + (ix - 1) * m.PCGridSpacing, m.PCTop - (iy - 1) * m.PCGridSpacing,
                    m.WOLFGrid(ix, iy), m.MinDistGrid(ix, iy), m.Conc(ix, iy, average) });
    // Stable: of equal maxima the first in row order ranks first.
    std::stable_sort(
        places.begin(), places.end(), [](const NewWellPlace &a, const NewWellPlace &b) { return a.wolf > b.wolf; });
    if (places.size() > std::size_t(std::max(count, 0)))
        places.resize(std::size_t(std::max(count, 0)));
    return places;
}

QByteArray newWellPlacesCsv(const std::vector<NewWellPlace> &places)
{
    QString text = QStringLiteral("Rank,X,Y,WOLF,Distance to nearest well,Average concentration\r\n");
    int rank = 0;
    for (const NewWellPlace &p : places)
        text += csvRow({ QString::number(++rank), numberText(p.x), numberText(p.y), numberText(p.wolf),
            numberText(p.minDistance), numberText(p.concentration) });
    return text.toUtf8();
}

bool writeNewWellPlaces(Session &session, const QString &target)
{
    return guarded(session, QStringLiteral("WOLF:NewWellPlaces"), [&] {
        if (!session.model.WFDone)
            throw QelError(ErrInvalidCall,
                QStringLiteral("There are no places for new wells: the project has not computed the WOLF factor."));
        const std::vector<NewWellPlace> places = bestNewWellPlaces(session.model, PlacesInTheBatchFile);
        writeWholeFileOrRaise(target, newWellPlacesCsv(places));
        Message(session, QStringLiteral("Saved %1 places for new wells: %2").arg(places.size()).arg(target));
    });
}

void registerNewWellPlacesBatchOutput()
{
    registerBatchOutput(QStringLiteral("--new-wells"), &writeNewWellPlaces);
}

} // namespace qel
