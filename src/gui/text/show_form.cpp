#include "gui/text/show_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace qel::gui {

void showForm(QWidget *form, QWidget *parent, bool centred)
{
    if (auto *area = qobject_cast<QMdiArea *>(parent)) {
        QMdiSubWindow *frame = area->addSubWindow(form);
        frame->resize(frame->sizeHint().expandedTo(form->size()));
        if (centred)
            frame->move(area->viewport()->rect().center() - frame->rect().center());
        frame->show();
        return;
    }
    form->setParent(parent, form->windowFlags() | Qt::Window);
    if (centred && parent)
        form->move(parent->window()->geometry().center() - form->rect().center());
    form->show();
}

} // namespace qel::gui
