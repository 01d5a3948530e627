#include "gui/workbench/placement_store.h"

#include <QDir>
#include <QSettings>

namespace qel::gui {

namespace {

// MainState: 0 normal, 2 maximised. A window closed minimised comes back normal, so 1 is never written.
constexpr int StateNormal = 0;
constexpr int StateMaximised = 2;

std::unique_ptr<QSettings> defaultStore()
{
    const QString home = qEnvironmentVariable("QEL_HOME");
    if (!home.isEmpty())
        return std::make_unique<QSettings>(QDir(home).filePath(QStringLiteral("QEL-window.ini")), QSettings::IniFormat);
    return std::make_unique<QSettings>();
}

} // namespace

PlacementStore::PlacementStore(QSettings *settings)
    : m_own(settings ? nullptr : defaultStore())
    , m_settings(settings ? settings : m_own.get())
{
}

PlacementStore::~PlacementStore() = default;

std::optional<WindowPlacement> PlacementStore::load() const
{
    QSettings &s = *m_settings;
    if (!s.contains(QStringLiteral("Settings/MainLeft")))
        return std::nullopt;
    WindowPlacement p;
    s.beginGroup(QStringLiteral("Settings"));
    p.left = s.value(QStringLiteral("MainLeft"), p.left).toInt();
    p.top = s.value(QStringLiteral("MainTop"), p.top).toInt();
    p.width = s.value(QStringLiteral("MainWidth"), p.width).toInt();
    p.height = s.value(QStringLiteral("MainHeight"), p.height).toInt();
    p.maximised = s.value(QStringLiteral("MainState"), StateNormal).toInt() == StateMaximised;
    s.endGroup();
    return p;
}

void PlacementStore::save(const WindowPlacement &p)
{
    QSettings &s = *m_settings;
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("MainLeft"), p.left);
    s.setValue(QStringLiteral("MainTop"), p.top);
    s.setValue(QStringLiteral("MainWidth"), p.width);
    s.setValue(QStringLiteral("MainHeight"), p.height);
    s.setValue(QStringLiteral("MainState"), p.maximised ? StateMaximised : StateNormal);
    s.endGroup();
    s.sync();
}

} // namespace qel::gui
