#include "fuzz_support.h"

#include "core/errors.h"
#include "core/startup.h"
#include "input/table_access.h"
#include "map/map_display.h"
#include "map/map_renderer.h"
#include "map/map_session.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace qel::fuzz {

const QString &scratchFolder()
{
    static int argc = 1;
    static char name[] = "qel_fuzz";
    static char *argv[] = { name, nullptr };
    static const QString folder = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication *app = new QGuiApplication(argc, argv); // lives as long as the process
        (void)app;
        static QTemporaryDir dir;
        return dir.path() + u'/';
    }();
    return folder;
}

QuietSession::QuietSession(Start start)
    : sink(std::fopen("/dev/null", "w"))
    , frontend(std::make_unique<BatchFrontend>(sink, sink))
    , session(std::make_unique<Session>(*frontend, scratchFolder()))
{
    if (start == Start::Started) {
        writeScratchFile(QStringLiteral("QEL.ini"), "[QEL]\r\n");
        startUp(*session);
    }
}

QuietSession::~QuietSession()
{
    session.reset();
    frontend.reset();
    std::fclose(sink);
}

QString writeScratchFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFolder() + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

void readEveryCell(const QString &path, const QString &driver)
{
    try {
        for (const QString &name : tableNames(path, driver)) {
            Table table = openTable(path, driver, name);
            for (table.moveFirst(); !table.eof(); table.moveNext())
                for (int c = 0; c < table.fieldNames().size(); ++c)
                    table.field(c).toText();
        }
    } catch (const QelError &) {
    }
}

void displayAndPaintBaseMap(const QString &fileName, const QString &type, const QByteArray &bytes)
{
    writeScratchFile(fileName, bytes);
    QuietSession quiet;
    ProjectModel &m = quiet.session->model;
    m.ProjectDir = scratchFolder(), m.ProjectDirAssigned = true, m.RunMode = QStringLiteral("Batch");
    m.BaseMapFile = fileName, m.BaseMapType = type;
    m.DistUnits = QStringLiteral("m");
    if (DisplayMap(*quiet.session)) {
        const DrawingComponent &map = drawingOf(*quiet.session);
        renderMapImage(map, fullView(map), QSize(64, 48));
    }
}

} // namespace qel::fuzz
