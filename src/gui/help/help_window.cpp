#include "gui/help/help_window.h"

#include "core/help_topics.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QToolButton *toolButton(QWidget *parent, const QString &name, const QString &text, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // the keyboard stays in the topic text
    return button;
}

QString objectNameFor(const QString &windowName)
{
    return QStringLiteral("helpWindow_") + windowName;
}

} // namespace

HelpWindow::HelpWindow(const QString &helpFolder, const QString &windowName, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_folder(helpFolder)
    , m_windowName(windowName)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(objectNameFor(windowName));
    setWindowTitle(QStringLiteral("QEL Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_back = toolButton(this, QStringLiteral("cmdBack"), QStringLiteral("Back"), QStyle::SP_ArrowBack);
    m_forward = toolButton(this, QStringLiteral("cmdForward"), QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    QToolButton *contents
        = toolButton(this, QStringLiteral("cmdContents"), QStringLiteral("Contents"), QStyle::SP_DirHomeIcon);

    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setSearchPaths({ m_folder });
    m_browser->setOpenExternalLinks(true);
    m_browser->setFrameShape(QFrame::NoFrame);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QToolButton::clicked, this, &HelpWindow::showContents);
    connect(m_browser, &QTextBrowser::historyChanged, this, &HelpWindow::updateButtons);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("QEL Help") : QStringLiteral("QEL Help - ") + title);
    });

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(contents);
    bar->addStretch(1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(line);
    layout->addWidget(m_browser, 1);
    resize(760, 620);
    updateButtons();
}

void HelpWindow::showTopic(int helpContext)
{
    showFile(helpTopicFile(helpContext));
}

void HelpWindow::showContents()
{
    showFile(helpTopicFile(HelpTopic::Contents));
}

QString HelpWindow::currentTopic() const
{
    const QUrl source = m_browser->source();
    return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).fileName();
}

void HelpWindow::showFile(const QString &fileName)
{
    const QString path = QDir(m_folder).filePath(fileName);
    if (!QFileInfo(path).isFile()) {
        showMissing(fileName);
        return;
    }
    m_browser->setSource(QUrl::fromLocalFile(path));
}

void HelpWindow::showMissing(const QString &fileName)
{
    // A topic that was not installed must not leave the window blank or stale.
    const QString contents = QDir(m_folder).filePath(helpTopicFile(HelpTopic::Contents));
    QString html = QStringLiteral("<h2>Help topic not found</h2><p>The help topic <b>%1</b> is not installed in "
                                  "the help folder <code>%2</code>.</p>")
                       .arg(fileName.toHtmlEscaped(), QDir::toNativeSeparators(m_folder).toHtmlEscaped());
    if (QFileInfo(contents).isFile())
        html += QStringLiteral("<p><a href=\"%1\">Go to the help contents</a></p>")
                    .arg(QUrl::fromLocalFile(contents).toString().toHtmlEscaped());
    m_browser->setHtml(QStringLiteral("<div style=\"margin:10px\">") + html + QStringLiteral("</div>"));
    setWindowTitle(QStringLiteral("QEL Help"));
    updateButtons();
}

void HelpWindow::updateButtons()
{
    m_back->setEnabled(m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_browser->isForwardAvailable());
}

HelpWindow *helpWindow(Session &, QWidget *parent, const QString &windowName)
{
    // The help windows belong to the top window they were opened from, so every dialog's Help
    // button reaches the same "main" and "proc1" windows.
    QWidget *owner = parent ? parent->window() : nullptr;
    const QString name = objectNameFor(windowName);
    if (owner) {
        if (auto *existing = owner->findChild<HelpWindow *>(name))
            return existing;
    } else {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *existing = qobject_cast<HelpWindow *>(top); existing && top->objectName() == name)
                return existing;
    }
    return new HelpWindow(helpFolder(QCoreApplication::applicationDirPath()), windowName, owner);
}

HelpWindow *showHelpTopic(Session &session, QWidget *parent, int helpContext)
{
    HelpWindow *window = helpWindow(session, parent, helpWindowName(helpContext));
    window->showTopic(helpContext);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

HelpWindow *showHelpContents(Session &session, QWidget *parent)
{
    HelpWindow *window = helpWindow(session, parent, helpWindowName(HelpTopic::Contents));
    window->showContents();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace qel::gui
