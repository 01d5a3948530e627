#pragma once

#include "gui/common/child_form.h"

class QLabel;
class QPrinter;
class QStatusBar;
class QTextEdit;

namespace qel::gui {

// frmDoc: the project summary, or any rich-text or plain-text file, in an editable field that
// the user can format, save as RTF and print.
class DocumentWindow : public ChildForm {
    Q_OBJECT
public:
    explicit DocumentWindow(Session &session, QWidget *parent = nullptr);

    QTextEdit *textField() const { return m_text; }

    // Fills the field with a newly composed summary.
    void showProjectData();
    // Form_FileOpen and Form_FileSaveAs: the file dialogs, then the file. A cancelled dialog
    // ends silently.
    void fileOpen();
    void fileSaveAs();
    // Form_Print: the print dialog, then printDocument.
    void printForm() override;
    void printDocument(QPrinter *printer);

public Q_SLOTS:
    // The main toolbar's formatting buttons: act on the selection, or on what is typed next.
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void setAlignment(Qt::Alignment alignment);

Q_SIGNALS:
    // The format under the selection changed; the pressed state of the buttons follows it.
    void formatChanged(bool bold, bool italic, bool underline, Qt::Alignment alignment);

private:
    void selectionChanged();
    void loadFile(const QString &path);
    void applyDefaultTabStops();
    void setDocumentFile(const QString &path);

    QTextEdit *m_text;
    QStatusBar *m_statusBar;
    QLabel *m_fileLabel;
};

} // namespace qel::gui
