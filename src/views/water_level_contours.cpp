#include "views/water_level_contours.h"

#include "core/date_text.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "views/layer_redraw.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace qel {

namespace {

const QString RegResTag = QStringLiteral("RegRes");

void checkSample(const ProjectModel &m, int s, const QString &procedure)
{
    if (s < 1 || s > m.NumSamples)
        throw QelError(ErrSubscript, QStringLiteral("Subscript out of range: sample %1 of %2").arg(s).arg(m.NumSamples),
            procedure);
}

// level = Xcoeff x + Ycoeff y + Const solved for one coordinate; nothing outside [low, high].
std::optional<double> solve(double level, double other, double otherCoeff, double constant, double coeff, double low,
    double high, const QString &procedure)
{
    if (coeff == 0)
        throw QelError(ErrDivisionByZero, {}, procedure);
    const double v = (level - other * otherCoeff - constant) / coeff;
    if (!std::isfinite(v))
        throw QelError(ErrOverflow, {}, procedure);
    if (v >= low && v <= high)
        return v;
    return std::nullopt;
}

std::optional<double> xCrossing(const ProjectModel &m, int s, double y, double level)
{
    const QString procedure = QStringLiteral("XCoord");
    checkSample(m, s, procedure);
    return solve(level, y, m.Ycoeff(s), m.Const(s), m.Xcoeff(s), m.PLLeft, m.PLRight, procedure);
}

std::optional<double> yCrossing(const ProjectModel &m, int s, double x, double level)
{
    const QString procedure = QStringLiteral("YCoord");
    checkSample(m, s, procedure);
    return solve(level, x, m.Xcoeff(s), m.Const(s), m.Ycoeff(s), m.PLBottom, m.PLTop, procedure);
}

QString procedureTag(const QString &procedure)
{
    return RegResTag + u':' + procedure;
}

// Form_Load without the window: the boxes show the stored values, the table starts on the drawn
// sample when there is one.
void loadForm(Session &session, WaterLevelContoursForm &form)
{
    ProjectModel &m = session.model;
    session.FormTag = RegResTag;
    if (m.WLInt == 0)
        m.WLInt = 1.0;
    form.boxes = { numberText(m.WLMin), numberText(m.WLInt), numberText(m.WLMax), QString::number(m.WLLineWidth) };
    for (int i = 0; i < 3; ++i)
        form.values[std::size_t(i)] = leadingNumber(form.boxes[std::size_t(i)]);
    form.sample = m.WCMapIndex >= 1 && m.WCMapIndex <= m.NumSamples ? m.WCMapIndex : std::min<int>(1, m.NumSamples);
    // Contours already on the map (drawn before, or by the project reader) can be cleared here too.
    form.contoursDrawn = m.WCMapIndex > 0 && session.layers.node(LayerKey::WlContours).enabled;
}

int decimalsOf(const WaterLevelContoursForm &form)
{
    return DetermineDecimals({ form.boxes[0], form.boxes[1], form.boxes[2] });
}

void drawStoredContours(Session &session, WaterLevelContoursForm &form)
{
    form.sample = session.model.WCMapIndex;
    session.setStatus(QStringLiteral("Displaying water level contours..."));
    if (session.model.WCMapIndex > 0)
        form.contoursDrawn
            = MapWLContour(session, form.sample, form.values[0], form.values[1], form.values[2], decimalsOf(form));
}

} // namespace

double XCoord(const ProjectModel &m, int s, double y, double level)
{
    return xCrossing(m, s, y, level).value_or(NoCrossing);
}

double YCoord(const ProjectModel &m, int s, double x, double level)
{
    return yCrossing(m, s, x, level).value_or(NoCrossing);
}

std::vector<QPointF> levelCrossings(const ProjectModel &m, int s, double level)
{
    // Optional coordinates rather than the marker: a real coordinate of -9999 is not lost.
    const auto at
        = [](std::optional<double> v, auto point) { return v ? std::optional<QPointF>(point(*v)) : std::nullopt; };
    const std::optional<QPointF> found[] = {
        at(yCrossing(m, s, m.PLLeft, level), [&](double y) { return QPointF(m.PLLeft, y); }),
        at(xCrossing(m, s, m.PLBottom, level), [&](double x) { return QPointF(x, m.PLBottom); }),
        at(yCrossing(m, s, m.PLRight, level), [&](double y) { return QPointF(m.PLRight, y); }),
        at(xCrossing(m, s, m.PLTop, level), [&](double x) { return QPointF(x, m.PLTop); }),
    };
    // A line through a corner meets two edges there; only distinct points make its ends, and a
    // line that only touches a corner has one and is not drawn.
    const double tolerance = 1e-9 * std::max({ m.PLRight - m.PLLeft, m.PLTop - m.PLBottom, 1.0 });
    std::vector<QPointF> points;
    for (const auto &p : found) {
        if (!p)
            continue;
        const bool seen = std::any_of(points.begin(), points.end(), [&](const QPointF &q) {
            return std::abs(q.x() - p->x()) <= tolerance && std::abs(q.y() - p->y()) <= tolerance;
        });
        if (!seen)
            points.push_back(*p);
    }
    return points;
}

std::vector<ContourSegment> contourSegments(
    const ProjectModel &m, int s, double minimum, double interval, double maximum)
{
    if (!(interval > 0) || !std::isfinite(interval))
        throw QelError(ErrInvalidCall,
            QStringLiteral("Invalid procedure call or argument: the contour interval must be greater than 0"));
    checkSample(m, s, {});
    // A level that only rounding puts below the maximum is the maximum, which is not drawn.
    const double end = maximum - 1e-9 * interval;
    std::vector<ContourSegment> segments;
    for (int k = 0;; ++k) {
        const double level = minimum + k * interval; // no running sum: it drifts over many levels
        if (!(level < end))
            break;
        if (k >= MaxWaterLevelLines)
            throw QelError(ErrOverflow,
                QStringLiteral("Overflow: more than %1 contour levels from %2 to %3; choose a larger interval")
                    .arg(MaxWaterLevelLines)
                    .arg(numberText(minimum), numberText(maximum)));
        const std::vector<QPointF> points = levelCrossings(m, s, level);
        if (points.size() == 2)
            segments.push_back({ points[0], points[1], level });
    }
    return segments;
}

int DetermineDecimals(const std::array<QString, 3> &texts)
{
    int decimals = 0;
    for (const QString &text : texts) {
        const qsizetype point = text.indexOf(u'.');
        if (point >= 0)
            decimals = std::max(decimals, int(text.size() - (point + 1)));
    }
    return decimals;
}

double contourLabelRotation(double direction)
{
    if (std::abs(direction) < 90)
        return -direction;
    return direction >= 0 ? 180 - direction : -180 - direction;
}

QString contourLabelText(double level, int decimals)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(level, 'f', std::clamp(decimals, 0, 15));
}

bool MapWLContour(Session &session, int s, double minimum, double interval, double maximum, int decimals)
{
    ProjectModel &m = session.model;
    if (interval == 0 || m.WLLineWidth == 0)
        return false;
    std::vector<ContourSegment> segments;
    try {
        segments = contourSegments(m, s, minimum, interval, maximum);
    } catch (const QelError &e) {
        const QString procedure = e.source().isEmpty() ? QStringLiteral("MapWLContour") : e.source();
        reportFailure(session, procedureTag(procedure), e.number(), e.description());
        return false;
    } catch (const std::bad_alloc &) {
        reportFailure(
            session, procedureTag(QStringLiteral("MapWLContour")), ErrOutOfMemory, errorDescription(ErrOutOfMemory));
        return false;
    }
    bool drawn = false;
    guarded(session, procedureTag(QStringLiteral("MapWLContour")), [&] {
        if (!CreateTempPathIfNeeded(session))
            return;
        Redraw(session, WaterLevelDrawing);
        DrawingComponent &map = drawingOf(session);
        map.SelectDrawing(WaterLevelDrawing);
        map.NewDrawingFile(layerFilePath(session, WaterLevelDrawing), 24);
        map.AddLayer(QStringLiteral("WLCONTOURS"), 5, 1);
        map.AddTextStyle(QStringLiteral("STANDARD"), QStringLiteral("Arial"), 400, 16, 1.0);
        const auto style = [&map] {
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QStringLiteral("5"));
            map.SetEntityProperty(QStringLiteral("LAYER"), QStringLiteral("WLCONTOURS"));
            map.SetEntityColor(map.LastEntityHandle(), 5);
        };
        const double rotation = contourLabelRotation(m.Direction(s));
        // One drawing for all lines: switching drawings per level would store the file each time.
        for (const ContourSegment &segment : segments) {
            map.AddLine({}, segment.from.x(), segment.from.y(), segment.to.x(), segment.to.y());
            map.SetEntityProperty(QStringLiteral("ELINE"), QString::number(m.WLLineWidth));
            style();
            const QPointF mid = (segment.from + segment.to) / 2;
            map.AddText({}, mid.x(), mid.y(), QStringLiteral("CM"), 0.9 * m.MapTextSize, 1.0, rotation,
                contourLabelText(segment.level, decimals));
            style();
        }
        map.SelectDrawing(BaseDrawing);
        session.layers.setText(LayerKey::WlContours, QStringLiteral("WL contours (") + QString::number(s) + u')');
        session.layers.enable(LayerKey::WlContours);
        session.layers.tick(LayerKey::WlContours);
        session.frontend().layersChanged();
        m.WCMapIndex = qint16(s);
        Redraw(session, 0);
        drawn = true;
    });
    return drawn;
}

ResultsTable InitializeGrid(const ProjectModel &m)
{
    ResultsTable table;
    table.columns = { { QStringLiteral("Date"), 1000 }, { QStringLiteral("Xcoeff"), 880 },
        { QStringLiteral("Ycoeff"), 880 }, { QStringLiteral("Const"), 700 }, { QStringLiteral("R2"), 550 },
        { QStringLiteral("Magnitude"), 1000 }, { QStringLiteral("Direction"), 880 } };
    for (int i = 1; i <= m.NumSamples; ++i)
        table.rows.push_back(
            { shortDateText(m.SampleDate(i)), numberText(m.Xcoeff(i)), numberText(m.Ycoeff(i)), numberText(m.Const(i)),
                QString::number(m.R2(i), 'f', 2), numberText(m.Magnitude(i)), numberText(m.Direction(i)) });
    return table;
}

void openWaterLevelContours(Session &session, WaterLevelContoursForm &form)
{
    loadForm(session, form);
    if (session.model.RunMode == QLatin1String("Batch"))
        drawStoredContours(session, form);
}

void replayWaterLevelContours(Session &session)
{
    WaterLevelContoursForm form;
    loadForm(session, form);
    drawStoredContours(session, form);
}

void contourBoxChanged(Session &session, WaterLevelContoursForm &form, int index, const QString &text)
{
    guarded(session, procedureTag(QStringLiteral("txtWLContInt_Change")), [&] {
        if (index < 0 || index > 3)
            raise(ErrSubscript);
        form.boxes[std::size_t(index)] = text;
        if (index < 3) {
            form.values[std::size_t(index)] = leadingNumber(text);
            return;
        }
        // An emptied box (while a new width is typed) draws nothing until a width is there.
        if (text.trimmed().isEmpty()) {
            session.store(session.model.WLLineWidth, qint16(0));
            return;
        }
        const std::optional<double> width = strictNumber(text);
        if (!width)
            throw QelError(ErrTypeMismatch, QStringLiteral("Type mismatch: line width \"%1\"").arg(text));
        const qint16 rounded = roundToInt16(*width);
        if (rounded < 0)
            throw QelError(ErrInvalidCall,
                QStringLiteral("Invalid procedure call or argument: a line width of %1 is below 0").arg(text));
        session.store(session.model.WLLineWidth, rounded);
    });
}

void sampleSelected(WaterLevelContoursForm &form, int row)
{
    form.sample = row;
}

void resultsTableClicked(Session &session, WaterLevelContoursForm &form)
{
    if (form.autoShow)
        showContourClicked(session, form);
}

void showContourClicked(Session &session, WaterLevelContoursForm &form)
{
    if (!MapWLContour(session, form.sample, form.values[0], form.values[1], form.values[2], decimalsOf(form)))
        return;
    form.contoursDrawn = true;
    // What is on the map is what the project redraws when it is opened again.
    ProjectModel &m = session.model;
    m.WLMin = form.values[0];
    m.WLInt = form.values[1];
    m.WLMax = form.values[2];
    session.markChanged();
}

void clearContoursClicked(Session &session, WaterLevelContoursForm &form)
{
    if (!form.contoursDrawn)
        return;
    session.layers.untick(LayerKey::WlContours);
    Redraw(session, WaterLevelDrawing);
    session.layers.setText(LayerKey::WlContours, QStringLiteral("WL contours"));
    session.frontend().layersChanged();
    form.contoursDrawn = false;
    // A project saved now opens without them.
    session.model.WCMapIndex = 0;
    session.markChanged();
}

void closeWaterLevelContours(Session &session, WaterLevelContoursForm &form)
{
    ProjectModel &m = session.model;
    contourBoxChanged(session, form, 3, form.boxes[3]);
    if (!m.WCDone)
        session.markChanged();
    m.WCDone = true;
    WriteLog(session, session.FormTag + QStringLiteral(": [Close]"));
    if (form.contoursDrawn)
        session.checkNode(Step::WaterLevelContours);
    session.setStatus(QString());
}

} // namespace qel
