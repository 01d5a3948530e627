#include "gui/dialogs/options_dialog.h"

#include "core/errors.h"
#include "core/help_topics.h"
#include "core/number_text.h"
#include "core/options_rules.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "gui/help/help_window.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QToolButton *browseButton(QWidget *parent, const QString &name, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(tip);
    return button;
}

QLineEdit *pathField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true); // changed through the browse button only
    field->setMinimumWidth(300);
    return field;
}

} // namespace

OptionsDialog::OptionsDialog(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("Options"), HelpTopic::Options, parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    session.FormTag = formTag();

    m_notepad = pathField(this, QStringLiteral("txtNotepad"));
    m_notepadButton = browseButton(this, QStringLiteral("imgNotepad"), QStringLiteral("Choose the text viewer"));
    m_wordpad = pathField(this, QStringLiteral("txtWordpad"));
    m_wordpadButton = browseButton(this, QStringLiteral("imgWordpad"), QStringLiteral("Choose the text editor"));

    auto *programs = new QGroupBox(QStringLiteral("Programs"), this);
    auto *programGrid = new QGridLayout(programs);
    programGrid->addWidget(new QLabel(QStringLiteral("Text viewer (session log):"), programs), 0, 0);
    programGrid->addWidget(m_notepad, 0, 1);
    programGrid->addWidget(m_notepadButton, 0, 2);
    programGrid->addWidget(new QLabel(QStringLiteral("Text editor (exported grids):"), programs), 1, 0);
    programGrid->addWidget(m_wordpad, 1, 1);
    programGrid->addWidget(m_wordpadButton, 1, 2);
    programGrid->setColumnStretch(1, 1);

    auto *projects = new QGroupBox(QStringLiteral("Projects"), this);
    m_multipleProjects = new QCheckBox(QStringLiteral("Allow several projects to be opened in one session"), projects);
    m_multipleProjects->setObjectName(QStringLiteral("chkMultipleProjects"));
    auto *projectBox = new QVBoxLayout(projects);
    projectBox->addWidget(m_multipleProjects);

    auto *coordinates = new QGroupBox(QStringLiteral("Coordinates"), this);
    m_roundXY = new QLineEdit(coordinates);
    m_roundXY->setObjectName(QStringLiteral("txtRoundXY"));
    m_roundXY->setMaximumWidth(120);
    m_distUnits = new QLabel(coordinates);
    m_distUnits->setObjectName(QStringLiteral("lblDistUnits"));
    auto *roundRow = new QHBoxLayout(coordinates);
    roundRow->addWidget(new QLabel(QStringLiteral("Round picked and typed coordinates to:"), coordinates));
    roundRow->addWidget(m_roundXY);
    roundRow->addWidget(m_distUnits);
    roundRow->addStretch(1);

    auto *help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("cmdHelp"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addWidget(programs);
    layout->addWidget(projects);
    layout->addWidget(coordinates);
    layout->addStretch(1);
    layout->addLayout(buttons);

    handle(QStringLiteral("Options:Form_Load"), [this] { fillFields(); });

    connect(m_notepadButton, &QToolButton::clicked, this, &OptionsDialog::imgNotepad_Click);
    connect(m_wordpadButton, &QToolButton::clicked, this, &OptionsDialog::imgWordpad_Click);
    // clicked, not toggled: only the person's clicks count, not the dialog filling itself.
    connect(m_multipleProjects, &QCheckBox::clicked, this, &OptionsDialog::chkMultipleProjects_Click);
    connect(m_roundXY, &QLineEdit::editingFinished, this, &OptionsDialog::txtRoundXY_Validate);
    connect(close, &QPushButton::clicked, this, &OptionsDialog::cmdClose_Click);
    connect(help, &QPushButton::clicked, this, &OptionsDialog::cmdHelp_Click);
}

void OptionsDialog::fillFields()
{
    const AppState &app = session().app;
    m_notepad->setText(app.NotepadPath);
    m_wordpad->setText(app.EditorPath);
    m_multipleProjects->setChecked(app.MultipleProjects);
    m_roundXY->setText(numberText(session().model.RoundXY));
    m_distUnits->setText(session().model.UNDone ? session().model.DistUnits : QString());
}

void OptionsDialog::handle(const QString &tag, const std::function<void()> &handler)
{
    guarded(session(), tag, handler);
}

bool OptionsDialog::pickProgram(const QString &title, QString &path)
{
    // Programs here carry no ".exe" ending and are recognised by their execute permission, which
    // a name filter cannot express: the dialog lists every file.
    const QString folder = path.isEmpty() ? QStringLiteral("/usr/bin/") : PathToDirectory(path);
    const FileDialogAnswer answer = session().frontend().openFileDialog(
        { title, QStringLiteral("Program file |*"), QString(), folder, QFileInfo(path).fileName() });
    if (!answer.accepted)
        return false;
    path = answer.path;
    return true;
}

void OptionsDialog::imgNotepad_Click()
{
    handle(QStringLiteral("Options:imgNotepad_Click"), [this] {
        if (pickProgram(QStringLiteral("Find and select Notepad.exe file"), session().app.NotepadPath))
            m_notepad->setText(session().app.NotepadPath);
    });
}

void OptionsDialog::imgWordpad_Click()
{
    handle(QStringLiteral("Options:imgWordpad_Click"), [this] {
        if (pickProgram(QStringLiteral("Find Wordpad.exe or another text editor"), session().app.EditorPath))
            m_wordpad->setText(session().app.EditorPath);
    });
}

void OptionsDialog::chkMultipleProjects_Click(bool checked)
{
    handle(QStringLiteral("Options:MultipleProjects"), [&] {
        if (checked) {
            WriteLog(session(), formTag() + QStringLiteral(": MultipleProjects enabled"));
            session().app.MultipleProjects = true;
            session().frontend().setCommandEnabled(Command::FileNew, true);
            session().frontend().setCommandEnabled(Command::FileOpen, true);
        } else {
            WriteLog(session(), formTag() + QStringLiteral(": MultipleProjects disabled"));
            // New and Open stay available until the next project is opened.
            session().app.MultipleProjects = false;
        }
    });
}

bool OptionsDialog::txtRoundXY_Validate()
{
    // The warning box takes the focus away from the field, which must not validate again.
    if (m_validating)
        return true;
    m_validating = true;
    bool accepted = false;
    handle(QStringLiteral("Options:RoundXY"), [&] { accepted = acceptRoundXY(session(), m_roundXY->text()); });
    // The field shows the step in force, whether the text was taken or refused.
    m_roundXY->setText(numberText(session().model.RoundXY));
    m_validating = false;
    return accepted;
}

void OptionsDialog::cmdClose_Click()
{
    closeForm();
}

bool OptionsDialog::closeProcedure()
{
    if (m_roundXY->text() != numberText(session().model.RoundXY) && !txtRoundXY_Validate())
        return false;
    return guarded(session(), QStringLiteral("Options:cmdClose"),
        [this] { WriteLog(session(), formTag() + QStringLiteral(": [Close]")); });
}

void OptionsDialog::cmdHelp_Click()
{
    showHelpTopic(session(), this, helpContext());
}

} // namespace qel::gui
