// The input reader of the regress program and the plane fit over what it accepted.
#include "regress/regress_input.h"
#include "regress/plane_fit.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel::regress;
    const ParseResult parsed = parseRegressInput(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!parsed.input)
        return 0;
    for (qsizetype d = 0; d < parsed.input->dates.size(); ++d) {
        std::vector<WellLevel> levels;
        for (const RegressWell &w : parsed.input->wells)
            if (std::size_t(d) < w.levels.size() && w.levels[std::size_t(d)] != -9999)
                levels.push_back({ w.x, w.y, w.levels[std::size_t(d)] });
        fitPlane(levels);
    }
    return 0;
}
