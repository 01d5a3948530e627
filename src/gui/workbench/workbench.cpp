#include "gui/workbench/workbench.h"

#include <cstdio>

namespace qel::gui {

int runWorkbench(int, char **, const QString &)
{
    std::fprintf(stderr, "qel: the workbench window is not available in this version; use qel --batch\n");
    return 2;
}

} // namespace qel::gui
