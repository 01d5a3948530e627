// The table reader on csv files: every table, every cell as the wizards read it.
#include "fuzz_support.h"

#include "core/errors.h"
#include "input/table_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    const QString path = fuzz::writeScratchFile(QStringLiteral("wells.csv"), fuzz::inputBytes(data, size));
    try {
        for (const QString &name : tableNames(path, QStringLiteral("Text"))) {
            Table table = openTable(path, QStringLiteral("Text"), name);
            for (table.moveFirst(); !table.eof(); table.moveNext())
                for (int c = 0; c < table.fieldNames().size(); ++c)
                    table.field(c).toText();
        }
    } catch (const QelError &) {
        // reported by the wizards in the program
    }
    return 0;
}
