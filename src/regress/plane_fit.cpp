#include "regress/plane_fit.h"

#include <Eigen/Dense>

#include <cmath>

namespace qel::regress {

PlaneFit fitPlane(const std::vector<WellLevel> &levels)
{
    PlaneFit fit;
    fit.wells = int(levels.size());
    if (levels.size() < 3)
        return fit;
    // Centred coordinates keep the normal equations well conditioned for site coordinates in the
    // hundreds of thousands.
    double mx = 0, my = 0, mh = 0;
    for (const WellLevel &w : levels)
        mx += w.x, my += w.y, mh += w.level;
    const double n = double(levels.size());
    mx /= n, my /= n, mh /= n;
    Eigen::MatrixXd design(levels.size(), 2);
    Eigen::VectorXd h(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        design(Eigen::Index(i), 0) = levels[i].x - mx;
        design(Eigen::Index(i), 1) = levels[i].y - my;
        h(Eigen::Index(i)) = levels[i].level - mh;
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(design);
    if (qr.rank() < 2)
        return fit; // the wells lie on one line
    const Eigen::Vector2d ab = qr.solve(h);
    fit.fitted = true;
    fit.a = ab(0);
    fit.b = ab(1);
    fit.c = mh - fit.a * mx - fit.b * my;
    const double total = h.squaredNorm();
    const double residual = (design * ab - h).squaredNorm();
    fit.r2 = total > 0 ? 1 - residual / total : 1;
    fit.magnitude = std::hypot(fit.a, fit.b);
    fit.direction = flowAzimuth(fit.a, fit.b);
    return fit;
}

double flowAzimuth(double a, double b)
{
    if (a == 0 && b == 0)
        return 0;
    // Water flows down the gradient: towards (-a, -b). Due south comes out as -180 when -a is
    // a negative zero; the range ends at +180.
    const double degrees = std::atan2(-a, -b) * 180 / M_PI;
    return degrees <= -180 ? degrees + 360 : degrees;
}

} // namespace qel::regress
