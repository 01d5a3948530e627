#include "gui/text/about_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

const char *const DisclaimerHtml = R"(
<h3>Disclaimer</h3>
<p>QEL is a design aid. It estimates where a contaminant plume may travel and where new
monitoring wells would add the most information, using a linear fit of measured water levels and
the analytical plume solution of Domenico. Both are simplifications: they assume a homogeneous,
isotropic aquifer, steady uniform flow over each sample date and a continuous source of fixed
width and strength.</p>
<p>The results are only as good as the data and parameters entered. They do not replace a site
investigation, a calibrated numerical groundwater model or the judgement of a qualified
hydrogeologist, and they must be checked against field data before any decision is based on
them.</p>
<p>The program is provided "as is", without warranty of any kind, express or implied, including
but not limited to the warranties of merchantability, fitness for a particular purpose and
non-infringement. In no event shall the authors or distributors be liable for any claim, damages
or other liability arising from the use of the program or of its results.</p>
)";

QLabel *wrappedLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    // A fixed column width lets the wrapped text take the height it needs.
    label->setFixedWidth(380);
    return label;
}

} // namespace

QString versionLabelText(const Session &session)
{
    return QStringLiteral("Version %1.%2.%3\n(Build: %4)")
        .arg(VersionMajor)
        .arg(VersionMinor)
        .arg(VersionRevision)
        .arg(session.app.ProgramBuild);
}

SystemInfoTool findSystemInfoTool()
{
    // Desktop system-information programs, the most detailed first.
    static const char *const candidates[] = { "hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor",
        "mate-system-monitor", "xfce4-taskmanager" };
    for (const char *name : candidates) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return { program, {} };
    }
    return {};
}

AboutBox::AboutBox(Session &session, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About QEL"));

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *title = new QLabel(QStringLiteral("QEL"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto *subtitle
        = wrappedLabel(QStringLiteral("Monitoring-well network design workbench"), QStringLiteral("lblSubtitle"), this);
    QFont subtitleFont = subtitle->font();
    subtitleFont.setItalic(true);
    subtitle->setFont(subtitleFont);

    auto *description = wrappedLabel(
        QStringLiteral("QEL is a workbench for designing groundwater monitoring-well networks at contaminated sites. "
                       "It brings together the site base map, the existing wells and their water levels, fits the "
                       "water table of every sample date, runs the Domenico analytical plume solution from the source, "
                       "and ranks the ground for new wells by their distance from the existing ones and by the WOLF "
                       "factor."),
        QStringLiteral("lblDescription"), this);

    auto *version = new QLabel(versionLabelText(session), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *developer = wrappedLabel(QStringLiteral("Developed by the QEL project team for hydrogeologists and "
                                                  "environmental engineers."),
        QStringLiteral("lblDeveloper"), this);
    QFont developerFont = developer->font();
    developerFont.setPointSizeF(developerFont.pointSizeF() * 0.9);
    developer->setFont(developerFont);

    auto *text = new QVBoxLayout;
    text->setSpacing(8);
    text->addWidget(title);
    text->addWidget(subtitle);
    text->addSpacing(6);
    text->addWidget(description);
    text->addSpacing(6);
    text->addWidget(version);
    text->addWidget(developer);
    text->addStretch(1);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton *disclaimer = buttons->addButton(QStringLiteral("Disclaimer"), QDialogButtonBox::ActionRole);
    disclaimer->setObjectName(QStringLiteral("cmdDisclaimer"));
    QPushButton *sysInfo = buttons->addButton(QStringLiteral("System Info"), QDialogButtonBox::ActionRole);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(disclaimer, &QPushButton::clicked, this, &AboutBox::showDisclaimer);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::showSystemInfo);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(16);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::showDisclaimer()
{
    auto *box = new DisclaimerBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void AboutBox::showSystemInfo()
{
    const SystemInfoTool tool = findSystemInfoTool();
    if (!tool.program.isEmpty() && QProcess::startDetached(tool.program, tool.arguments))
        return;
    m_session.frontend().messageBox(QStringLiteral("System Information Is Unavailable At This Time"),
        QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Information);
}

DisclaimerBox::DisclaimerBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDisclaimer"));
    setWindowTitle(QStringLiteral("Disclaimer"));

    auto *text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("txtDisclaimer"));
    text->setHtml(QString::fromUtf8(DisclaimerHtml));
    text->setFrameShape(QFrame::NoFrame);

    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    resize(520, 400);
}

void showAboutBox(Session &session, QWidget *parent)
{
    auto *box = new AboutBox(session, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace qel::gui
