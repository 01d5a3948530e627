#pragma once

#include "core/frontend.h"
#include "map/base_map.h"
#include "map/drawing.h"
#include "map/map_extents.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace qel {

// LastInputStatus after GetPoint.
enum InputStatus : int { InputNone = 0, InputAborted = 5, InputPicked = 13 };

// The map's drawing component: the base map (drawing 1, a raster image or a vector drawing) and
// the numbered result drawings, each stored in its own layer file. It draws nothing itself; the
// renderer paints what it holds and the map window repaints when told through the refresh
// handler. Failures are QelErrors for the calling procedure's handler to report.
class DrawingComponent {
public:
    explicit DrawingComponent(Frontend &frontend);

    // Later calls act on that drawing. Error 5 for a number that is not a drawing.
    void SelectDrawing(int number);
    int currentDrawing() const { return m_current; }

    // The current drawing restarts empty and is stored in the file path (".geojson" added). The
    // file is written at once, and again whenever the drawing changed and the map is refreshed,
    // another drawing is selected or a file is loaded. mode is kept with the drawing.
    void NewDrawingFile(const QString &path, int mode);
    // The stored drawing replaces the current one and is shown. A missing or unreadable file is a
    // QelError and leaves the current drawing as it was.
    void LoadDrawingFile(const QString &path);
    // Drawings stored under the folder fromFolder are written out, and stored under toFolder from
    // now on (the project was saved into another folder and its layer files move with it).
    void moveDrawingFiles(const QString &fromFolder, const QString &toFolder);

    void AddLayer(const QString &name, int color, int flag);
    void AddTextStyle(const QString &name, const QString &font, int weight, double size, double widthFactor);

    void AddLine(const QString &tag, double x1, double y1, double x2, double y2);
    void AddPolyline(const QString &tag, const std::vector<QPointF> &points);
    // A line and its width, colour and layer at once: the entity AddLine and SetEntityProperty's
    // "ELINE", "ECOLOR" and "LAYER" make, for the bands, which draw tens of thousands of lines.
    void AddStyledLine(double x1, double y1, double x2, double y2, double lineWidth, int color, const QString &layer);
    void AddPoint(const QString &tag, double x, double y);
    void AddCircle(const QString &tag, double x, double y, double radius);
    // justification "LM", "CM" and the other codes of Justification.
    void AddText(const QString &tag, double x, double y, const QString &justification, double height,
        double widthFactor, double rotation, const QString &text);

    // "ELINE" line width, "ECOLOR" colour index 0..14 (0: the layer's), "LAYER" layer name (a new
    // name adds the layer), each as text, applied to the entity added last.
    void SetEntityProperty(const QString &name, const QString &value);
    // Text handle of the entity added last; "" before the first.
    QString LastEntityHandle() const;
    // Text handle of entity index of a drawing, given afresh whenever the drawing is loaded.
    QString EntityHandle(int drawing, std::size_t index) const;
    void SetEntityColor(const QString &handle, int color);

    // 0 before a batch of entities, 1 after: the changed drawings are stored and the map refreshed.
    void SetUpdate(int update);
    // Only the base map remains shown; the result drawings' files are kept.
    void ClearOverlays(int flag);
    void Regenerate();

    // Asks the person to pick a point; x and y change only when one was picked.
    void GetPoint(const QString &prompt, double &x, double &y);
    int LastInputStatus() const { return m_inputStatus; }
    void SetCursor(const QString &name, int flag, int cursorId);
    int cursorId() const { return m_cursorId; }

    void SetPixelToMap(double px1, double py1, double x1, double y1, double px2, double py2, double x2, double y2);
    void PixelToMap(double &px, double &py) const;
    void MapToPixel(double &x, double &y) const;
    const PixelTransform &pixelToMap() const { return m_pixelToMap; }

    // Base maps. Opening replaces the base map only when the new one opened; a georeferenced
    // raster sets the pixel-to-map transformation from its file, any other resets it to identity.
    // With a progress the file is read breathing and polling it for a cancel (WorkCancelled).
    void OpenRasterMap(const QString &path, Progress *progress = nullptr);
    // The raster is dropped (the base drawing, if any, stays).
    void UnloadRaster();
    // A vector drawing becomes drawing 1, replacing any raster.
    void LoadBaseDrawing(const QString &path, Progress *progress = nullptr);
    const BaseMap &baseMap() const { return m_base; }
    bool hasRaster() const { return m_base.kind == BaseMap::Kind::Raster; }
    int rasterWidth() const { return hasRaster() ? m_base.rasterWidth : 0; }
    int rasterHeight() const { return hasRaster() ? m_base.rasterHeight : 0; }

    const Drawing &drawing(int number) const;
    bool isShown(int number) const;
    // The shown result drawings in the order they were loaded, drawn in that order over drawing 1.
    std::vector<const Drawing *> shownOverlays() const;
    // Map extents of the base map and the shown drawings; empty when nothing is shown.
    QRectF shownExtents() const;

    // Writes every changed drawing to its file.
    void flush();
    void setRefreshHandler(std::function<void()> handler) { m_refresh = std::move(handler); }
    const std::function<void()> &refreshHandler() const { return m_refresh; }
    int regenerations() const { return m_regenerations; }

private:
    struct Slot {
        Drawing drawing;
        bool shown = false;
        bool dirty = false;
        quint64 order = 0;
        // The number each entity's handle spells (in capital hexadecimal digits), rising with the
        // index: entities only ever join at the end, and handles are given in counting order.
        std::vector<quint64> handleNumbers;
        // The bytes of drawing.file while the drawing is exactly what reading them gives; null
        // when that is not known.
        QByteArray fileBytes;
    };
    // A drawing taken off the map, kept with the bytes it was read from or written as: loading
    // that file again while it still holds those bytes needs no parsing.
    struct StoredDrawing {
        QByteArray bytes;
        Drawing drawing;
    };

    Slot &slot(int number);
    const Slot &slot(int number) const;
    Slot &current() { return slot(m_current); }
    Entity &addEntity(Entity entity);
    static QString handleText(quint64 number);
    // Where the entity with this handle lies in the slot, or nothing.
    std::optional<std::size_t> findHandle(const Slot &s, const QString &handle) const;
    void assignHandles(Slot &s);
    void changed();
    void refresh();
    void store(Slot &s);
    void keepStored(Slot &s);

    Frontend *m_frontend;
    std::array<Slot, 13> m_slots;
    std::unordered_map<QString, StoredDrawing> m_stored; // by file
    int m_current = BaseDrawing;
    int m_lastDrawing = 0; // drawing of the entity added last, 0 for none
    std::size_t m_lastIndex = 0;
    bool m_update = true;
    quint64 m_handleCounter = 0;
    quint64 m_loadCounter = 0;
    int m_inputStatus = InputNone;
    int m_cursorId = 0;
    int m_regenerations = 0;
    PixelTransform m_pixelToMap;
    BaseMap m_base;
    std::function<void()> m_refresh;
};

} // namespace qel
