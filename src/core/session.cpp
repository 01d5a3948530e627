#include "core/session.h"

#include "core/step_dependencies.h"

#include <QDir>

namespace qel {

Session::Session(Frontend &frontend, const QString &appFolder)
    : m_frontend(&frontend)
    , m_appFolder(QDir(appFolder).absolutePath())
{
}

void Session::checkNode(Step step)
{
    markChanged();
    outline.check(step);
    part<StepFreshness>().stepRan(step);
    m_frontend->outlineChanged();
}

} // namespace qel
