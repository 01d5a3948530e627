#pragma once

#include "core/session.h"

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace qel::gui {

// The program's help: HTML topics from the help folder in a browser with Back, Forward and
// Contents. There is one window per help window name ("main", "proc1"); asking for a topic
// again reuses it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(const QString &helpFolder, const QString &windowName, QWidget *parent = nullptr);

    const QString &windowName() const { return m_windowName; }
    const QString &helpFolder() const { return m_folder; }

    // Shows the topic of a help-context number; the contents for an unknown number.
    void showTopic(int helpContext);
    void showContents();
    // The topic file shown last ("index.html"), "" while a missing topic is reported.
    QString currentTopic() const;

private:
    void showFile(const QString &fileName);
    void showMissing(const QString &fileName);
    void updateButtons();

    QString m_folder;
    QString m_windowName;
    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_forward;
};

// The help window of that name over parent's window, made when there is none yet.
HelpWindow *helpWindow(Session &session, QWidget *parent, const QString &windowName);

// The help buttons and Help > Current Topic: the topic in window "main" below 1100, else "proc1".
HelpWindow *showHelpTopic(Session &session, QWidget *parent, int helpContext);
// Help > Contents.
HelpWindow *showHelpContents(Session &session, QWidget *parent);

} // namespace qel::gui
