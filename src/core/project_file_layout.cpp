#include "core/project_file_layout.h"

namespace qel::layout {

using M = ProjectModel;

const KeyFields &status()
{
    static const KeyFields fields = {
        { "UNDone", &M::UNDone },
        { "BMDone", &M::BMDone },
        { "MSDone", &M::MSDone },
        { "WEDone", &M::WEDone },
        { "WLDone", &M::WLDone },
        { "WCDone", &M::WCDone },
        { "PLDone", &M::PLDone },
        { "TDDone", &M::TDDone },
        { "SLDone", &M::SLDone },
        { "PCDone", &M::PCDone },
        { "MDDone", &M::MDDone },
        { "WFDone", &M::WFDone },
        { "RGDone", &M::RGDone },
        { "ANDone", &M::ANDone },
        { "ERDone", &M::ERDone },
        { "WEmapped", &M::WEmapped },
        { "PLmapped", &M::PLmapped },
        { "SLmapped", &M::SLmapped },
        { "WCMapIndex", &M::WCMapIndex },
        { "PCMapIndex", &M::PCMapIndex },
        { "MDMapIndex", &M::MDMapIndex },
        { "WFMapIndex", &M::WFMapIndex },
    };
    return fields;
}

const KeyFields &units()
{
    static const KeyFields fields = {
        { "DistUnits", &M::DistUnits },
        { "TimeUnits", &M::TimeUnits },
        { "ConcUnits", &M::ConcUnits },
    };
    return fields;
}

const KeyFields &baseMap()
{
    static const KeyFields fields = {
        { "MapTitle", &M::MapTitle },
        { "BaseMapType", &M::BaseMapType },
        { "BaseMapFormat", &M::BaseMapFormat },
        { "BaseMapFile", &M::BaseMapFile },
    };
    return fields;
}

const KeyFields &wellData()
{
    static const KeyFields fields = {
        { "DataFormat", &M::WEDataFormat },
        { "FileExt", &M::WEFileExt },
        { "DataFile", &M::WEDataFile },
        { "DataTable", &M::WEDataTable },
        { "DataPath", &M::WEDataPath },
        { "WellIDField", &M::WellIDField },
        { "XField", &M::XField },
        { "YField", &M::YField },
    };
    return fields;
}

const KeyFields &waterLevels()
{
    static const KeyFields fields = {
        { "DataFormat", &M::WLDataFormat },
        { "FileExt", &M::WLFileExt },
        { "DataFile", &M::WLDataFile },
        { "DataTable", &M::WLDataTable },
        { "DataPath", &M::WLDataPath },
    };
    return fields;
}

const KeyFields &wlContours()
{
    static const KeyFields fields = {
        { "WLMin", &M::WLMin },
        { "WLMax", &M::WLMax },
        { "WLInt", &M::WLInt },
        { "WLLineWidth", &M::WLLineWidth },
    };
    return fields;
}

const KeyFields &plotLimits()
{
    static const KeyFields fields = {
        { "MapLeft", &M::MapLeft },
        { "MapRight", &M::MapRight },
        { "MapBottom", &M::MapBottom },
        { "MapTop", &M::MapTop },
        { "PLLeft", &M::PLLeft },
        { "PLRight", &M::PLRight },
        { "PLBottom", &M::PLBottom },
        { "PLTop", &M::PLTop },
        { "SameLimits", &M::SameLimits },
        { "PCLeft", &M::PCLeft },
        { "PCRight", &M::PCRight },
        { "PCBottom", &M::PCBottom },
        { "PCTop", &M::PCTop },
        { "PCGridSpacing", &M::PCGridSpacing },
        { "PCNumX", &M::PCNumX },
        { "PCNumY", &M::PCNumY },
    };
    return fields;
}

const KeyFields &transportBeforeDecay()
{
    static const KeyFields fields = {
        { "K", &M::K },
        { "Porosity", &M::Porosity },
        { "AlphaX", &M::AlphaX },
        { "AlphaY", &M::AlphaY },
        { "RetFactor", &M::RetFactor },
    };
    return fields;
}

const KeyFields &transportAfterDecay()
{
    static const KeyFields fields = {
        { "Time", &M::Time },
        { "Swidth", &M::Swidth },
        { "C0", &M::C0 },
        { "Xsource", &M::Xsource },
        { "Ysource", &M::Ysource },
        { "RoundXY", &M::RoundXY },
    };
    return fields;
}

} // namespace qel::layout

namespace qel {

const std::vector<ContourSection> &contourSections()
{
    static const std::vector<ContourSection> sections = {
        { "[Plume Contours]", "PC", &ProjectModel::PC, true },
        { "[Min Distance]", "MD", &ProjectModel::MD, false },
        { "[WOLF]", "WF", &ProjectModel::WF, true },
    };
    return sections;
}

} // namespace qel
