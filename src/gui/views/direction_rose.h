#pragma once

#include <QWidget>

#include <optional>
#include <vector>

namespace qel::gui {

// The flow directions of the sample dates on a compass: north up, degrees clockwise, one spoke
// per date with its 95 % interval as an arc at the spoke's tip.
class DirectionRose : public QWidget {
    Q_OBJECT
public:
    struct Spoke {
        double direction = 0; // degrees clockwise from north
        std::optional<double> low, high; // the interval, clockwise from low to high
    };

    explicit DirectionRose(QWidget *parent = nullptr);
    void setSpokes(std::vector<Spoke> spokes);
    const std::vector<Spoke> &spokes() const { return m_spokes; }
    QSize sizeHint() const override { return { 220, 220 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<Spoke> m_spokes;
};

} // namespace qel::gui
