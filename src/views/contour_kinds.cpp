#include "views/contour_kinds.h"

#include "analysis/exact_plume.h"
#include "analysis/plume_uncertainty.h"
#include "map/drawing.h"

namespace qel {

const ContourKindInfo &contourKindInfo(ContourKind kind)
{
    static const ContourKindInfo kinds[] = {
        { ContourKind::Plume, "PlumeSpect", "frmPlumeSpect", "MapPCContour", PlumesDrawing, LayerKey::Plumes,
            "PCCONTOURS", 5, "Plumes", "Displaying concentration contours...", Step::ViewPlumeContours,
            &ProjectModel::PC, &ProjectModel::PCDone, &ProjectModel::PCMapIndex, true, false, true, false, true },
        { ContourKind::MinDist, "MinDist", "MinDist", "MapMDContour", MinDistanceDrawing, LayerKey::MinDistances,
            "MDCONTOURS", 3, "Min distances", "Displaying minimum distance contours...", Step::ViewMinDistContours,
            &ProjectModel::MD, &ProjectModel::MDDone, &ProjectModel::MDMapIndex, false, true, false, false, true },
        { ContourKind::Wolf, "WOLF", "frmWOLF", "MapWFContour", WolfDrawing, LayerKey::WolfFactor, "WFCONTOURS", 3,
            "WOLF factor", "Displaying WOLF contours...", Step::ViewWolfContours, &ProjectModel::WF,
            &ProjectModel::WFDone, &ProjectModel::WFMapIndex, true, false, true, false, true },
        { ContourKind::Detection, "Detection", "frmDetection", "MapDPContour", DetectionDrawing, LayerKey::Detection,
            "DPCONTOURS", 6, "Detection probability", "Displaying detection probability contours...", std::nullopt,
            &ProjectModel::DP, &ProjectModel::DPDone, &ProjectModel::DPMapIndex, false, false, false, false, false },
        { ContourKind::ExactPlume, "ExactPlume", "frmExactPlume", "MapXPContour", ExactPlumeDrawing,
            LayerKey::ExactPlume, "XPCONTOURS", 5, "Exact plume", "Displaying exact plume contours...", std::nullopt,
            &ProjectModel::XA, &ProjectModel::XADone, &ProjectModel::XAMapIndex, true, false, true, false, false },
        { ContourKind::ExactDifference, "ExactDifference", "frmExactDifference", "MapXDContour", ExactDifferenceDrawing,
            LayerKey::ExactDifference, "XDCONTOURS", 4, "Exact - Domenico",
            "Displaying exact minus Domenico contours...", std::nullopt, &ProjectModel::XD, &ProjectModel::XDDone,
            &ProjectModel::XDMapIndex, false, false, false, true, false },
    };
    return kinds[int(kind)];
}

double contourGridValue(const ProjectModel &m, ContourKind kind, int ix, int iy, int sample)
{
    switch (kind) {
    case ContourKind::Plume: return m.Conc(ix, iy, sample);
    case ContourKind::MinDist: return m.MinDistGrid(ix, iy);
    case ContourKind::Wolf: return m.WOLFGrid(ix, iy);
    default: return 0;
    }
}

const std::vector<double> *studyGrid(Session &session, ContourKind kind)
{
    const ProjectModel &m = session.model;
    const auto onGrid = [&](int numX, int numY, const std::vector<double> &grid) -> const std::vector<double> * {
        const bool fits = numX == m.PCNumX && numY == m.PCNumY && grid.size() == std::size_t(numX) * std::size_t(numY);
        return fits && !grid.empty() ? &grid : nullptr;
    };
    switch (kind) {
    case ContourKind::Detection:
        if (const auto &study = session.part<PlumeUncertaintyStore>().last)
            return onGrid(study->numX, study->numY, study->exceedance);
        return nullptr;
    case ContourKind::ExactPlume:
    case ContourKind::ExactDifference:
        if (const auto &exact = session.part<ExactPlumeStore>().last)
            return onGrid(
                exact->numX, exact->numY, kind == ContourKind::ExactPlume ? exact->average : exact->difference);
        return nullptr;
    default: return nullptr;
    }
}

} // namespace qel
