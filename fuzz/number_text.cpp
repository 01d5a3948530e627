// The number-text reader and the number texts written from what it read.
#include "fuzz_support.h"

#include "core/errors.h"
#include "core/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    const QString text = QString::fromUtf8(fuzz::inputBytes(data, size));
    try {
        const double leading = leadingNumber(text);
        numberText(leading);
        keyNumberText(leading);
        fixedDecimalsText(leading, size > 0 ? data[0] % 16 : 2);
        if (const auto strict = strictNumber(text)) {
            numberText(*strict);
            roundToInt16(*strict);
        }
        formatContourValue(leading);
    } catch (const QelError &) {
        // overflow and negative contour values are errors the callers report
    }
    return 0;
}
