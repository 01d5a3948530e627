#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace qel::gui {

// Placement of the main window in the store's units (1/1440 inch): its normal frame, also while
// it is maximised, so that restoring a window that started maximised brings back that frame.
struct WindowPlacement {
    int left = 1000;
    int top = 1000;
    int width = 10000;
    int height = 8000;
    bool maximised = false;
};

// Where the main window's placement is kept between sessions: the given store, else
// QEL-window.ini in the application folder when QEL_HOME names one (so a test or a second
// installation never touches the person's own settings), else the person's settings store.
class PlacementStore {
public:
    explicit PlacementStore(QSettings *settings = nullptr);
    ~PlacementStore();

    // Nothing before the first session has ended.
    std::optional<WindowPlacement> load() const;
    void save(const WindowPlacement &placement);
    QSettings &settings() const { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_own;
    QSettings *m_settings;
};

} // namespace qel::gui
