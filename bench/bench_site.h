// The 60 sample dates and transport parameters every plume benchmark runs, so that their rows
// time the same plume.
#pragma once

#include "core/project_model.h"

namespace qel::bench {

inline void sixtyDatesOfOneTransport(ProjectModel &m)
{
    m.NumSamples = 60;
    for (int s = 1; s <= 60; ++s) {
        m.Magnitude(s) = 0.004 + 0.0001 * s;
        m.Direction(s) = 120 + s % 20;
    }
    m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.5, m.Decay = true;
    m.HalfLife = 730, m.Time = 3650, m.Swidth = 20, m.C0 = 1000;
}

} // namespace qel::bench
