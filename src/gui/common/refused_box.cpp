#include "gui/common/refused_box.h"

#include <QColor>
#include <QFocusEvent>
#include <QFont>
#include <QLineEdit>
#include <QPalette>
#include <QTimer>

namespace qel::gui {

namespace {

const QColor RefusedText(0xc6, 0x28, 0x28);
const char *const RefusedProperty = "refused";

} // namespace

void markRefused(QLineEdit *box, bool refused)
{
    box->setProperty(RefusedProperty, refused);
    QPalette palette;
    if (refused)
        palette.setColor(QPalette::Text, RefusedText);
    box->setPalette(palette);
    QFont font = box->font();
    font.setBold(refused);
    box->setFont(font);
}

bool isRefused(const QLineEdit *box)
{
    return box->property(RefusedProperty).toBool();
}

void keepFocusAfterRefusal(QLineEdit *box)
{
    QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
}

bool leavesForSibling(const QWidget *form, const QObject *box, const QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const auto reason = static_cast<const QFocusEvent *>(event)->reason();
    const QWidget *next = form->window()->focusWidget();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next && next != box
        && form->isAncestorOf(next);
}

} // namespace qel::gui
