#include "gui/text/output_viewer.h"

#include "core/rtf_document.h"
#include "core/whole_file.h"

#include "core/errors.h"
#include "core/help_topics.h"
#include "core/replace_question.h"
#include "core/reporting.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

const QString FormOpenTag = QStringLiteral("Output:Form_FileOpen");
const QString FormSaveTag = QStringLiteral("Output:Form_FileSaveAs");
const QString FormPrintTag = QStringLiteral("Output:Form_Print");
const QString OutputFilter = QStringLiteral("Output Files (*.out)|*.out|All Files (*.*)|*.*");
const QString UntitledCaption = QStringLiteral("QEL Output File (unsaved)");

// "Title (file)" for a caption that ends in a parenthesised part, which the new name replaces;
// "QEL Output File (unsaved)" becomes "QEL Output File (name)".
QString captionWithFile(const QString &caption, const QString &name)
{
    const qsizetype open = caption.lastIndexOf(u'(');
    if (open >= 0 && caption.endsWith(u')'))
        return caption.left(open + 1) + name + u')';
    return caption + QStringLiteral(" (") + name + u')';
}

} // namespace

OutputViewer::OutputViewer(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("Output"), HelpTopic::OutputViewer, parent)
    , m_text(new QTextEdit(this))
{
    setObjectName(QStringLiteral("frmOutput"));
    setWindowTitle(UntitledCaption);
    session.FormTag = formTag();

    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_text->setFont(mono);
    m_text->document()->setDefaultFont(mono);

    // Three tab stops a column of eight characters apart; later tabs keep the same spacing.
    const qreal column = QFontMetricsF(mono).horizontalAdvance(QString(8, u' '));
    QTextOption option = m_text->document()->defaultTextOption();
    option.setTabArray({ column, 2 * column, 3 * column });
    option.setTabStopDistance(column);
    m_text->document()->setDefaultTextOption(option);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    resize(720, 480);
}

QString OutputViewer::text() const
{
    return m_text->toPlainText();
}

bool OutputViewer::loadFile(const QString &path)
{
    return guarded(session(), FormOpenTag, [&] {
        QFile file(path);
        if (!QFileInfo(path).isFile())
            qel::raise(ErrFileNotFound, path);
        if (!file.open(QIODevice::ReadOnly))
            qel::raise(ErrPathFileAccess, path);
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            qel::raise(ErrPathFileAccess, path);

        const QFileInfo info(path);
        const QString name = info.fileName();
        const QString extension = name.right(3).toUpper();
        showText(bytes, extension == QLatin1String("RTF"));
        m_filePath = info.absoluteFilePath();
        m_fileName = name;
        m_fileExt = extension;
        setWindowTitle(captionWithFile(UntitledCaption, name));
        setToolTip(m_filePath);
        Message(session(), QStringLiteral("Opened file: ") + path, false);
    });
}

void OutputViewer::showText(const QByteArray &bytes, bool rich)
{
    if (rich) {
        m_text->clear();
        fillDocument(*m_text->document(), readRtf(bytes));
        m_crlf = true;
        return;
    }
    // Output files come from this program (UTF-8) or from older tools (a Windows code page).
    QString text = decodePlainText(bytes);
    m_crlf = text.contains(QStringLiteral("\r\n")) || !text.contains(u'\n');
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(text);
}

void OutputViewer::fileOpen()
{
    guarded(session(), FormOpenTag, [&] {
        session().UserCancelled = false;
        const FileDialogAnswer answer = session().frontend().openFileDialog({ QStringLiteral("Open Output File"),
            OutputFilter, QStringLiteral("out"), session().model.ProjectDir, {} });
        if (!answer.accepted) {
            session().UserCancelled = true;
            return;
        }
        loadFile(answer.path);
    });
}

void OutputViewer::fileSaveAs()
{
    guarded(session(), FormSaveTag, [&] {
        session().UserCancelled = false;
        const FileDialogAnswer answer = chooseFileToWrite(session(),
            { QStringLiteral("Save Output File As"), OutputFilter, QStringLiteral("out"), session().model.ProjectDir,
                m_fileName });
        if (!answer.accepted) {
            session().UserCancelled = true;
            return;
        }
        writeText(answer.path);
        const QFileInfo info(answer.path);
        m_filePath = info.absoluteFilePath();
        m_fileName = info.fileName();
        m_fileExt = m_fileName.right(3).toUpper();
        setWindowTitle(captionWithFile(windowTitle(), m_fileName));
        setToolTip(m_filePath);
        Message(session(), QStringLiteral("Saved output file: ") + answer.path, false);
    });
}

void OutputViewer::writeText(const QString &path)
{
    QString text = m_text->toPlainText();
    if (m_crlf)
        text.replace(u'\n', QStringLiteral("\r\n"));
    if (!writeWholeFile(path, text.toUtf8()).written)
        qel::raise(ErrPathFileAccess, path);
}

void OutputViewer::printForm()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_fileName.isEmpty() ? windowTitle() : m_fileName);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print Output File"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(&printer);
}

bool OutputViewer::printTo(QPrinter *printer)
{
    return guarded(session(), FormPrintTag, [&] {
        if (!printer || !printer->isValid())
            qel::raise(ErrInvalidCall, QStringLiteral("printer"));
        m_text->document()->print(printer);
        if (printer->printerState() == QPrinter::Error)
            qel::raise(ErrPathFileAccess, printer->outputFileName());
        session().setStatus(QStringLiteral("Document printed."));
    });
}

} // namespace qel::gui
