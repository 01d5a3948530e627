#include "gui/workbench/workbench_windows.h"

#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/plot_limits_dialog.h"
#include "gui/dialogs/source_dialog.h"
#include "gui/dialogs/transport_dialog.h"
#include "gui/dialogs/units_dialog.h"
#include "gui/document/document_window.h"
#include "gui/help/help_window.h"
#include "gui/import/import_wizard_window.h"
#include "gui/text/about_box.h"
#include "gui/text/output_viewer.h"
#include "gui/views/contour_view_window.h"
#include "gui/views/regression_results_window.h"
#include "gui/workbench/main_window.h"

#include <QAction>

namespace qel::gui {

namespace {

void showHelp(Session &session, QWidget *parent, int helpContext)
{
    showHelpTopic(session, parent, helpContext);
}

// The toolbar's formatting buttons act on the active document and follow its selection.
void connectFormatting(DocumentWindow *document, QWidget *parent)
{
    auto *window = qobject_cast<MainWindow *>(parent);
    if (!window)
        return;
    auto whenActive = [window, document](auto apply) {
        return [window, document, apply](bool checked) {
            if (window->activeChildForm() == document)
                apply(checked);
        };
    };
    QObject::connect(window->formatAction(QStringLiteral("Bold")), &QAction::triggered, document,
        whenActive([document](bool on) { document->setBold(on); }));
    QObject::connect(window->formatAction(QStringLiteral("Italic")), &QAction::triggered, document,
        whenActive([document](bool on) { document->setItalic(on); }));
    QObject::connect(window->formatAction(QStringLiteral("Underline")), &QAction::triggered, document,
        whenActive([document](bool on) { document->setUnderline(on); }));
    const std::pair<const char *, Qt::Alignment> alignments[]
        = { { "Align Left", Qt::AlignLeft }, { "Center", Qt::AlignHCenter }, { "Align Right", Qt::AlignRight } };
    for (const auto &[key, value] : alignments) {
        const Qt::Alignment alignment = value; // a structured binding cannot be captured before clang 16
        QObject::connect(window->formatAction(QString::fromLatin1(key)), &QAction::triggered, document,
            whenActive([document, alignment](bool) { document->setAlignment(alignment); }));
    }
    QObject::connect(document, &DocumentWindow::formatChanged, window,
        [window](bool bold, bool italic, bool underline, Qt::Alignment alignment) {
            window->formatAction(QStringLiteral("Bold"))->setChecked(bold);
            window->formatAction(QStringLiteral("Italic"))->setChecked(italic);
            window->formatAction(QStringLiteral("Underline"))->setChecked(underline);
            window->formatAction(QStringLiteral("Align Left"))->setChecked(alignment & Qt::AlignLeft);
            window->formatAction(QStringLiteral("Center"))->setChecked(alignment & Qt::AlignHCenter);
            window->formatAction(QStringLiteral("Align Right"))->setChecked(alignment & Qt::AlignRight);
        });
}

} // namespace

WindowFactories workbenchWindowFactories()
{
    WindowFactories factories;
    factories.units = [](Session &session, QWidget *) -> ChildForm * {
        auto *dialog = new UnitsDialog(session);
        dialog->setHelpHook([&session, dialog](int context) { showHelp(session, dialog, context); });
        return dialog;
    };
    factories.transport = [](Session &session, QWidget *) -> ChildForm * {
        auto *dialog = new TransportDialog(session);
        dialog->setHelpHook([&session, dialog](int context) { showHelp(session, dialog, context); });
        return dialog;
    };
    factories.plotLimits = [](Session &session, QWidget *) -> ChildForm * {
        auto *dialog = new PlotLimitsDialog(session);
        dialog->setHelpHook([&session, dialog](int context) { showHelp(session, dialog, context); });
        return dialog;
    };
    factories.source = [](Session &session, QWidget *) -> ChildForm * {
        auto *dialog = new SourceDialog(session);
        dialog->setHelpHook([&session, dialog](int context) { showHelp(session, dialog, context); });
        return dialog;
    };
    factories.options = [](Session &session, QWidget *) -> ChildForm * { return new OptionsDialog(session); };
    factories.summary = [](Session &session, QWidget *parent) -> ChildForm * {
        auto *document = new DocumentWindow(session);
        connectFormatting(document, parent);
        document->showProjectData();
        return document;
    };
    factories.plumeContours = contourViewFactory(ContourKind::Plume);
    factories.minDistContours = contourViewFactory(ContourKind::MinDist);
    factories.wolfContours = contourViewFactory(ContourKind::Wolf);
    factories.detectionContours = contourViewFactory(ContourKind::Detection);
    factories.exactPlumeContours = contourViewFactory(ContourKind::ExactPlume);
    factories.exactDifferenceContours = contourViewFactory(ContourKind::ExactDifference);
    factories.waterLevelContours = waterLevelContoursFactory();
    factories.wellLocations = wellLocationsFactory();
    factories.waterLevels = waterLevelsFactory();
    factories.outputViewer = [](Session &session, QWidget *, const QString &file) -> ChildForm * {
        auto *viewer = new OutputViewer(session);
        viewer->loadFile(file);
        return viewer;
    };
    factories.help = showHelp;
    factories.about = showAboutBox;
    return factories;
}

} // namespace qel::gui
