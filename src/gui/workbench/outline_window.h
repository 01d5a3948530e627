#pragma once

#include "core/workflow_steps.h"
#include "gui/common/child_form.h"

namespace qel::gui {

class CheckTree;

// frmOutline: the workflow steps with their check marks. Pressing a step runs it; its tick box
// toggles only the picture, never a status flag.
class OutlineWindow : public ChildForm {
    Q_OBJECT
public:
    explicit OutlineWindow(Session &session, QWidget *parent = nullptr);

    CheckTree *tree() const { return m_tree; }
    // Shows session.outline again.
    void refresh();
    // Runs the step of a node (nothing for a disabled node or a group heading).
    void callModule(Step step);
    void toggleNode(Step step);

Q_SIGNALS:
    // A step the main window carries out.
    void stepRequested(qel::Step step);

private:
    CheckTree *m_tree;
};

} // namespace qel::gui
