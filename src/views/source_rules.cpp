#include "views/source_rules.h"

#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "views/source_symbol.h"

#include <algorithm>
#include <cmath>

namespace qel {

namespace {

const QString RoundingWarning = QStringLiteral("Source location rounding: Negative or zero value ");

// A coordinate this close to a whole multiple of the step is on it: the binary error of a decimal
// such as 4512345.67 is below a nanometre. A step too small for that keeps a thousandth of itself.
constexpr double OnStepTolerance = 1e-6;
constexpr double OnStepShare = 1e-3;

// trunc(value / step) for the quotient the person reads: 1234.56 / 0.01 is 123455.99999999999 in
// binary and must still give 123456. The tolerance is a distance, not a share of the quotient,
// so survey-sized coordinates are cut down like small ones.
double wholeSteps(double value, double step)
{
    const double q = value / step;
    const double nearest = std::round(q);
    if (std::abs(q - nearest) * step <= std::min(OnStepTolerance, OnStepShare * step))
        return nearest;
    return std::trunc(q);
}

SourceBoxTexts boxTexts(const ProjectModel &m)
{
    return { numberText(m.Xsource), numberText(m.Ysource) };
}

// Reports the warning of the first coordinate of the point that lies outside the model grid.
bool insideGrid(Session &session, QPointF p)
{
    for (const SourceCoordinate &c : sourceCoordinates()) {
        if (const auto warning = sourceRejection(session.model, c.axis, c.axis == SourceAxis::X ? p.x() : p.y())) {
            session.ErrorText = *warning;
            ReportWarning(session);
            return false;
        }
    }
    return true;
}

} // namespace

const std::array<SourceCoordinate, 2> &sourceCoordinates()
{
    static const std::array<SourceCoordinate, 2> coordinates = { {
        { SourceAxis::X, &ProjectModel::Xsource, &ProjectModel::PCLeft, &ProjectModel::PCRight,
            QStringLiteral("Left and Right") },
        { SourceAxis::Y, &ProjectModel::Ysource, &ProjectModel::PCBottom, &ProjectModel::PCTop,
            QStringLiteral("Top and Bottom") },
    } };
    return coordinates;
}

const SourceCoordinate &sourceCoordinate(SourceAxis axis)
{
    return sourceCoordinates()[axis == SourceAxis::X ? 0 : 1];
}

std::optional<QString> sourceRejection(const ProjectModel &model, SourceAxis axis, double value)
{
    const SourceCoordinate &c = sourceCoordinate(axis);
    const double lower = model.*c.lower;
    const double upper = model.*c.upper;
    if (lower <= value && value <= upper)
        return std::nullopt;
    return QStringLiteral("Specify source within ") + c.boundaries + QStringLiteral(" boundary (") + numberText(lower)
        + QStringLiteral(", ") + numberText(upper) + QStringLiteral(")!");
}

SourceBoxTexts loadSourceLocation(Session &session)
{
    session.FormTag = SourceFormTag;
    const ProjectModel &m = session.model;
    if (m.Xsource == 0)
        return {};
    return boxTexts(m);
}

QPointF roundedSourcePoint(QPointF picked, double step)
{
    if (picked.x() == 0 || picked.y() == 0 || !(step > 0))
        return picked;
    return { wholeSteps(picked.x(), step) * step, wholeSteps(picked.y(), step) * step };
}

std::optional<SourceBoxTexts> RoundCoords(Session &session, const SourcePick &pick)
{
    std::optional<SourceBoxTexts> boxes;
    guarded(session, QStringLiteral("Source:RoundCoords"), [&] {
        if (!pick.point)
            return;
        ProjectModel &m = session.model;
        const QPointF p = roundedSourcePoint(*pick.point, m.RoundXY);
        if (!insideGrid(session, p))
            return;
        session.store(m.Xsource, p.x());
        session.store(m.Ysource, p.y());
        boxes = boxTexts(m);
    });
    return boxes;
}

std::optional<SourceBoxTexts> selectSource(Session &session, SourcePick &pick)
{
    std::optional<SourceBoxTexts> boxes;
    guarded(session, QStringLiteral("Source:cmdSelectSource_Click"), [&] {
        DrawingComponent &map = drawingOf(session);
        double x = 0, y = 0;
        map.GetPoint(SelectSourcePrompt, x, y);
        if (map.LastInputStatus() != InputPicked)
            return;
        const SourcePick picked { QPointF(x, y) };
        boxes = RoundCoords(session, picked);
        if (!boxes)
            return;
        pick = picked;
        MapSource(session);
    });
    return boxes;
}

bool validateSourceCoordinate(
    Session &session, SourcePick &pick, SourceAxis axis, const QString &text, bool otherBoxFilled)
{
    if (text.trimmed().isEmpty())
        return true;
    const double value = leadingNumber(text);
    if (const auto warning = sourceRejection(session.model, axis, value)) {
        session.ErrorText = *warning;
        ReportWarning(session);
        return false;
    }
    double &stored = session.model.*sourceCoordinate(axis).field;
    // Leaving a box that still shows the placed point is no new entry; the picked point stays.
    if (session.store(stored, value))
        pick.point.reset();
    if (otherBoxFilled)
        MapSource(session);
    return true;
}

RoundingOutcome tickRoundXY(Session &session, const SourcePick &pick, const QString &stepText)
{
    const double step = leadingNumber(stepText);
    if (step <= 0) {
        session.ErrorText = RoundingWarning + stepText + QStringLiteral(" invalid. Please change it.");
        ReportWarning(session);
        return {};
    }
    session.store(session.model.RoundXY, step);
    return { true, false, RoundCoords(session, pick) };
}

RoundingOutcome validateRoundXY(Session &session, const SourcePick &pick, const QString &stepText)
{
    const double step = leadingNumber(stepText);
    if (step <= 0) {
        session.ErrorText = RoundingWarning + stepText + QStringLiteral(" invalid.");
        ReportWarning(session);
        const MsgAnswer answer = session.frontend().messageBox(
            QStringLiteral("Do you want to uncheck the Round coordinates option instead?"), QStringLiteral("Rounding"),
            MsgButtons::YesNo, MsgIcon::Question);
        return { false, answer == MsgAnswer::Yes, std::nullopt };
    }
    session.store(session.model.RoundXY, step);
    return { true, false, RoundCoords(session, pick) };
}

void closeSourceLocation(Session &session)
{
    session.checkNode(Step::SourceLocation);
    session.model.SLDone = true;
    WriteLog(session, SourceFormTag + QStringLiteral(": [Close]"));
    session.setStatus(QString());
}

} // namespace qel
