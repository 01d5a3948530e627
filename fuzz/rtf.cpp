// The RTF reader, and a document filled from what it read.
#include "fuzz_support.h"

#include "core/rtf_document.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    qel::fuzz::scratchFolder(); // starts Qt: documents need fonts
    const QList<RtfParagraph> paragraphs = readRtf(fuzz::inputBytes(data, size));
    QTextDocument document;
    fillDocument(document, paragraphs);
    writeRtf(document);
    return 0;
}
