#include "views/contour_view.h"

#include "core/date_text.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "core/step_dependencies.h"
#include "map/map_session.h"
#include "views/contour_bands.h"
#include "views/contour_kinds.h"
#include "views/nice_range.h"

#include <cmath>

namespace qel {

namespace {

// A box holding no number keeps its text and changes nothing.
std::optional<double> boxNumber(const QString &text)
{
    return strictNumber(text);
}

bool sameLevels(const ContourView &a, const ContourView &b)
{
    for (int i = 0; i <= MaxContourLevels; ++i)
        if (a.CMin(i) != b.CMin(i) || a.CMax(i) != b.CMax(i) || a.CColor(i) != b.CColor(i))
            return false;
    return true;
}

} // namespace

ContourViewLogic::ContourViewLogic(Session &session, ContourKind kind)
    : m_session(session)
    , m_kind(kind)
{
}

ContourView &ContourViewLogic::view() const
{
    return m_session.model.*(info().view);
}

bool &ContourViewLogic::done() const
{
    return m_session.model.*(info().done);
}

QString ContourViewLogic::reportTag(const char *procedure) const
{
    return QLatin1String(info().reportTag) + QLatin1Char(':') + QLatin1String(procedure);
}

QString ContourViewLogic::boundText(double value) const
{
    if (m_kind == ContourKind::MinDist)
        return fixedDecimalsText(value, m_generated ? 1 : 2);
    return contourValueText(m_session, m_kind, value);
}

QString ContourViewLogic::rangeText(double value) const
{
    return m_kind == ContourKind::MinDist ? numberText(value) : contourValueText(m_session, m_kind, value);
}

void ContourViewLogic::truncateToRoundXY(double &value) const
{
    const double r = m_session.model.RoundXY;
    if (r == 0)
        raise(ErrDivisionByZero);
    value = std::trunc(value / r) * r;
}

QStringList ContourViewLogic::headings() const
{
    switch (m_kind) {
    case ContourKind::Plume: return { QStringLiteral("Cmin"), QStringLiteral("Cmax"), QStringLiteral("Color") };
    case ContourKind::MinDist: return { QStringLiteral("Dmin"), QStringLiteral("Dmax"), QStringLiteral("Color") };
    case ContourKind::Wolf: return { QStringLiteral("Fmin"), QStringLiteral("Fmax"), QStringLiteral("Color") };
    case ContourKind::Detection: return { QStringLiteral("Pmin"), QStringLiteral("Pmax"), QStringLiteral("Color") };
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference:
        return { QStringLiteral("Cmin"), QStringLiteral("Cmax"), QStringLiteral("Color") };
    }
    return {};
}

void ContourViewLogic::fillRows(bool generated)
{
    m_generated = generated;
    m_rows.clear();
    const ContourView &v = view();
    for (int i = 1; i <= v.NumLevels && i <= MaxContourLevels; ++i)
        m_rows.push_back({ boundText(v.CMin(i)), boundText(v.CMax(i)), int(v.CColor(i)) });
}

bool ContourViewLogic::load()
{
    bool loaded = false;
    guarded(m_session, reportTag("Form_Load"), [&] {
        ProjectModel &m = m_session.model;
        ContourView &v = view();
        m_session.FormTag = QLatin1String(info().formTag);
        m_eventsFromUser = false;
        m_rows.clear();
        if (done())
            fillRows(false);
        switch (m_kind) {
        case ContourKind::Plume:
        case ContourKind::Wolf: {
            if (!done()) {
                if (m_kind == ContourKind::Plume) {
                    const NiceRange proposed = niceRange(m.ConcMin, m.ConcMax);
                    m_boxes[MinBox] = FormatToString(m_session, proposed.min);
                    m_boxes[MaxBox] = FormatToString(m_session, proposed.max);
                    // The stored range carries the rounding of the texts shown.
                    v.Min = leadingNumber(m_boxes[MinBox]);
                    v.Max = leadingNumber(m_boxes[MaxBox]);
                } else {
                    // The WOLF levels never start below the plume's.
                    const double least = m.WOLFMin < m.PC.Min ? m.PC.Min : m.WOLFMin;
                    const NiceRange proposed = niceRange(least, m.WOLFMax);
                    v.Min = proposed.min < m.PC.Min ? least : proposed.min;
                    v.Max = proposed.max;
                }
                v.NumLevels = 5;
                v.LineWidth = 1;
            }
            if (m_kind == ContourKind::Wolf || done()) {
                m_boxes[MinBox] = FormatToString(m_session, v.Min);
                m_boxes[MaxBox] = FormatToString(m_session, v.Max);
            }
            const bool plume = m_kind == ContourKind::Plume;
            m_rangeMin = (plume ? QStringLiteral("Cmin: ") : QStringLiteral("WOLFmin: "))
                + FormatToString(m_session, plume ? m.ConcMin : m.WOLFMin);
            m_rangeMax = (plume ? QStringLiteral("Cmax: ") : QStringLiteral("WOLFmax: "))
                + FormatToString(m_session, plume ? m.ConcMax : m.WOLFMax);
            break;
        }
        case ContourKind::MinDist:
            if (done()) {
                truncateToRoundXY(v.Min);
                truncateToRoundXY(v.Max);
                m_boxes[MinBox] = numberText(v.Min);
                m_boxes[MaxBox] = numberText(v.Max);
            } else {
                v.NumLevels = 5;
                v.LineWidth = 1;
                // Generate uses the range the boxes show: left at its old values (0 in a new
                // project), the maximum made a first Generate run downwards and draw nothing.
                v.Min = m.MinDistMin;
                v.Max = m.MinDistMax;
                // Distances near the wells say little; the range starts at a tenth of the largest.
                if (0.1 * m.MinDistMax > m.MinDistMin) {
                    m.MinDistMin = 0.1 * m.MinDistMax;
                    v.Min = m.MinDistMin;
                    truncateToRoundXY(v.Min);
                }
                // Proposed in whole steps of the coordinate rounding, which a reopened view
                // truncates its range to.
                const NiceRange proposed = niceRange(v.Min, v.Max, m.RoundXY);
                v.Min = proposed.min;
                v.Max = proposed.max;
                m_boxes[MinBox] = numberText(v.Min);
                m_boxes[MaxBox] = numberText(v.Max);
            }
            m_rangeMin = QStringLiteral("DISTmin: ") + fixedDecimalsText(m.MinDistMin, 2);
            m_rangeMax = QStringLiteral("DISTmax: ") + fixedDecimalsText(m.MinDistMax, 2);
            break;
        case ContourKind::Detection:
        case ContourKind::ExactPlume:
        case ContourKind::ExactDifference:
            if (!loadStudyRange())
                return;
            break;
        }
        m_boxes[NumLevelsBox] = QString::number(v.NumLevels);
        m_boxes[LineWidthBox] = QString::number(v.LineWidth);
        if (m.NumSamples == 0) {
            m_session.ErrorText
                = QStringLiteral("Error: Number of dates = 0. Appears to be an error in reading water level, \n"
                                 "running regression, or analytical solution.  Please revise and correct first.");
            ReportWarning(m_session);
            return;
        }
        m_samples.clear();
        if (m_kind == ContourKind::Plume) {
            for (int i = 1; i <= m.NumSamples; ++i)
                m_samples << shortDateText(m.SampleDate(i));
            m_samples << QStringLiteral("Average");
        }
        // The stored index says what is on the map; opening the view only preselects a sample and
        // puts nothing on the map, so a cleared view stays cleared in the saved project.
        const int16 mapIndex = m.*(info().mapIndex);
        m_selectedSample = mapIndex < 1 ? int16(1) : mapIndex;
        loaded = true;
        if (m.RunMode != QLatin1String("Batch")) {
            m_eventsFromUser = true;
            return;
        }
        m_session.setStatus(QLatin1String(info().batchStatus));
        if (mapIndex > 0)
            draw();
    });
    return loaded;
}

bool ContourViewLogic::loadStudyRange()
{
    const std::vector<double> *grid = studyGrid(m_session, m_kind);
    if (!grid) {
        m_session.ErrorText = studyMissingText(m_kind);
        ReportWarning(m_session);
        return false;
    }
    const StudyRange range = studyRange(*grid, info().signedValues);
    ContourView &v = view();
    ProjectModel &m = m_session.model;
    // The exact plume starts from the plume view's levels, so that the two read side by side.
    if (!done() && m_kind == ContourKind::ExactPlume && m.PCDone && m.PC.NumLevels > 0) {
        v = m.PC;
        v.Legend = false;
        done() = true;
        fillRows(false);
    }
    if (!done()) {
        const NiceRange proposed
            = m_kind == ContourKind::Detection ? NiceRange { 0, 1 } : niceRange(range.min, range.max);
        v.Min = proposed.min;
        v.Max = proposed.max;
        v.NumLevels = 5;
        v.LineWidth = 1;
    }
    m_boxes[MinBox] = contourValueText(m_session, m_kind, v.Min);
    m_boxes[MaxBox] = contourValueText(m_session, m_kind, v.Max);
    const QString name = m_kind == ContourKind::Detection ? QStringLiteral("P") : QStringLiteral("C");
    m_rangeMin = name + QStringLiteral("min: ") + contourValueText(m_session, m_kind, range.min);
    m_rangeMax = name + QStringLiteral("max: ") + contourValueText(m_session, m_kind, range.max);
    return true;
}

bool ContourViewLogic::logRefuses(double value, const char *which) const
{
    if (!(view().UseLog && value <= 0))
        return false;
    m_session.frontend().messageBox(
        QStringLiteral("For log scale, %1 value must not be zero! Please change.").arg(QLatin1String(which)),
        QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Warning);
    return true;
}

bool ContourViewLogic::validate(Box box, const QString &text)
{
    bool accepted = true;
    static const char *const procedures[]
        = { "txtMin_Validate", "txtMax_Validate", "txtNumLevels_Validate", "txtLineWidth_Validate" };
    guarded(m_session, reportTag(procedures[box]), [&] {
        m_boxes[box] = text;
        const std::optional<double> number = boxNumber(text);
        if (!number)
            return;
        const double v = *number;
        ContourView &settings = view();
        const auto shown = [this](double value) { return rangeText(value); };
        switch (box) {
        // A reverted value still gets the log-scale warning; the box then shows the stored value,
        // so the focus may leave it.
        case MinBox: {
            const bool reverts = v < 0 && !info().signedValues;
            if (reverts) {
                m_boxes[box] = shown(settings.Min);
            } else {
                storeViewSetting(m_session, info(), settings.Min, v);
                if (m_kind == ContourKind::Wolf)
                    m_boxes[box] = shown(v);
            }
            if (info().hasLogScale)
                accepted = !logRefuses(v, "minimum") || reverts;
            return;
        }
        case MaxBox: {
            const bool reverts = (v < 0 && !info().signedValues) || (m_kind == ContourKind::Wolf && v <= 0);
            if (reverts)
                m_boxes[box] = shown(settings.Max);
            else
                storeViewSetting(m_session, info(), settings.Max, v);
            if (info().hasLogScale)
                accepted = !logRefuses(v, "maximum") || reverts;
            return;
        }
        case NumLevelsBox: {
            const int n = roundToInt16(v);
            if (n < 0)
                return;
            if (n > MaxContourLevels)
                m_boxes[box] = QStringLiteral("5");
            storeViewSetting(m_session, info(), settings.NumLevels, int16(std::min(n, MaxContourLevels)));
            return;
        }
        case LineWidthBox: {
            const int n = roundToInt16(v);
            if (n >= 1 && n <= 5)
                storeViewSetting(m_session, info(), settings.LineWidth, int16(n));
            return;
        }
        }
    });
    return accepted;
}

bool ContourViewLogic::setUseLog(bool ticked)
{
    if (!info().hasLogScale)
        return false;
    if (!ticked) {
        storeViewSetting(m_session, info(), view().UseLog, false);
        return false;
    }
    if (leadingNumber(m_boxes[MinBox]) <= 0 || leadingNumber(m_boxes[MaxBox]) <= 0) {
        m_session.frontend().messageBox(QStringLiteral("For log scale, min/max values must not be\n"
                                                       "zero or negative! Please change min/max\n"
                                                       "values if you wish to use Log scale."),
            QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Warning);
        storeViewSetting(m_session, info(), view().UseLog, false);
        return false;
    }
    storeViewSetting(m_session, info(), view().UseLog, true);
    return true;
}

void ContourViewLogic::setLegend(bool ticked)
{
    storeViewSetting(m_session, info(), view().Legend, ticked);
}

void ContourViewLogic::chooseSample(int listIndex)
{
    m_selectedSample = listIndex + 1;
}

void ContourViewLogic::generate()
{
    guarded(m_session, reportTag("cmdGenerate_Click"), [&] {
        m_eventsFromUser = false;
        ContourView &v = view();
        const ContourView before = v;
        const bool wasDone = done();
        const int n = v.NumLevels;
        if (n == 0)
            raise(ErrDivisionByZero);
        if (n < 0 || n > MaxContourLevels)
            raise(ErrSubscript);
        const bool log = info().hasLogScale && v.UseLog;
        double s = 0, step = 0;
        if (log) {
            if (!(v.Min > 0) || !(v.Max > 0))
                raise(ErrInvalidCall); // the logarithm of a bound that is not positive
            s = std::floor(std::log(v.Min) / std::log(10.0) + 0.1);
            const double top = std::floor(std::log(v.Max) / std::log(10.0)) + 1;
            step = (top - s) / n;
        } else {
            s = v.Min;
            step = (v.Max - v.Min) / n;
        }
        if (v.CColor(n) == 0 && v.CColor(1) == 0)
            for (int i = 1; i <= n; ++i)
                v.CColor(i) = ((n - i) % 5) + 1;
        for (int i = 1; i <= n; ++i) {
            const double e = s + step;
            if (log) {
                v.CMin(i) = std::pow(10.0, s);
                v.CMax(i) = std::pow(10.0, e);
            } else {
                if (s == 0 && info().refusesZeroBounds)
                    s = 0.001;
                v.CMin(i) = s;
                v.CMax(i) = e;
            }
            s = e;
        }
        fillRows(true);
        done() = true;
        if (info().persistent && (!wasDone || !sameLevels(before, v)))
            m_session.markChanged();
    });
    m_eventsFromUser = true;
}

QString ContourViewLogic::commitCell(int row, int column, const QString &text, bool *committed)
{
    QString kept = text;
    if (committed)
        *committed = false;
    guarded(m_session, reportTag("MSFlexGrid1_LeaveCell"), [&] {
        if (row < 1 || row > int(m_rows.size()) || column < 0 || column > 1)
            return;
        const std::optional<double> number = strictNumber(text);
        if (!number)
            raise(ErrTypeMismatch);
        double value = *number;
        if (value == 0 && info().refusesZeroBounds) {
            m_session.frontend().messageBox(QStringLiteral("Zero value is not allowed. Value changed to 0.001.\n"
                                                           "Please enter another positive number if you wish."),
                QStringLiteral("Zero invalid"), MsgButtons::Ok, MsgIcon::Warning);
            kept = QStringLiteral("0.001");
            value = 0.001;
        }
        Row &r = m_rows[std::size_t(row - 1)];
        (column == 0 ? r.lower : r.upper) = kept;
        storeViewSetting(m_session, info(), column == 0 ? view().CMin(row) : view().CMax(row), value);
        // Bands meet: a band's upper bound is the next band's lower bound, and the other way round.
        const int linked = column == 0 ? row - 1 : row + 1;
        if (linked >= 1 && linked <= int(m_rows.size())) {
            Row &other = m_rows[std::size_t(linked - 1)];
            (column == 0 ? other.upper : other.lower) = kept;
            storeViewSetting(m_session, info(), column == 0 ? view().CMax(linked) : view().CMin(linked), value);
        }
        if (committed)
            *committed = true;
    });
    return kept;
}

void ContourViewLogic::setLevelColor(int row, int color)
{
    if (row < 1 || row > int(m_rows.size()) || color < 1 || color > 14)
        return;
    storeViewSetting(m_session, info(), view().CColor(row), Colour(color));
    m_rows[std::size_t(row - 1)].color = color;
}

void ContourViewLogic::draw()
{
    const int reportedBefore = m_session.errorsReported;
    mapContourBands(m_session, m_kind, m_kind == ContourKind::Plume ? m_selectedSample : 1);
    // Drawn afresh from the results there are now: a view that was out of date is current again.
    const std::optional<Step> step = info().closeStep;
    if (step && m_session.errorsReported == reportedBefore && m_session.outline.state(*step) == CheckState::All) {
        m_session.part<StepFreshness>().stepRan(*step);
        m_session.frontend().outlineChanged();
    }
}

void ContourViewLogic::clear()
{
    clearContourBands(m_session, m_kind);
}

bool ContourViewLogic::locateLegend()
{
    if (!view().Legend)
        return false;
    const int reportedBefore = m_session.errorsReported;
    const ContourView before = view();
    locateContourLegend(m_session, m_kind);
    const bool placed
        = m_session.errorsReported == reportedBefore && drawingOf(m_session).LastInputStatus() == InputPicked;
    if (!placed)
        return false;
    // Where the legend's top-left corner went, in the size it was last drawn (a square of a few
    // text heights before the first drawing); it shows there from the next Draw on.
    const ContourView &v = view();
    const ContourLegendBoxes::Corner corner = m_session.part<ContourLegendBoxes>().of(m_kind);
    const double h = m_session.model.MapTextSize > 0 ? m_session.model.MapTextSize : 1;
    const bool drawnBefore = corner.x2 != 0 || corner.y2 != 0;
    const double width = drawnBefore ? corner.x2 - before.LegendX : 6 * h;
    const double height = drawnBefore ? before.LegendY - corner.y2 : 6 * h;
    m_placedLegend = QRectF(v.LegendX, v.LegendY - height, width, height);
    m_session.setStatus(
        QStringLiteral("Legend placed at ") + numberText(v.LegendX) + QStringLiteral(", ") + numberText(v.LegendY));
    return true;
}

QString ContourViewLogic::rangeExplanation(bool minimum) const
{
    switch (m_kind) {
    case ContourKind::Plume:
        return minimum ? QStringLiteral("Cmin: the smallest concentration above zero at any node of the model grid on "
                                        "any sample date")
                       : QStringLiteral("Cmax: the largest concentration at any node of the model grid on any "
                                        "sample date");
    case ContourKind::MinDist:
        return minimum ? QStringLiteral("DISTmin: the smallest distance above zero from a node of the model grid to "
                                        "its nearest well, truncated to the coordinate rounding; a new view raises it "
                                        "to a tenth of DISTmax")
                       : QStringLiteral("DISTmax: the largest distance from a node of the model grid to its nearest "
                                        "well, truncated to the coordinate rounding");
    case ContourKind::Wolf:
        return minimum ? QStringLiteral("WOLFmin: the smallest WOLF factor above zero at any node of the model grid "
                                        "(squared distance to the nearest well times the average concentration)")
                       : QStringLiteral("WOLFmax: the largest WOLF factor at any node of the model grid");
    case ContourKind::Detection:
        return minimum
            ? QStringLiteral("Pmin: the smallest probability above zero, at any node of the model grid, that "
                             "the date-averaged concentration reaches the study's threshold")
            : QStringLiteral("Pmax: the largest such probability at any node of the model grid");
    case ContourKind::ExactPlume:
        return minimum ? QStringLiteral("Cmin: the smallest date-averaged exact concentration above zero at any node "
                                        "of the model grid")
                       : QStringLiteral("Cmax: the largest date-averaged exact concentration at any node of the model "
                                        "grid");
    case ContourKind::ExactDifference:
        return minimum
            ? QStringLiteral("Cmin: the most negative difference, exact minus Domenico, of the date averages "
                             "at any node of the model grid (Domenico above the exact plume)")
            : QStringLiteral("Cmax: the largest difference, exact minus Domenico, of the date averages at "
                             "any node of the model grid (Domenico below the exact plume); differences smaller "
                             "than 0.1 % of the source concentration are not drawn");
    }
    return {};
}

void ContourViewLogic::close()
{
    WriteLog(m_session, m_session.FormTag + QStringLiteral(": [Close]"));
    if (info().closeStep)
        m_session.checkNode(*info().closeStep);
    done() = true;
    m_session.setStatus({});
}

StudyRange studyRange(const std::vector<double> &grid, bool signedValues)
{
    StudyRange range;
    bool any = false;
    for (const double v : grid) {
        if (!std::isfinite(v) || (!signedValues && !(v > 0)))
            continue;
        range.min = any ? std::min(range.min, v) : v;
        range.max = any ? std::max(range.max, v) : v;
        any = true;
    }
    return range;
}

void replayContourView(Session &session, ContourKind kind)
{
    ContourViewLogic(session, kind).load();
}

} // namespace qel
