#include "gui/document/document_window.h"

#include "core/errors.h"
#include "core/help_topics.h"
#include "core/project_summary.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "core/rtf_document.h"
#include "core/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

#include <utility>

namespace qel::gui {

namespace {

const QString Caption = QString::fromLatin1(SummaryUnsavedCaption);

// Caption of a saved document: the fixed part and the file's name in brackets.
QString savedCaption(const QString &path)
{
    return Caption.left(Caption.size() - 8) + QFileInfo(path).fileName() + u')';
}

// Plain text is shown like the summary's body lines.
RtfCharFormat bodyFormat()
{
    return { rtfStandardFonts().at(RtfBodyFont), RtfBodyHalfPoints };
}

bool isBold(const QTextCharFormat &format)
{
    return format.fontWeight() >= QFont::DemiBold;
}

} // namespace

DocumentWindow::DocumentWindow(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("Doc"), HelpTopic::SummaryDocument, parent)
    , m_text(new QTextEdit(this))
    , m_statusBar(new QStatusBar(this))
    , m_fileLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("frmDoc"));
    setWindowTitle(Caption);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAcceptRichText(true);
    m_text->setFrameShape(QFrame::NoFrame);
    // New lines look like the summary's body lines.
    QFont body(bodyFormat().fontFamily);
    body.setPointSizeF(bodyFormat().halfPoints / 2.0);
    m_text->document()->setDefaultFont(body);
    m_text->document()->setDocumentMargin(18);
    m_statusBar->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->addWidget(m_fileLabel, 1);
    m_fileLabel->setText(tr("Not saved"));
    m_fileLabel->setContentsMargins(4, 0, 4, 0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_statusBar);
    resize(640, 480);

    connect(m_text, &QTextEdit::currentCharFormatChanged, this, &DocumentWindow::selectionChanged);
    connect(m_text, &QTextEdit::cursorPositionChanged, this, &DocumentWindow::selectionChanged);
    connect(m_text, &QTextEdit::selectionChanged, this, &DocumentWindow::selectionChanged);
}

void DocumentWindow::showProjectData()
{
    setWindowTitle(Caption);
    setDocumentFile({});
    ShowProjectData(session(), [&](const QString &rtf) {
        m_text->hide();
        fillDocument(*m_text->document(), readRtfText(rtf));
        m_text->document()->clearUndoRedoStacks();
        m_text->document()->setModified(false);
        m_text->moveCursor(QTextCursor::Start);
    });
    m_text->show();
    selectionChanged();
}

void DocumentWindow::fileOpen()
{
    guarded(session(), QStringLiteral("Doc:Form_FileOpen"), [&] {
        const FileDialogAnswer answer
            = session().frontend().openFileDialog({ QStringLiteral("Open Project Summary File"),
                QStringLiteral("Rich Text Format (*.rtf)|*.rtf|All Files (*.*)|*.*"), QStringLiteral("rtf"),
                session().model.ProjectDir, QString() });
        if (!answer.accepted)
            return;
        loadFile(answer.path);
        Message(session(), QStringLiteral("Opened project summary file: ") + answer.path);
    });
}

void DocumentWindow::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qel::raise(file.exists() ? ErrPathFileAccess : ErrFileNotFound, path);
    const QByteArray bytes = file.readAll();
    // Loading moves the cursor many times; the buttons follow only the final state.
    const bool ready = std::exchange(session().DocReady, false);
    if (path.right(3).toUpper() == QLatin1String("RTF"))
        fillDocument(*m_text->document(), readRtf(bytes));
    else
        fillDocument(*m_text->document(), plainTextParagraphs(decodePlainText(bytes), bodyFormat()));
    applyDefaultTabStops();
    m_text->document()->clearUndoRedoStacks();
    m_text->document()->setModified(false);
    m_text->moveCursor(QTextCursor::Start);
    session().DocReady = ready;
    setDocumentFile(path);
    selectionChanged();
}

void DocumentWindow::applyDefaultTabStops()
{
    // Paragraphs without stops of their own get the summary's three.
    QList<QTextOption::Tab> tabs;
    for (const RtfTabStop &stop : summaryTabStops())
        tabs.append(QTextOption::Tab(stop.twips / 15.0, stop.type));
    QTextCursor cursor(m_text->document());
    cursor.beginEditBlock();
    for (QTextBlock block = m_text->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().tabPositions().isEmpty())
            continue;
        QTextBlockFormat format;
        format.setTabPositions(tabs);
        cursor.setPosition(block.position());
        cursor.mergeBlockFormat(format);
    }
    cursor.endEditBlock();
}

void DocumentWindow::fileSaveAs()
{
    guarded(session(), QStringLiteral("Doc:Form_FileSaveAs"), [&] {
        const FileDialogAnswer answer = chooseFileToWrite(session(),
            { QStringLiteral("Save Project Summary File As"),
                QStringLiteral("Rich Text Format (*.rtf)|*.rtf|Text Format (*.txt)|*.txt"), QStringLiteral("rtf"),
                session().model.ProjectDir, QString() });
        if (!answer.accepted)
            return;
        // Rich text whatever the name: the formatting must survive a reopening.
        const QByteArray bytes = writeRtf(*m_text->document()).toLatin1();
        if (!writeWholeFile(answer.path, bytes).written)
            qel::raise(ErrPathFileAccess, answer.path);
        m_text->document()->setModified(false);
        setWindowTitle(savedCaption(answer.path));
        setDocumentFile(answer.path);
        Message(session(), QStringLiteral("Saved project summary file: ") + answer.path);
    });
}

void DocumentWindow::printForm()
{
    QPrinter printer(QPrinter::HighResolution);
    bool accepted = false;
    guarded(session(), QStringLiteral("Doc:Form_Print"), [&] {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(tr("Print Project Summary"));
        accepted = dialog.exec() == QDialog::Accepted;
    });
    if (accepted)
        printDocument(&printer);
}

void DocumentWindow::printDocument(QPrinter *printer)
{
    guarded(session(), QStringLiteral("Doc:Form_Print"), [&] {
        if (!printer || !printer->isValid())
            qel::raise(ErrInvalidCall, QStringLiteral("printer"));
        m_text->document()->print(printer);
        session().setStatus(QStringLiteral("Document printed."));
    });
}

void DocumentWindow::setBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    m_text->mergeCurrentCharFormat(format);
}

void DocumentWindow::setItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    m_text->mergeCurrentCharFormat(format);
}

void DocumentWindow::setUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    m_text->mergeCurrentCharFormat(format);
}

void DocumentWindow::setAlignment(Qt::Alignment alignment)
{
    m_text->setAlignment(horizontalAlignment(alignment) | Qt::AlignAbsolute);
    selectionChanged();
}

void DocumentWindow::selectionChanged()
{
    if (!session().DocReady)
        return;
    guarded(session(), QStringLiteral("Doc:Text1_SelChange"), [&] {
        const QTextCursor cursor = m_text->textCursor();
        QTextCharFormat single = m_text->currentCharFormat();
        bool bold = isBold(single), italic = single.fontItalic(), underline = single.fontUnderline();
        if (cursor.hasSelection()) {
            // A button is pressed only when the whole selection has its format.
            const int start = cursor.selectionStart(), end = cursor.selectionEnd();
            bool any = false, allBold = true, allItalic = true, allUnderline = true;
            for (QTextBlock block = m_text->document()->findBlock(start); block.isValid() && block.position() < end;
                 block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QTextFragment fragment = it.fragment();
                    if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                        continue;
                    const QTextCharFormat format = fragment.charFormat();
                    any = true;
                    allBold = allBold && isBold(format);
                    allItalic = allItalic && format.fontItalic();
                    allUnderline = allUnderline && format.fontUnderline();
                }
            }
            if (any) {
                bold = allBold;
                italic = allItalic;
                underline = allUnderline;
            }
        }
        Q_EMIT formatChanged(bold, italic, underline, horizontalAlignment(cursor.blockFormat().alignment()));
    });
}

void DocumentWindow::setDocumentFile(const QString &path)
{
    m_fileLabel->setText(path.isEmpty() ? tr("Not saved") : QDir::toNativeSeparators(path));
}

} // namespace qel::gui
