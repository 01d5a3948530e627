// The reader of "regress.out". The first byte chooses how many sample dates the project has.
#include "fuzz_support.h"

#include "analysis/regression_run.h"
#include "core/errors.h"
#include "core/project_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    if (size == 0)
        return 0;
    static ProjectModel model; // large; made once
    model.NumSamples = qint16(data[0] % (MaxSampleSlots + 4)); // a few past the arrays' end too
    try {
        readRegressionResults(model, fuzz::inputBytes(data + 1, size - 1));
    } catch (const QelError &) {
        // reported by the caller in the program
    }
    return 0;
}
