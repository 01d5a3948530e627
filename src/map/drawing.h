#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace qel {

// The numbered drawings the map is made of. Drawing 1 is the base map; the others are the
// result layers, each kept in its own layer file.
enum DrawingNumber : int {
    BaseDrawing = 1,
    WellsDrawing = 3,
    WaterLevelDrawing = 4,
    PlotLimitsDrawing = 5,
    PlumesDrawing = 6,
    WolfDrawing = 7,
    MinDistanceDrawing = 8,
    SourceDrawing = 9,
    // The studies beside the plume: detection probability, exact plume, exact minus Domenico.
    DetectionDrawing = 10,
    ExactPlumeDrawing = 11,
    ExactDifferenceDrawing = 12,
};

bool isDrawingNumber(int number);

enum class EntityKind { Line, Point, Circle, Text };

// Where a text's insertion point lies on the text: horizontal L, C, R then vertical T, M, B
// ("LM", "CM", "RT" ...); a single L, C or R puts the baseline on the point.
struct Justification {
    enum class H { Left, Centre, Right } horizontal = H::Left;
    enum class V { Top, Middle, Baseline, Bottom } vertical = V::Baseline;

    // Accepts the codes above in either case; nothing for any other text.
    static std::optional<Justification> parse(const QString &code);
    QString code() const;
    friend bool operator==(const Justification &, const Justification &) = default;
};

struct TextStyle {
    QString name = QStringLiteral("STANDARD");
    QString font = QStringLiteral("Arial");
    int weight = 400; // 100..900, 400 normal, 700 bold
    double size = 16;
    double widthFactor = 1.0;
    friend bool operator==(const TextStyle &, const TextStyle &) = default;
};

struct DrawingLayer {
    QString name;
    int color = 7;
    int flag = 1;
    friend bool operator==(const DrawingLayer &, const DrawingLayer &) = default;
};

struct Entity {
    EntityKind kind = EntityKind::Line;
    QString tag; // the caller's tag, usually ""
    std::vector<QPointF> points; // a line is a polyline of two or more; the others have one
    double radius = 0; // circle
    // text
    QString text;
    Justification justification;
    double height = 1;
    double widthFactor = 1;
    double rotation = 0; // degrees, counter-clockwise in map coordinates
    QString style = QStringLiteral("STANDARD");
    // properties
    double lineWidth = 0; // "ELINE": pixels at 96 dpi, 0 for the thinnest line
    int color = 0; // "ECOLOR": 1..14, 0 for the colour of the entity's layer
    std::optional<unsigned> rgb; // a base map's own colour (0xRRGGBB), drawn instead of the index
    QString layer = QStringLiteral("0");

    // The map area the entity covers (a text counts as its insertion point).
    QRectF bounds() const;
    // Everything: the handles, given afresh whenever a drawing is loaded, are the component's.
    bool sameContent(const Entity &other) const;
};

struct Drawing {
    int number = 0;
    QString file; // the layer file the drawing is stored in, empty for none
    int mode = 24;
    std::vector<DrawingLayer> layers;
    std::vector<TextStyle> textStyles;
    std::vector<Entity> entities;

    const DrawingLayer *findLayer(const QString &name) const;
    const TextStyle *findTextStyle(const QString &name) const;
    // The colour index an entity is drawn in: its own, else its layer's, else black.
    int colorIndexOf(const Entity &entity) const;
    QRectF bounds() const;
};

} // namespace qel
