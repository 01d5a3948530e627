// The largest project in memory for the output benchmarks: 1000 wells, 60 dates, a 400 x 400
// grid and five levels in each contour view, analysed once per process.
#pragma once

#include "analysis/domenico.h"
#include "core/batch_frontend.h"

#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace qel::bench {

struct LargestSession {
    LargestSession()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        ProjectModel &m = session.model;
        m.DistUnits = QStringLiteral("m"), m.TimeUnits = QStringLiteral("d"), m.ConcUnits = QStringLiteral("ug/L");
        m.NumSamples = 60;
        for (int s = 1; s <= 60; ++s) {
            m.SampleDate(s) = QDate(2019 + (s - 1) / 12, 1 + (s - 1) % 12, 15);
            m.Magnitude(s) = 0.004 + 0.0001 * s;
            m.Direction(s) = 120 + s % 20;
        }
        m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.5, m.Decay = true;
        m.HalfLife = 730, m.Time = 3650, m.Swidth = 20, m.C0 = 1000, m.Xsource = 100, m.Ysource = 300;
        m.PCLeft = 0, m.PCTop = 400, m.PCGridSpacing = 1, m.PCNumX = 400, m.PCNumY = 400, m.RoundXY = 0.01;
        m.PCRight = 399, m.PCBottom = 1;
        std::mt19937 random(5);
        std::uniform_real_distribution<double> at(0, 400);
        m.NumWells = 1000;
        for (int k = 1; k <= 1000; ++k)
            m.WellX(k) = at(random), m.WellY(k) = at(random);
        levels(m.PC, { 0, 1, 10, 100, 500, 1000 });
        levels(m.MD, { 0, 5, 10, 20, 40, 150 });
        levels(m.WF, { 0, 1e3, 1e4, 1e5, 1e6, 1e8 });
        Domenico(session);
        m.ANDone = true;
    }
    ~LargestSession() { std::fclose(devNull); }

    static void levels(ContourView &view, std::initializer_list<double> bounds)
    {
        view.NumLevels = int16(bounds.size() - 1);
        int k = 0;
        for (auto b = bounds.begin(); b + 1 != bounds.end(); ++b) {
            ++k;
            view.CMin(k) = *b, view.CMax(k) = *(b + 1), view.CColor(k) = Colour(view.NumLevels - k + 1);
        }
    }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QTemporaryDir home;
    BatchFrontend frontend;
    Session session;
};

} // namespace qel::bench
