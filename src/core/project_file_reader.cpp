#include "core/project_file.h"

namespace qel {

bool ReadProjectFile(Session &)
{
    return false; // written with the project file format
}

} // namespace qel
