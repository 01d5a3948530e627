#include "gui/workbench/clipboard_routing.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>

namespace qel::gui {

bool takesClipboardCommands(const QString &formName)
{
    static const QStringList forms = { "frmDoc", "frmMapScale", "frmMessage", "frmMinDist", "frmOptions", "frmOutput",
        "frmPlotLmts", "frmPlumeSpect", "frmRegRes", "frmSource", "frmTransData", "frmWells", "frmWldata", "frmWOLF" };
    return forms.contains(formName);
}

namespace {

template<typename Field> void apply(Field *field, Command command)
{
    const bool changesText = command != Command::EditCopy;
    if (changesText && field->isReadOnly())
        return;
    if (command == Command::EditCut)
        field->cut();
    else if (command == Command::EditPaste)
        field->paste();
    else
        field->copy();
}

} // namespace

void applyClipboardCommand(QWidget *field, Command command)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        apply(line, command);
    else if (auto *text = qobject_cast<QTextEdit *>(field))
        apply(text, command);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        apply(plain, command);
}

} // namespace qel::gui
