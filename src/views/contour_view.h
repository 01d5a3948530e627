#pragma once

#include "core/session.h"
#include "views/contour_kinds.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace qel {

// What a contour view does, without its window: the plume, minimum-distance and WOLF views are
// this one logic with the settings and differences of their ContourKind. The window shows the
// texts kept here and forwards every edit; batch runs and tests drive it directly.
class ContourViewLogic {
public:
    struct Row {
        QString lower;
        QString upper;
        int color = 0;
    };
    enum Box { MinBox, MaxBox, NumLevelsBox, LineWidthBox };

    ContourViewLogic(Session &session, ContourKind kind);

    // Form_Load. Returns false when loading stopped because there are no sample dates. In the
    // batch run mode the stored bands are drawn again.
    bool load();

    // On leaving a box: the text as typed; the box may show another text afterwards. Returns
    // false when the person was warned to change the value the box keeps (a bound of a log scale
    // that is not positive), so that the window can mark the box and keep the focus there.
    bool validate(Box box, const QString &text);
    // "Use Log scale" clicked; returns whether the box stays ticked.
    bool setUseLog(bool ticked);
    void setLegend(bool ticked);
    // The sample list entry chosen (0-based).
    void chooseSample(int listIndex);
    // "Generate Levels".
    void generate();
    // A table cell edit committed (row 1..N, column 0 lower bound, 1 upper bound); the bound of
    // the neighbouring band that meets it takes the same value. Returns the
    // text the cell keeps; a 0 refused by the view becomes "0.001". committed, when given, tells
    // whether the value was stored (a text that is no number is reported and stores nothing).
    QString commitCell(int row, int column, const QString &text, bool *committed = nullptr);
    // The colour the picker chose for a level.
    void setLevelColor(int row, int color);
    void draw();
    void clear();
    // "Locate": true when a corner was picked and stored; the status bar then says where.
    bool locateLegend();
    // The map area the located legend takes, as far as known before it is drawn.
    const QRectF &placedLegend() const { return m_placedLegend; }
    void close();

    ContourKind kind() const { return m_kind; }
    const ContourKindInfo &info() const { return contourKindInfo(m_kind); }
    const QString &boxText(Box box) const { return m_boxes[box]; }
    const QString &rangeMinLabel() const { return m_rangeMin; }
    const QString &rangeMaxLabel() const { return m_rangeMax; }
    // What the range labels' values are, for their tips.
    QString rangeExplanation(bool minimum) const;
    const QStringList &sampleList() const { return m_samples; }
    int selectedSample() const { return m_selectedSample; }
    bool useLogShown() const { return view().UseLog; }
    bool legendShown() const { return view().Legend; }
    const std::vector<Row> &rows() const { return m_rows; }
    // "Code" while the view fills its own controls, "User" otherwise.
    bool eventsFromUser() const { return m_eventsFromUser; }
    QStringList headings() const;

private:
    ContourView &view() const;
    bool &done() const;
    QString boundText(double value) const;
    QString rangeText(double value) const;
    QString reportTag(const char *procedure) const;
    void fillRows(bool generated);
    void truncateToRoundXY(double &value) const;
    bool logRefuses(double value, const char *which) const;
    // A study's view: its range from the study's grid; false (and warned) without the study.
    bool loadStudyRange();

    Session &m_session;
    ContourKind m_kind;
    QString m_boxes[4];
    QString m_rangeMin, m_rangeMax;
    QStringList m_samples;
    int m_selectedSample = 1;
    bool m_eventsFromUser = false;
    bool m_generated = false;
    std::vector<Row> m_rows;
    QRectF m_placedLegend;
};

// The range a study's grid spans: the smallest value above zero (of signed values, the smallest)
// and the largest; 0 and 0 when no node counts.
struct StudyRange {
    double min = 0, max = 0;
};
StudyRange studyRange(const std::vector<double> &grid, bool signedValues);

// The batch replay of a view's Form_Load: the stored bands drawn again while a project is read.
void replayContourView(Session &session, ContourKind kind);

} // namespace qel
