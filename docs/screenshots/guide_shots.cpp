// Makes the user guide's screenshots from the real workbench: opens the example project, opens
// each window through its menu command, waits for it to draw and saves it as docs/images/NAME.png.
// Questions the program would ask are answered with their defaults, so the run needs nobody.
// Last, the results exported for a GIS are drawn over the base map (gis-overlay.png).
//
// usage: qel_guide_shots EXAMPLE.prj OUTPUT_FOLDER
#include "gis_overlay_shot.h"

#include "analysis/plume_uncertainty.h"
#include "core/plume_uncertainty_rules.h"
#include "views/exact_plume_export.h"

#include "core/file_commands.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/common/child_form.h"
#include "gui/map/map_window.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/main_window.h"
#include "gui/workbench/qt_frontend.h"
#include "gui/workbench/workbench_windows.h"
#include "views/workflow_replay.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace qel;
using namespace qel::gui;

namespace {

// The workbench's own front end, except that nothing waits for a person.
class UnattendedFrontend : public QtFrontend {
public:
    MsgAnswer messageBox(const QString &text, const QString &, MsgButtons buttons, MsgIcon) override
    {
        std::fprintf(stderr, "guide_shots: message answered by default: %s\n", qPrintable(text));
        switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
        case MsgButtons::RetryCancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
        }
    }
    FileDialogAnswer openFileDialog(const FileDialogRequest &) override { return {}; }
    FileDialogAnswer saveFileDialog(const FileDialogRequest &) override { return {}; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &defaultText) override
    {
        return defaultText;
    }
    std::optional<QPointF> pickMapPoint(const QString &) override { return std::nullopt; }
};

// Lets the windows lay themselves out and paint.
void settle(int milliseconds = 400)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget *widget, const QString &file)
{
    if (!widget)
        return false;
    settle();
    const bool saved = widget->grab().save(file);
    std::printf("guide_shots: %s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

QWidget *frameOf(ChildForm *form)
{
    if (!form)
        return nullptr;
    auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    return frame ? static_cast<QWidget *>(frame) : form;
}

QAbstractButton *buttonNamed(QWidget *form, const QString &text)
{
    for (QAbstractButton *button : form->findChildren<QAbstractButton *>())
        if (button->text() == text && button->isVisible())
            return button;
    return nullptr;
}

struct Shot {
    const char *image; // file name without .png
    const char *command; // menu command that opens the window
    const char *form; // object name of the window it opens
    // Steps taken in the window before the picture, e.g. pressing Next in a wizard.
    std::function<void(ChildForm &)> prepare = {};
};

// A copy of the project, beside a copy of its base map, with only the units and the base map
// done: the map as step 1.2 leaves it. Empty when the copy cannot be made.
QString baseMapOnlyCopy(const QString &project)
{
    static QTemporaryDir folder;
    QFile in(project);
    if (!folder.isValid() || !in.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLatin1(in.readAll());
    static const QRegularExpression laterStep(
        QStringLiteral("^(?!UN|BM|MS)(\\w\\wDone|\\w\\wmapped)=True"), QRegularExpression::MultilineOption);
    text.replace(laterStep, QStringLiteral("\\1=False"));
    static const QRegularExpression baseMap(
        QStringLiteral("^BaseMapFile=([^\\r]*)"), QRegularExpression::MultilineOption);
    const QString map = baseMap.match(text).captured(1).trimmed();
    const QString copy = folder.filePath(QFileInfo(project).fileName());
    QFile out(copy);
    if (map.isEmpty()
        || !QFile::copy(
            QFileInfo(project).dir().filePath(QFileInfo(map).fileName()), folder.filePath(QFileInfo(map).fileName()))
        || !out.open(QIODevice::WriteOnly) || out.write(text.toLatin1()) < 0)
        return {};
    return copy;
}

// Brings a tab of the window's tab widget to the front; a negative index counts from the end.
std::function<void(ChildForm &)> showTab(int index)
{
    return [index](ChildForm &f) {
        if (auto *tabs = f.findChild<QTabWidget *>())
            tabs->setCurrentIndex(index < 0 ? tabs->count() + index : index);
    };
}

void press(ChildForm &form, const QString &text)
{
    if (QAbstractButton *button = buttonNamed(&form, text)) {
        button->click();
        settle(200);
    }
}

// The study views: a plume uncertainty study of the example with its hydraulic conductivity and
// longitudinal dispersivity uncertain, and the exact plume; each view's bands drawn, the view and
// the map saved, then cleared. Returns the number of pictures not made.
int saveStudyShots(Session &session, MainWindow &window, const QString &out)
{
    ProjectModel &m = session.model;
    m.Uncertainty.ranges[0] = { Distribution::LogUniform, 0.5 * m.K, 0, 2 * m.K };
    m.Uncertainty.ranges[4] = { Distribution::Uniform, 0.5 * m.AlphaX, 0, 1.5 * m.AlphaX };
    // A threshold well inside the plume, so that the chances differ from place to place.
    const bool studied = runPlumeUncertainty(session, { 200, 1, 50 * defaultUncertaintyThreshold(m).value });
    const bool exact = runExactPlume(session);
    if (!studied || !exact)
        return 4;
    const struct {
        const char *image;
        const char *command;
        const char *form;
    } shots[] = {
        { "detection-contours", "mnuViewDetectionContours", "frmDetection" },
        { "exact-difference-contours", "mnuViewExactDifferenceContours", "frmExactDifference" },
    };
    int missing = 0;
    for (const auto &shot : shots) {
        QAction *action = window.command(QString::fromLatin1(shot.command));
        if (action)
            action->trigger();
        settle();
        ChildForm *form = window.findChildForm(QString::fromLatin1(shot.form));
        if (!form) {
            std::fprintf(stderr, "guide_shots: %s: no window %s\n", shot.image, shot.form);
            missing += 2;
            continue;
        }
        // The study's bands alone over the base map: the plume's would show through.
        session.layers.untick(LayerKey::Plumes);
        press(*form, QStringLiteral("Generate Levels"));
        press(*form, QStringLiteral("Draw contours"));
        settle(800);
        MapWindow *map = findMapWindow(window);
        missing += !save(frameOf(form), out + QString::fromLatin1(shot.image) + ".png");
        missing += !map
            || !save(
                map->parentWidget() ? map->parentWidget() : map, out + QString::fromLatin1(shot.image) + "-map.png");
        press(*form, QStringLiteral("Clear"));
        press(*form, QStringLiteral("Close"));
        session.layers.tick(LayerKey::Plumes);
    }
    return missing;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: qel_guide_shots EXAMPLE.prj OUTPUT_FOLDER\n");
        return 2;
    }
    const QString project = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + u'/';
    QDir().mkpath(out);
    QApplication::setApplicationName(QStringLiteral("QEL"));
    QApplication::setWindowIcon(applicationIcon());

    UnattendedFrontend frontend;
    Session session(frontend, applicationFolder(QCoreApplication::applicationDirPath()));
    startUp(session);
    installWorkflowReplay(session);
    int missing = 0;
    {
        MainWindow window(session, workbenchWindowFactories());
        frontend.attach(&window);
        window.resize(1400, 900);
        window.show();
        settle();
        save(&window, out + "main-window.png");
        const QString plan = baseMapOnlyCopy(project);
        if (!plan.isEmpty()) {
            guarded(session, QStringLiteral("Main"), [&] { openProjectFile(session, plan); });
            settle(1500);
        }
        MapWindow *map = findMapWindow(window);
        if (plan.isEmpty() || !map || !save(map->parentWidget() ? map->parentWidget() : map, out + "base-map.png"))
            ++missing;
        guarded(session, QStringLiteral("Main"), [&] { openProjectFile(session, project); });
        settle(1500);
        save(&window, out + "map-final.png");

        const auto next = [](ChildForm &f) { press(f, QStringLiteral("&Next >")); };
        const auto readData = [&](ChildForm &f) { next(f), press(f, QStringLiteral("Read Data")); };
        const Shot shots[] = {
            { "units", "mnuEditUnits", "frmUnits" },
            { "transport-data", "mnuEditTransportData", "frmTransData", showTab(0) },
            { "transport-uncertainty", "mnuEditTransportData", "frmTransData", showTab(1) },
            { "plot-limits", "mnuMapSetPlotLimits", "frmPlotLmts", showTab(-1) }, // the model grid
            { "source", "mnuEditSourceLocation", "frmSource" },
            { "wells-file", "mnuEditWellLocations", "frmWells", next },
            { "wells-fields", "mnuEditWellLocations", "frmWells", readData },
            { "wells-data", "mnuEditWellLocations", "frmWells", next },
            { "levels-fields", "mnuEditWaterLevelData", "frmWldata", [&](ChildForm &f) { next(f), readData(f); } },
            // The guide selects the first date and shows its contours.
            { "regression-results", "mnuViewWaterLevelContours", "frmRegRes",
                [](ChildForm &f) {
                    if (auto *table = f.findChild<QTableWidget *>())
                        table->selectRow(0);
                    press(f, QStringLiteral("Show Contour"));
                } },
            { "regression-intervals", "mnuViewWaterLevelContours", "frmRegRes",
                [](ChildForm &f) {
                    if (auto *intervals = f.findChild<QCheckBox *>(QStringLiteral("chkIntervals")))
                        intervals->setChecked(true);
                    settle(200);
                } },
            { "plume-contours", "mnuViewPlumeContours", "frmPlumeSpect" },
            { "mindist-contours", "mnuViewMinDistContours", "frmMinDist" },
            { "wolf-contours", "mnuViewWOLFContours", "frmWOLF" },
        };
        for (const Shot &shot : shots) {
            QAction *action = window.command(QString::fromLatin1(shot.command));
            if (!action || !action->isEnabled()) {
                std::fprintf(stderr, "guide_shots: %s: command %s not available\n", shot.image, shot.command);
                ++missing;
                continue;
            }
            action->trigger();
            settle();
            ChildForm *form = window.findChildForm(QString::fromLatin1(shot.form));
            if (!form) {
                std::fprintf(stderr, "guide_shots: %s: no window %s\n", shot.image, shot.form);
                ++missing;
                continue;
            }
            if (shot.prepare)
                shot.prepare(*form);
            if (!save(frameOf(form), out + QString::fromLatin1(shot.image) + ".png"))
                ++missing;
        }
        missing += saveStudyShots(session, window, out);
        if (!saveGisOverlay(session, out + "gis-overlay.png"))
            ++missing;
        frontend.attach(nullptr);
    }
    terminateSession(session);
    return missing == 0 ? 0 : 1;
}
