#pragma once

#include "core/bounded_array.h"
#include "core/uncertainty_ranges.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace qel {

// Counts and indexes are 16-bit as in the project file; colours are red + 256 green + 65536 blue.
using int16 = std::int16_t;
using Colour = std::int32_t;

constexpr int MaxWells = 1000;
constexpr int MaxSampleSlots = 62;
constexpr int MaxGridNodes = 400;
constexpr int MaxContourLevels = 5;

// Settings of one contour view; the plume, minimum-distance and WOLF views share the layout and
// differ only by the prefix of their keys (PC, MD, WF).
struct ContourView {
    double Min = 0;
    double Max = 0;
    int16 NumLevels = 0;
    int16 LineWidth = 0;
    bool UseLog = false; // plume and WOLF views only
    BoundedArray<double, 0, MaxContourLevels> CMin;
    BoundedArray<double, 0, MaxContourLevels> CMax;
    BoundedArray<Colour, 0, MaxContourLevels> CColor;
    bool Legend = false;
    double LegendX = 0;
    double LegendY = 0;
};

// Sizes a vector without setting its values, so that a large grid's pages are first touched by
// whichever threads then fill it.
template<typename T> struct UnsetAllocator : std::allocator<T> {
    template<typename U> struct rebind {
        using other = UnsetAllocator<U>;
    };
    using std::allocator<T>::allocator;
    template<typename U> void construct(U *p) noexcept { ::new (static_cast<void *>(p)) U; }
    template<typename U, typename... Args> void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};

// Node x by node y by sample concentrations of the analytical solution; reallocated by each run.
class ConcentrationGrid {
public:
    // Every value 0.
    void allocate(int numX, int numY, int numSlots);
    // Values left unset: the caller sets every one of values() before anything reads them.
    void allocateUnset(int numX, int numY, int numSlots);
    std::span<double> values() { return m_values; }
    double &operator()(int ix, int iy, int sample);
    const double &operator()(int ix, int iy, int sample) const;
    bool isEmpty() const { return m_values.empty(); }
    bool hasShape(int numX, int numY, int numSlots) const
    {
        return m_numX == numX && m_numY == numY && m_numSlots == numSlots;
    }
    void clear();

private:
    std::size_t slot(int ix, int iy, int sample) const;
    int m_numX = 0, m_numY = 0, m_numSlots = 0;
    std::vector<double, UnsetAllocator<double>> m_values;
};

// The open project: every input, setting, status flag and result, under the names the whole
// workbench uses. Persistent fields are those the project file stores.
struct ProjectModel {
    // Identity and working state
    QString ProjectFile;
    QString ProjectDir;
    bool ProjectDirAssigned = false;
    QString ProjectStatus = QStringLiteral("New");
    bool ProjectChanged = false;
    QString RunMode;
    QString FileBuild;
    QString ResultsFile = QStringLiteral("QELResults.out");

    // Status flags
    bool UNDone = false, BMDone = false, MSDone = false, WEDone = false, WLDone = false, WCDone = false, PLDone = false,
         TDDone = false, SLDone = false, PCDone = false, MDDone = false, WFDone = false, RGDone = false, ANDone = false,
         ERDone = false;

    // Map state
    bool WEmapped = false, PLmapped = false, SLmapped = false;
    int16 WCMapIndex = -1, PCMapIndex = -1, MDMapIndex = -1, WFMapIndex = -1;
    bool MapReady = false;
    bool CalibrationActive = false;
    QString BaseMapDir;
    // Extents of the loaded base map and the largest extents derived from it (not stored).
    double BaseMapLeft = 0, BaseMapRight = 0, BaseMapBottom = 0, BaseMapTop = 0;
    double MaxMapLeft = 0, MaxMapRight = 0, MaxMapBottom = 0, MaxMapTop = 0;
    // The opened raster: its size and pixel extents (rows count downwards), not stored.
    double RasterWidth = 0, RasterHeight = 0;
    double PixelLeft = 0, PixelTop = 0, PixelRight = 0, PixelBottom = 0;
    // Height of the labels drawn on the map, in map units (not stored).
    double MapTextSize = 0;

    // Units
    QString DistUnits, TimeUnits, ConcUnits;

    // Base map
    QString MapTitle, BaseMapType, BaseMapFormat, BaseMapFile;

    // Raster calibration
    bool RasterScaleSet = false;
    int16 CalibrationType = 0;
    BoundedArray<double, 0, 4> RasterPointX, RasterPointY, VectorPointX, VectorPointY;
    double RasterScaleDistance = 0;
    double RasterScale = 0;

    // Well locations
    QString WEDataFormat, WEFileExt, WEDataFile, WEDataTable, WEDataPath;
    QString WellIDField, XField, YField;
    int16 NumWells = 0;
    BoundedArray<QString, 0, MaxWells> WellID;
    BoundedArray<double, 0, MaxWells> WellX, WellY;

    // Water levels
    QString WLDataFormat, WLFileExt, WLDataFile, WLDataTable, WLDataPath;
    int16 NumWLWells = 0;
    int16 NumSamples = 0;
    BoundedArray<QString, 0, MaxWells> WLWellID;
    BoundedArray<QDate, 0, MaxSampleSlots> SampleDate;
    BoundedArray2<double, 0, MaxWells, 0, MaxSampleSlots> WLData;
    BoundedArray<double, 0, MaxWells> WLWellX, WLWellY;
    // Set for a water-level column whose well is not in the well list: it has no coordinates,
    // so its levels stay out of the plane fit.
    BoundedArray<std::uint8_t, 0, MaxWells> WLWellUnlocated; // 0 or 1

    // Water-level contours
    double WLMin = 0, WLMax = 0, WLInt = 0;
    int16 WLLineWidth = 1;

    // Map extents, plot limits and model grid
    double MapLeft = 0, MapRight = 0, MapBottom = 0, MapTop = 0;
    double PLLeft = 0, PLRight = 0, PLBottom = 0, PLTop = 0;
    bool SameLimits = true;
    double PCLeft = 0, PCRight = 0, PCBottom = 0, PCTop = 0, PCGridSpacing = 0;
    int16 PCNumX = 0, PCNumY = 0;

    // Regression results (rebuilt, not stored)
    BoundedArray<double, 1, MaxSampleSlots> Xcoeff, Ycoeff, Const, R2, Magnitude, Direction;
    qint64 RegressTaskID = 0;

    // Transport data and source
    double K = 0, Porosity = 0, AlphaX = 0, AlphaY = 0, RetFactor = 0;
    bool Decay = false;
    double HalfLife = 0, Time = 0, Swidth = 0, C0 = 0, Xsource = 0, Ysource = 0;
    double RoundXY = 0.01;
    // Ranges of the transport parameters for an uncertainty study; the project file's [Uncertainty].
    UncertaintyRanges Uncertainty;

    // Analytical results (rebuilt, not stored)
    ConcentrationGrid Conc;
    double ConcMax = 0, ConcMin = 0, FlowCos = 0, FlowSin = 0;
    BoundedArray2<double, 1, MaxGridNodes, 1, MaxGridNodes> MinDistGrid, WOLFGrid;
    double MinDistMin = 0, MinDistMax = 0, WOLFMin = 0, WOLFMax = 0;

    // Contour views: plume concentration, minimum distance, WOLF factor
    ContourView PC, MD, WF;
    // The views of the studies beside the plume (detection probability, exact plume, exact minus
    // Domenico). Like the studies they show, they last the session: the project file keeps none.
    ContourView DP, XA, XD;
    bool DPDone = false, XADone = false, XDDone = false;
    int16 DPMapIndex = 0, XAMapIndex = 0, XDMapIndex = 0;

    // Working values shared by the contour views and the colour picker
    Colour SelectedColor = 0;
    QString ColorCaller;
    QString MDExportFile, WFExportFile;
};

} // namespace qel
