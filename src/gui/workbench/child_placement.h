#pragma once

#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

namespace qel::gui {

// The frame moved (and, when larger, cut to the top-left part) so that it lies inside bounds:
// a window's title bar and close button never end up past an edge.
QRect fitInside(const QRect &frame, const QRect &bounds);

// Where the index-th new document window goes: down and to the right from the top-left of the
// free part of the area, one step each, inside the whole area. A window with no room left to step
// either way starts the cascade again; wrapped tells so, and the caller counts on from there.
struct CascadePlace {
    QPoint topLeft;
    bool wrapped = false;
};
CascadePlace cascadePlace(int index, const QSize &size, const QRect &free, const QRect &area, int step);

// Where the dialogs were left in this session. A dialog opens where it was placed (centred) until
// the person moves it; from then on it opens where it was left.
class DialogPlaces {
public:
    // Where the dialog opens, fitted inside bounds: where it was left, else centred in centre.
    QPoint open(const QString &name, const QSize &size, const QRect &centre, const QRect &bounds);
    // The dialog closes at this position; remembered when the person moved it.
    void closed(const QString &name, const QPoint &at);
    std::optional<QPoint> left(const QString &name) const;

private:
    struct Place {
        QPoint placed;
        std::optional<QPoint> left;
    };
    QHash<QString, Place> m_places;
};

} // namespace qel::gui
