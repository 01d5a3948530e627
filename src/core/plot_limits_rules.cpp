#include "core/plot_limits_rules.h"

#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qel {

namespace {

using M = ProjectModel;
using B = PlotBox;

std::size_t slot(PlotBox box)
{
    return static_cast<std::size_t>(box);
}

// The project variable behind each edge box, in box order; the last three boxes have none.
constexpr std::array<double M::*, 12> EdgeFields = { &M::MapLeft, &M::MapRight, &M::MapTop, &M::MapBottom, &M::PLLeft,
    &M::PLRight, &M::PLTop, &M::PLBottom, &M::PCLeft, &M::PCRight, &M::PCTop, &M::PCBottom };

// The project values the boxes edit, to tell an accepted change from a value re-entered unchanged.
struct PlotLimitValues {
    std::array<double, EdgeFields.size()> edges {};
    double spacing = 0;
    qint16 numX = 0, numY = 0;
    bool sameLimits = false;
    bool operator==(const PlotLimitValues &) const = default;
};

PlotLimitValues plotLimitValues(const ProjectModel &m)
{
    PlotLimitValues values { {}, m.PCGridSpacing, m.PCNumX, m.PCNumY, m.SameLimits };
    for (std::size_t i = 0; i < EdgeFields.size(); ++i)
        values.edges[i] = m.*EdgeFields[i];
    return values;
}

bool isEdge(PlotBox box)
{
    return slot(box) < EdgeFields.size();
}

double M::*edgeField(PlotBox box)
{
    if (!isEdge(box))
        raise(ErrSubscript);
    return EdgeFields[slot(box)];
}

bool isPlotLimit(PlotBox box)
{
    return box >= B::PLLeft && box <= B::PLBottom;
}

// The model-grid edge a plot-limit edge maps onto (same side).
PlotBox gridEdgeOf(PlotBox plotLimit)
{
    return static_cast<PlotBox>(slot(plotLimit) - slot(B::PLLeft) + slot(B::PCLeft));
}

bool refuses(Refusal when, double value, double bound)
{
    switch (when) {
    case Refusal::Less: return value < bound;
    case Refusal::LessOrEqual: return value <= bound;
    case Refusal::GreaterOrEqual: return value >= bound;
    case Refusal::Greater: return value > bound;
    }
    return false;
}

void warn(Session &session, const QString &text)
{
    session.ErrorText = text;
    ReportWarning(session);
}

QString countText(qint16 count)
{
    return numberText(count);
}

// The counts and spacing of a usable grid, with the right and top edges on the last node.
void storeGrid(ProjectModel &m, PlotLimitsForm &form, double spacing, qint16 numX, qint16 numY)
{
    m.PCGridSpacing = spacing;
    m.PCNumX = numX;
    m.PCNumY = numY;
    m.PCRight = m.PCLeft + (numX - 1) * spacing;
    m.PCTop = m.PCBottom + (numY - 1) * spacing;
    form[B::PCRight] = numberText(m.PCRight);
    form[B::PCTop] = numberText(m.PCTop);
    form[B::PCNumX] = countText(numX);
    form[B::PCNumY] = countText(numY);
}

// Int(value) into a 16-bit count.
qint16 wholeCount(double value)
{
    const double whole = std::floor(value);
    if (!(whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()))
        raise(ErrOverflow);
    return static_cast<qint16>(whole);
}

QString axisMessage(const char *axis, qint16 count)
{
    return QStringLiteral("Number of %1 grids (%2) exceeds the maximum (%3) allocated in QEL!\n"
                          "Please reduce number of grids by increasing grid spacing.")
        .arg(QLatin1String(axis))
        .arg(count)
        .arg(MaxGridNodes);
}

bool validateSpacing(Session &session, PlotLimitsForm &form, double value)
{
    ProjectModel &m = session.model;
    // Kept even when refused: the buttons stay disabled until a usable spacing is typed.
    m.PCGridSpacing = value;
    if (value <= 0) {
        warn(session, InvalidSpacing);
        return false;
    }
    const qint16 numX = gridNodeCount(m.PCRight - m.PCLeft, value);
    const qint16 numY = gridNodeCount(m.PCTop - m.PCBottom, value);
    if (numX < 10 || numY < 10) {
        warn(session, SpacingTooLarge);
        return false;
    }
    storeGrid(m, form, value, numX, numY);
    if (const QString tooMany = gridSizeMessage(numX, numY); !tooMany.isEmpty()) {
        warn(session, tooMany);
        return false;
    }
    return true;
}

bool validateCount(Session &session, PlotLimitsForm &form, PlotBox box, double value)
{
    qint16 &count = box == B::PCNumX ? session.model.PCNumX : session.model.PCNumY;
    const qint16 typed = wholeCount(value);
    if (gridCountOutOfRange(typed)) {
        warn(session, box == B::PCNumX ? gridSizeMessage(typed, 0) : gridSizeMessage(0, typed));
        form[box] = countText(count);
        return false;
    }
    count = typed;
    return true;
}

bool validateEdge(Session &session, PlotLimitsForm &form, PlotBox box, double value)
{
    ProjectModel &m = session.model;
    if (const auto refusal = edgeRefusal(m, form, box, value)) {
        warn(session, *refusal);
        return false;
    }
    m.*edgeField(box) = value;
    if (isPlotLimit(box)) {
        if (m.SameLimits) {
            const PlotBox gridEdge = gridEdgeOf(box);
            m.*edgeField(gridEdge) = value;
            form[gridEdge] = numberText(value);
            CalculateGridDims(session, form);
        }
    } else if (box >= B::PCLeft) {
        // The left edge too, so the counts always describe the edges shown. A refused grid
        // leaves the typed edge in place.
        CalculateGridDims(session, form);
    }
    return true;
}

} // namespace

QString plotBoxName(PlotBox box)
{
    static const char *const names[NumPlotBoxes]
        = { "txtMLLeft", "txtMLRight", "txtMLTop", "txtMLBottom", "txtPLLeft", "txtPLRight", "txtPLTop", "txtPLBottom",
              "txtPCLeft", "txtPCRight", "txtPCTop", "txtPCBottom", "txtPCGridSpacing", "txtPCNumX", "txtPCNumY" };
    if (slot(box) >= static_cast<std::size_t>(NumPlotBoxes))
        raise(ErrSubscript);
    return QString::fromLatin1(names[slot(box)]);
}

const std::vector<EdgeCheck> &edgeChecks(PlotBox box)
{
    using R = Refusal;
    const auto s = [](const char *text) { return QString::fromLatin1(text); };
    const QString value = s("Value");
    static const std::array<std::vector<EdgeCheck>, NumPlotBoxes> checks = { {
        { { R::GreaterOrEqual, &M::MapRight, B::MLRight, s("Left map extent"),
              s("must be less than the right map extent") },
            { R::Less, &M::BaseMapLeft, {}, s("Left map extent"), s("must be greater than maximum left extent") } },
        { { R::LessOrEqual, &M::MapLeft, B::MLLeft, s("Right map extent"), s("must be greater than left extent") },
            { R::Greater, &M::BaseMapRight, {}, s("Right map extent"), s("must be less than maximum right extent") } },
        { { R::Less, &M::MapBottom, B::MLBottom, s("Top map extent"), s("must be greater than the bottom map extent") },
            { R::Greater, &M::BaseMapTop, {}, s("Top map extent"), s("must be less than maximum top extent") } },
        { { R::GreaterOrEqual, &M::MapTop, B::MLTop, s("Bottom map extent"), s("must be less than top extent") },
            { R::Less, &M::BaseMapBottom, {}, s("Bottom map extent"),
                s("must be greater than maximum bottom extent") } },
        { { R::GreaterOrEqual, &M::PLRight, B::PLRight, s("Plot limit left extent"),
              s("must be less than the right extent") },
            { R::Less, &M::MapLeft, {}, s("Plot limit left extent"),
                s("must be greater than or equal to left map extent") },
            { R::GreaterOrEqual, &M::MapRight, {}, s("Plot limit left extent"),
                s("must be less than the right map extent") } },
        { { R::LessOrEqual, &M::PLLeft, B::PLLeft, s("Plot limit right extent"),
              s("must be greater than left map extent") },
            { R::LessOrEqual, &M::MapLeft, {}, s("Plot limit right extent"),
                s("must be greater than left map extent") },
            { R::Greater, &M::MapRight, {}, value, s("must be less than or equal to the right map extent") } },
        { { R::Less, &M::MapBottom, {}, value, s("must be greater than lower map extent") },
            { R::Greater, &M::MapTop, {}, value, s("must be less than the upper map extent") },
            { R::Less, &M::PLBottom, B::PLBottom, s("Plot limit top extent"),
                s("must be greater than the bottom extent") } },
        { { R::Less, &M::MapBottom, {}, value, s("must be greater or equal to than lower map extent") },
            { R::GreaterOrEqual, &M::MapTop, {}, value, s("must be less than the upper map extent") },
            { R::GreaterOrEqual, &M::PLTop, B::PLTop, s("Bottom extent"), s("must be less than top extent") } },
        { { R::Less, &M::MapLeft, {}, value, s("must be greater than or equal to left map extent") },
            { R::GreaterOrEqual, &M::MapRight, {}, value, s("must be less than the right map extent") } },
        { { R::LessOrEqual, &M::PCLeft, B::PCLeft, s("Right extent"), s("must be greater than left extent") },
            { R::LessOrEqual, &M::MapLeft, {}, value, s("must be greater than left map extent") },
            { R::Greater, &M::MapRight, {}, value, s("must be less than or equal to the right map extent") } },
        { { R::Less, &M::MapBottom, {}, value, s("must be greater than lower map extent") },
            { R::Greater, &M::MapTop, {}, value, s("must be less than the upper map extent") } },
        { { R::Less, &M::MapBottom, {}, value, s("must be greater than or equal to lower map extent") },
            { R::GreaterOrEqual, &M::MapTop, {}, value, s("must be less than the upper map extent") },
            { R::GreaterOrEqual, &M::PCTop, {}, s("Bottom extent"), s("must be less than top extent") } },
        {},
        {},
        {},
    } };
    if (slot(box) >= checks.size())
        raise(ErrSubscript);
    return checks[slot(box)];
}

std::optional<QString> edgeRefusal(const ProjectModel &model, const PlotLimitsForm &form, PlotBox box, double value)
{
    for (const EdgeCheck &check : edgeChecks(box)) {
        if (check.onlyWhenFilled && !form.filled(*check.onlyWhenFilled))
            continue;
        const double bound = model.*check.bound;
        if (refuses(check.when, value, bound))
            return check.subject + QStringLiteral(" (") + numberText(value) + QStringLiteral(") ") + check.phrase
                + QStringLiteral(" (") + numberText(bound) + QStringLiteral(")!");
    }
    return std::nullopt;
}

QString gridSizeMessage(qint16 numX, qint16 numY)
{
    QStringList parts;
    if (gridCountOutOfRange(numX))
        parts << axisMessage("X", numX);
    if (gridCountOutOfRange(numY))
        parts << axisMessage("Y", numY);
    return parts.join(QStringLiteral("\n\n"));
}

qint16 gridNodeCount(double length, double spacing)
{
    if (spacing == 0)
        raise(ErrDivisionByZero);
    const double intervals = std::floor(length / spacing);
    if (!(intervals + 1 >= std::numeric_limits<qint16>::min() && intervals + 1 <= std::numeric_limits<qint16>::max()))
        raise(ErrOverflow);
    return static_cast<qint16>(intervals + 1);
}

PlotLimitsForm loadPlotLimits(Session &session)
{
    PlotLimitsForm form;
    guarded(session, PlotLmtsFormTag + QStringLiteral(":Form_Load"), [&] {
        ProjectModel &m = session.model;
        session.FormTag = PlotLmtsFormTag;
        form.sameLimits = m.SameLimits;
        if (m.PLDone) {
            if (m.SameLimits) {
                m.PCLeft = m.PLLeft;
                m.PCRight = m.PLRight;
                m.PCTop = m.PLTop;
                m.PCBottom = m.PLBottom;
            } else {
                m.PCLeft = std::max(m.PCLeft, m.MapLeft);
                m.PCRight = std::min(m.PCRight, m.MapRight);
                m.PCTop = std::min(m.PCTop, m.MapTop);
                m.PCBottom = std::max(m.PCBottom, m.MapBottom);
            }
            for (std::size_t i = 0; i < EdgeFields.size(); ++i)
                form.text[i] = numberText(m.*EdgeFields[i]);
            if (m.PCGridSpacing <= 0) {
                // A grid never sized: a hundred intervals across.
                m.PCNumX = 101;
                m.PCGridSpacing = (m.PCRight - m.PCLeft) / 100;
                m.PCNumY = gridNodeCount(m.PCTop - m.PCBottom, m.PCGridSpacing);
            } else {
                m.PCNumX = gridNodeCount(m.PCRight - m.PCLeft, m.PCGridSpacing);
                m.PCNumY = gridNodeCount(m.PCTop - m.PCBottom, m.PCGridSpacing);
                form[B::PCGridSpacing] = numberText(m.PCGridSpacing);
                CalculateGridDims(session, form);
            }
            form[B::PCGridSpacing] = numberText(m.PCGridSpacing);
            form[B::PCNumX] = countText(m.PCNumX);
            form[B::PCNumY] = countText(m.PCNumY);
            if (const QString tooMany = gridSizeMessage(m.PCNumX, m.PCNumY); !tooMany.isEmpty())
                warn(session, tooMany);
        } else {
            m.MapLeft = m.BaseMapLeft;
            m.MapBottom = m.BaseMapBottom;
            m.MapRight = m.BaseMapRight;
            m.MapTop = m.BaseMapTop;
            for (PlotBox box : { B::MLLeft, B::MLRight, B::MLTop, B::MLBottom })
                form[box] = numberText(m.*edgeField(box));
        }
        if (m.RunMode != QLatin1String("Batch"))
            CheckStatus(m, form);
    });
    return form;
}

bool validatePlotBox(Session &session, PlotLimitsForm &form, PlotBox box, const QString &text)
{
    bool accepted = false;
    const PlotLimitValues before = plotLimitValues(session.model);
    guarded(session, PlotLmtsFormTag + u':' + plotBoxName(box) + QStringLiteral("_Validate"), [&] {
        form[box] = text;
        if (!form.filled(box)) {
            accepted = true;
        } else {
            const double value = leadingNumber(text);
            if (box == B::PCGridSpacing)
                accepted = validateSpacing(session, form, value);
            else if (box == B::PCNumX || box == B::PCNumY)
                accepted = validateCount(session, form, box, value);
            else
                accepted = validateEdge(session, form, box, value);
        }
        if (accepted)
            CheckStatus(session.model, form);
    });
    // A refused spacing stays in the model only to keep the buttons disabled: no change yet.
    if (accepted && plotLimitValues(session.model) != before)
        session.markChanged();
    return accepted;
}

bool CalculateGridDims(Session &session, PlotLimitsForm &form)
{
    bool usable = false;
    guarded(session, PlotLmtsFormTag + QStringLiteral(":CalculateGridDims"), [&] {
        ProjectModel &m = session.model;
        const double spacing = leadingNumber(form[B::PCGridSpacing]);
        if (spacing <= 0)
            return;
        const qint16 numX = gridNodeCount(m.PCRight - m.PCLeft, spacing);
        const qint16 numY = gridNodeCount(m.PCTop - m.PCBottom, spacing);
        if (numX >= 10 && numY >= 10) {
            storeGrid(m, form, spacing, numX, numY);
            usable = true;
            return;
        }
        session.ErrorText = SpacingTooLarge;
        ReportError(session);
    });
    return usable;
}

void setSameLimits(Session &session, PlotLimitsForm &form, bool on)
{
    ProjectModel &m = session.model;
    const PlotLimitValues before = plotLimitValues(m);
    m.SameLimits = on;
    form.sameLimits = on;
    if (on) {
        for (PlotBox plotLimit : { B::PLLeft, B::PLRight, B::PLTop, B::PLBottom }) {
            const PlotBox gridEdge = gridEdgeOf(plotLimit);
            form[gridEdge] = form[plotLimit];
            // An empty plot-limit box leaves the stored grid edge alone.
            if (form.filled(plotLimit))
                m.*edgeField(gridEdge) = leadingNumber(form[plotLimit]);
        }
    }
    if (plotLimitValues(m) != before)
        session.markChanged();
    CheckStatus(m, form);
}

bool plotLimitsConsistent(const ProjectModel &m, const PlotLimitsForm &form)
{
    for (int i = 0; i < NumPlotBoxes; ++i)
        if (!form.filled(static_cast<PlotBox>(i)))
            return false;
    return m.MapLeft < m.MapRight && m.MapBottom < m.MapTop // map extents
        && m.MapLeft <= m.PLLeft && m.PLLeft < m.MapRight && m.PLRight > m.PLLeft && m.MapLeft < m.PLRight
        && m.PLRight <= m.MapRight && m.MapBottom <= m.PLTop && m.PLTop <= m.MapTop && m.MapBottom <= m.PLBottom
        && m.PLBottom <= m.MapTop && m.PLBottom < m.PLTop // plot limits
        && m.MapLeft <= m.PCLeft && m.PCLeft < m.MapRight && m.PCRight > m.PCLeft && m.MapLeft < m.PCRight
        && m.PCRight <= m.MapRight && m.MapBottom <= m.PCTop && m.PCTop <= m.MapTop && m.MapBottom <= m.PCBottom
        && m.PCBottom <= m.MapTop && m.PCBottom < m.PCTop // model grid
        && m.PCGridSpacing > 0 && m.PCNumX >= 10 && m.PCNumY >= 10;
}

void CheckStatus(const ProjectModel &model, PlotLimitsForm &form)
{
    form.buttonsEnabled = plotLimitsConsistent(model, form);
}

void acceptPlotLimits(Session &session)
{
    // Flag and check mark move together, even when the log line cannot be written.
    session.checkNode(Step::PlotLimits);
    session.model.PLDone = true;
    WriteLog(session, PlotLmtsFormTag + QStringLiteral(": [OK]"));
    session.setStatus(QString());
}

} // namespace qel
