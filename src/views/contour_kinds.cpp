#include "views/contour_kinds.h"

#include "map/drawing.h"

namespace qel {

const ContourKindInfo &contourKindInfo(ContourKind kind)
{
    static const ContourKindInfo kinds[] = {
        { ContourKind::Plume, "PlumeSpect", "frmPlumeSpect", "MapPCContour", PlumesDrawing, LayerKey::Plumes,
            "PCCONTOURS", 5, "Plumes", "Displaying concentration contours...", Step::ViewPlumeContours,
            &ProjectModel::PC, &ProjectModel::PCDone, &ProjectModel::PCMapIndex, true, false, true },
        { ContourKind::MinDist, "MinDist", "MinDist", "MapMDContour", MinDistanceDrawing, LayerKey::MinDistances,
            "MDCONTOURS", 3, "Min distances", "Displaying minimum distance contours...", Step::ViewMinDistContours,
            &ProjectModel::MD, &ProjectModel::MDDone, &ProjectModel::MDMapIndex, false, true, false },
        { ContourKind::Wolf, "WOLF", "frmWOLF", "MapWFContour", WolfDrawing, LayerKey::WolfFactor, "WFCONTOURS", 3,
            "WOLF factor", "Displaying WOLF contours...", Step::ViewWolfContours, &ProjectModel::WF,
            &ProjectModel::WFDone, &ProjectModel::WFMapIndex, true, false, true },
    };
    return kinds[int(kind)];
}

double contourGridValue(const ProjectModel &m, ContourKind kind, int ix, int iy, int sample)
{
    switch (kind) {
    case ContourKind::Plume: return m.Conc(ix, iy, sample);
    case ContourKind::MinDist: return m.MinDistGrid(ix, iy);
    case ContourKind::Wolf: return m.WOLFGrid(ix, iy);
    }
    return 0;
}

} // namespace qel
