#include "gui/workbench/message_window.h"

#include "core/help_topics.h"
#include "core/reporting.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QString shown(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

MessageWindow::MessageWindow(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("Message"), HelpTopic::MessageWindow, parent)
    , m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Message"));
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    guarded(session, QStringLiteral("Message:Form_Load"), [&] {
        session.FormTag = QStringLiteral("Message");
        reload();
    });
}

void MessageWindow::appendLine(const QString &line)
{
    m_text->appendPlainText(shown(line));
    scrollToEnd();
}

void MessageWindow::reload()
{
    m_text->setPlainText(shown(session().messageText));
    scrollToEnd();
}

void MessageWindow::scrollToEnd()
{
    m_text->moveCursor(QTextCursor::End);
    m_text->ensureCursorVisible();
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

} // namespace qel::gui
