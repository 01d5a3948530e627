// A Windows metafile as the base map of a whole project, through `qel --batch` as a user runs it:
// the plan is drawn in the --map image under the results, and the project keeps naming it.
#include "map/wmf_writer.h"
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// The plan's lot boundary is dark orange (255, 140, 0), a colour no result layer uses; the
// image's smoothing blends its edges.
bool isBoundary(QRgb c)
{
    return qRed(c) > 225 && qGreen(c) > 100 && qGreen(c) < 190 && qBlue(c) < 100;
}

// The pixels of the boundary's colour and the box they span.
std::pair<int, QRect> boundaryPixels(const QImage &image)
{
    int count = 0;
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isBoundary(image.pixel(x, y))) {
                ++count;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return { count, box };
}

} // namespace

TEST(WmfBaseMap, TheBatchMapDrawsThePlanAndTheProjectKeepsIt)
{
    const TestSession t;
    const QString project = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    writeBytes(project + "site-plan.wmf", sitePlanWmf());
    QByteArray prj = readBytes(project + "alpha-site.prj");
    const QByteArray dxf = "BaseMapType=vector\r\nBaseMapFormat=dxf\r\nBaseMapFile=site-plan.dxf\r\n";
    ASSERT_TRUE(prj.contains(dxf));
    prj.replace(dxf, "BaseMapType=vector\r\nBaseMapFormat=wmf\r\nBaseMapFile=site-plan.wmf\r\n");
    writeBytes(project + "plan.prj", prj);

    const QelRun run = runQel(t.home(),
        { "--batch", project + "plan.prj", "--map", project + "map.png", "--save-as", project + "saved.prj" });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("QEL("))) << run.err.toStdString();
    EXPECT_EQ(readBytes(project + "saved.prj"), prj);

    const QImage map(project + "map.png");
    ASSERT_FALSE(map.isNull());
    const auto [count, box] = boundaryPixels(map);
    // The example's own map, of its DXF plan, has no pixel of that colour.
    EXPECT_EQ(boundaryPixels(QImage(QStringLiteral(QEL_TEST_DATA "/example/map.png"))).first, 0);
    // The boundary is a rectangle around the site: its pixels span most of the map and run along
    // its sides.
    EXPECT_GT(box.width(), map.width() / 2);
    EXPECT_GT(box.height(), map.height() / 2);
    EXPECT_GT(count, box.height());
}
