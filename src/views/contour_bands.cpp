#include "views/contour_bands.h"

#include "parallel/worker_pool.h"

#include "analysis/exact_plume.h"
#include "analysis/plume_uncertainty.h"
#include "core/date_text.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "parallel/worker_pool.h"
#include "views/layer_redraw.h"

#include <cmath>

namespace qel {

namespace {

constexpr int White = 14;
constexpr int LegendTextColor = 7;
// A swatch is hatched with lines one grid spacing apart; a project whose label size dwarfs its
// spacing still gets a bounded number of them.
constexpr int MaxSwatchLines = 200;

QString procedureTag(ContourKind kind, const char *procedure)
{
    return QLatin1String(contourKindInfo(kind).reportTag) + QLatin1Char(':') + QLatin1String(procedure);
}

QString layerFile(Session &session, const ContourKindInfo &info)
{
    return layerFilePath(session, info.drawing);
}

// Starts the view's drawing afresh in its layer file.
void startDrawing(Session &session, const ContourKindInfo &info, DrawingComponent &map)
{
    map.SelectDrawing(info.drawing);
    map.NewDrawingFile(layerFile(session, info), 24);
    map.AddLayer(QLatin1String(info.layerName), info.layerColor, 1);
}

// Display updates stay off while the bands are added, and come back on even when drawing fails.
class UpdatesOff {
public:
    explicit UpdatesOff(DrawingComponent &map)
        : m_map(map)
    {
        m_map.SetUpdate(0);
    }
    ~UpdatesOff()
    {
        m_map.SelectDrawing(BaseDrawing);
        m_map.SetUpdate(1);
    }
    UpdatesOff(const UpdatesOff &) = delete;
    UpdatesOff &operator=(const UpdatesOff &) = delete;

private:
    DrawingComponent &m_map;
};

class ContourPainter {
public:
    ContourPainter(Session &session, const ContourKindInfo &info)
        : m(session.model)
        , view(m.*(info.view))
        , info(info)
        , map(drawingOf(session))
        , session(session)
    {
    }

    void line(double x1, double y1, double x2, double y2, int width, int color)
    {
        map.AddStyledLine(x1, y1, x2, y2, width, color, layerName);
    }

    void bands(int sample)
    {
        const double sp = m.PCGridSpacing;
        const std::size_t numX = std::size_t(std::max<int>(m.PCNumX, 0));
        const std::vector<double> *study = info.persistent ? nullptr : studyGrid(session, info.kind);
        if (!info.persistent && !study)
            throw QelError(ErrInvalidCall, studyMissingText(info.kind));
        // Each row's runs are found on every core; the lines then go to the map in row order.
        const int numY = std::max<int>(m.PCNumY, 0);
        std::vector<std::vector<BandRun>> runs(static_cast<std::size_t>(numY));
        forEachItem(numY, [&](int item) {
            const int r = item + 1;
            std::vector<double> row(numX);
            if (study) {
                std::copy_n(study->begin() + std::ptrdiff_t(std::size_t(r - 1) * numX), numX, row.begin());
            } else {
                for (int c = 1; c <= m.PCNumX; ++c)
                    row[std::size_t(c - 1)] = contourGridValue(m, info.kind, c, r, sample);
            }
            // A difference far below the source concentration is the two solutions' rounding in
            // their tails, not a difference to draw: it would fill the whole grid.
            if (info.signedValues) {
                for (double &v : row)
                    if (std::fabs(v) < CentrelineFloor * std::fabs(m.C0))
                        v = 0;
            }
            runs[std::size_t(item)] = rowBandRuns(view, info.skipsNonPositive, row, m.PCLeft, sp, info.signedValues);
        });
        for (int r = 1; r <= numY; ++r) {
            const double y = m.PCTop - (r - 1) * sp;
            for (const BandRun &run : runs[std::size_t(r - 1)])
                line(run.x1, y, run.x2, y, view.LineWidth, run.color);
        }
    }

    // The study's best places for new wells, numbered by rank over the bands.
    void detectionWells()
    {
        const auto &study = session.part<PlumeUncertaintyStore>().last;
        if (!study)
            return;
        const double h = m.MapTextSize > 0 ? m.MapTextSize : 1;
        int rank = 0;
        for (const DetectionWell &w : study->detectionWells) {
            map.AddCircle({}, w.x, w.y, 0.5 * h);
            map.SetEntityProperty(QStringLiteral("ELINE"), QStringLiteral("2"));
            map.SetEntityProperty(QStringLiteral("LAYER"), QLatin1String(info.layerName));
            map.SetEntityColor(map.LastEntityHandle(), LegendTextColor);
            const QString number = QString::number(++rank);
            legendText(QStringLiteral("Rank") + number, w.x + 0.8 * h, w.y, h, number);
        }
    }

    void legendText(const QString &tag, double x, double y, double h, const QString &text)
    {
        map.AddTextStyle(QStringLiteral("STANDARD"), QStringLiteral("Arial"), 400, 16, 1.0);
        map.AddText(tag, x, y, QStringLiteral("LM"), h, 1.0, 0.0, text);
        map.SetEntityProperty(QStringLiteral("ECOLOR"), QString::number(LegendTextColor));
        map.SetEntityColor(map.LastEntityHandle(), LegendTextColor);
    }

    QString legendTitle() const
    {
        switch (info.kind) {
        case ContourKind::Plume: return QStringLiteral("Plume (") + m.ConcUnits + QLatin1Char(')');
        case ContourKind::MinDist: return QStringLiteral("MinDist (") + m.DistUnits + QLatin1Char(')');
        case ContourKind::Wolf:
            return QStringLiteral("WOLF (") + m.ConcUnits + QStringLiteral(" . ") + m.DistUnits
                + QStringLiteral("-Sq)");
        case ContourKind::Detection: return QStringLiteral("Detection probability");
        case ContourKind::ExactPlume: return QStringLiteral("Exact plume (") + m.ConcUnits + QLatin1Char(')');
        case ContourKind::ExactDifference: return QStringLiteral("Exact - Domenico (") + m.ConcUnits + QLatin1Char(')');
        }
        return {};
    }

    void legend()
    {
        const double h = m.MapTextSize;
        const double sp = m.PCGridSpacing;
        const double lx = view.LegendX, ly = view.LegendY;
        const int w = view.LineWidth;
        if (!(sp > 0))
            throw QelError(ErrInvalidCall, QStringLiteral("The model grid spacing must be positive to draw a legend."));
        const double hatch = std::max(sp, 2 * h / MaxSwatchLines);
        legendText(QStringLiteral("Title"), lx + h, ly - h, h, legendTitle());
        double y = ly - 2 * h;
        qsizetype longest = 0;
        for (int k = 1; k <= view.NumLevels; ++k) {
            const QString label = contourValueText(session, info.kind, view.CMin(k)) + QStringLiteral(" - ")
                + contourValueText(session, info.kind, view.CMax(k));
            longest = std::max(longest, label.size());
            const int color = view.CColor(k);
            double last = y;
            for (int i = 0;; ++i) {
                const double yy = y - i * hatch;
                if (yy < y - 2 * h)
                    break;
                line(lx + h, yy, lx + 3 * h, yy, w, color);
                last = yy;
            }
            line(lx + h, y, lx + h, last, w, color);
            line(lx + 3 * h, y, lx + 3 * h, last, w, color);
            legendText(QStringLiteral("Lvl") + QString::number(k), lx + 3.5 * h, y - h, h, label);
            y -= 2.5 * h;
        }
        const double right = lx + 3.5 * h + 0.7 * h * double(longest) + 3.0;
        const double bottom = y - 0.5 * h;
        const auto frame = [&](double x1, double y1, double x2, double y2) {
            map.AddLine({}, x1, y1, x2, y2);
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QString::number(LegendTextColor));
            map.SetEntityProperty(QStringLiteral("ELINE"), QStringLiteral("1"));
            map.SetEntityProperty(QStringLiteral("LAYER"), QLatin1String(info.layerName));
        };
        frame(lx, ly, right, ly);
        frame(right, ly, right, bottom);
        frame(right, bottom, lx, bottom);
        frame(lx, bottom, lx, ly);
        ContourLegendBoxes::Corner &corner = session.part<ContourLegendBoxes>().of(info.kind);
        corner.x2 = right;
        corner.y2 = bottom;
    }

    ProjectModel &m;
    const ContourView &view;
    const ContourKindInfo &info;
    DrawingComponent &map;
    Session &session;
    const QString layerName = QLatin1String(info.layerName);
};

bool insideLegend(const ContourView &view, const ContourLegendBoxes::Corner &corner, double x, double y)
{
    return corner.x2 != 0 && view.LegendX <= x && x <= corner.x2 && corner.y2 <= y && y <= view.LegendY;
}

} // namespace

int levelOf(const ContourView &levels, double value)
{
    for (int k = 1; k <= levels.NumLevels && k <= MaxContourLevels; ++k)
        if (levels.CMin(k) < value && value <= levels.CMax(k))
            return k;
    return 0;
}

int levelColorOf(const ContourView &levels, double value)
{
    const int level = levelOf(levels, value);
    return level ? levels.CColor(level) : 0;
}

std::vector<BandRun> rowBandRuns(const ContourView &levels, bool skipsNonPositive, std::span<const double> values,
    double left, double spacing, bool signedValues)
{
    std::vector<BandRun> runs;
    const std::size_t n = values.size();
    int current = 0;
    double runStart = 0, lastX = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool lastColumn = i + 1 == n;
        const double x = left + double(i) * spacing;
        const double v = values[i];
        bool passes = true; // the node neither ends nor starts a run
        const bool skipped = signedValues ? v == 0 && current == 0 : v <= 0 && (current == 0 || skipsNonPositive);
        if (!skipped) {
            const int color = signedValues && v == 0 ? 0 : levelColorOf(levels, v);
            if (!(color == 0 && current == 0) && color != White && !(color == current && !lastColumn)) {
                passes = false;
                if (current != 0)
                    runs.push_back({ runStart, lastX, current });
                current = 0;
                if (!lastColumn && color != 0) {
                    runStart = x;
                    current = color;
                }
            }
        }
        // A run still open when the row ends on a node that passes would be lost; it ends at the
        // node before, as every run the last column ends.
        if (passes && lastColumn && current != 0)
            runs.push_back({ runStart, lastX, current });
        lastX = x;
    }
    return runs;
}

QString contourValueText(Session &session, ContourKind kind, double value)
{
    if (contourKindInfo(kind).signedValues && value < 0)
        return QLatin1Char('-') + FormatToString(session, -value);
    return FormatToString(session, value);
}

QString studyMissingText(ContourKind kind)
{
    return kind == ContourKind::Detection
        ? QStringLiteral("There is no detection probability to show: run Run > Plume Uncertainty on the model grid "
                         "as it is now first.")
        : QStringLiteral("There is no exact plume to show: run Run > Exact Plume on the model grid as it is now "
                         "first.");
}

QString plumeSampleText(const ProjectModel &m, int sample)
{
    if (sample == m.NumSamples + 1)
        return QStringLiteral("Average");
    return shortDateText(m.SampleDate(sample));
}

void mapContourBands(Session &session, ContourKind kind, int sample)
{
    const ContourKindInfo &info = contourKindInfo(kind);
    guarded(session, procedureTag(kind, info.drawProcedure), [&] {
        ProjectModel &m = session.model;
        Redraw(session, info.drawing);
        if (!CreateTempPathIfNeeded(session))
            return;
        DrawingComponent &map = drawingOf(session);
        ContourPainter painter(session, info);
        {
            startDrawing(session, info, map);
            map.SelectDrawing(info.drawing);
            const UpdatesOff updatesOff(map);
            painter.bands(sample);
            if (kind == ContourKind::Detection)
                painter.detectionWells();
            if ((m.*(info.view)).Legend)
                painter.legend();
        }
        session.layers.enable(info.layer);
        session.layers.setText(info.layer,
            kind == ContourKind::Plume ? QStringLiteral("Plume (") + plumeSampleText(m, sample) + QLatin1Char(')')
                                       : QLatin1String(info.nodeText));
        session.layers.tick(info.layer);
        session.frontend().layersChanged();
        Redraw(session, 0);
        storeViewSetting(session, info, m.*(info.mapIndex), kind == ContourKind::Plume ? int16(sample) : int16(1));
    });
}

void locateContourLegend(Session &session, ContourKind kind)
{
    const ContourKindInfo &info = contourKindInfo(kind);
    guarded(session, procedureTag(kind, "cmdLegend_Click"), [&] {
        ProjectModel &m = session.model;
        ContourView &view = m.*(info.view);
        if (!view.Legend)
            return;
        DrawingComponent &map = drawingOf(session);
        ContourLegendBoxes &boxes = session.part<ContourLegendBoxes>();
        double x = 0, y = 0;
        for (;;) {
            session.setStatus(QStringLiteral("Select top-left corner of legend on the map (right button to abort)"));
            map.GetPoint(QStringLiteral("Select top-left of legend (right button to abort):"), x, y);
            session.setStatus({});
            if (map.LastInputStatus() != InputPicked)
                return;
            bool overlaps = false;
            for (int other = 0; other < ContourKindCount; ++other)
                if (other != int(kind)
                    && insideLegend(m.*(contourKindInfo(ContourKind(other)).view), boxes.of(ContourKind(other)), x, y))
                    overlaps = true;
            if (!overlaps)
                break;
            WriteLog(session, QStringLiteral("Plume legend overlapping.  Try again."));
            const MsgAnswer answer = session.frontend().messageBox(
                QStringLiteral("The legend overlaps with one of the other contour legends. \n"
                               "Press [Retry] to locate legend again, or [Cancel] to leave it overlapped."),
                QStringLiteral("Overlapping legends!"), MsgButtons::RetryCancel, MsgIcon::Warning);
            if (answer != MsgAnswer::Retry)
                break;
        }
        if (m.RoundXY == 0)
            raise(ErrDivisionByZero);
        view.LegendX = std::trunc(x / m.RoundXY) * m.RoundXY;
        view.LegendY = std::trunc(y / m.RoundXY) * m.RoundXY;
        if (info.persistent)
            session.markChanged();
    });
}

void clearContourBands(Session &session, ContourKind kind)
{
    const ContourKindInfo &info = contourKindInfo(kind);
    guarded(session, procedureTag(kind, "cmdClearContours_Click"), [&] {
        Redraw(session, info.drawing);
        if (!CreateTempPathIfNeeded(session))
            return;
        DrawingComponent &map = drawingOf(session);
        startDrawing(session, info, map);
        map.SelectDrawing(BaseDrawing);
        session.layers.setText(info.layer, QLatin1String(info.nodeText));
        session.layers.untick(info.layer);
        session.layers.disable(info.layer);
        session.frontend().layersChanged();
        // Nothing of this view is on the map now: a reopened project must not draw it again.
        storeViewSetting(session, info, session.model.*(info.mapIndex), int16(0));
    });
}

} // namespace qel
