#pragma once

#include "core/session.h"

#include <QDialog>
#include <QString>
#include <QStringList>

namespace qel::gui {

// "Version 1.2.1035" LF "(Build: 20040225)".
QString versionLabelText(const Session &session);

// A system-information program of this desktop and its arguments; an empty program when none
// is installed.
struct SystemInfoTool {
    QString program;
    QStringList arguments;
};
SystemInfoTool findSystemInfoTool();

// frmAbout: what the program is, its version and build, the disclaimer and the system
// information tool.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(Session &session, QWidget *parent = nullptr);

    void showDisclaimer();
    void showSystemInfo();

private:
    Session &m_session;
};

// frmDisclaimer: the disclaimer text with a "Close" button.
class DisclaimerBox : public QDialog {
    Q_OBJECT
public:
    explicit DisclaimerBox(QWidget *parent = nullptr);
};

// Help > About QEL: shows the about box over parent, modal to its window.
void showAboutBox(Session &session, QWidget *parent);

} // namespace qel::gui
