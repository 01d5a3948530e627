#pragma once

#include "gui/common/child_form.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QTextEdit;

namespace qel::gui {

// frmOutput: shows a text output file (regression outputs, the results report, the session
// log) for reading, saving under another name and printing. It never changes the project.
class OutputViewer : public ChildForm {
    Q_OBJECT
public:
    explicit OutputViewer(Session &session, QWidget *parent = nullptr);

    // Shows the file; a name ending in "RTF" is shown as rich text. A file that cannot be read
    // is reported under "Output:Form_FileOpen" and leaves the window as it was.
    bool loadFile(const QString &path);

    // File > Open and Save As of the viewer, with their dialogs; a cancelled dialog sets
    // UserCancelled and does nothing else.
    void fileOpen();
    void fileSaveAs();

    void printForm() override;
    // Prints the text on an already set-up printer (a PDF file prints without any printer).
    bool printTo(QPrinter *printer);

    const QString &filePath() const { return m_filePath; }
    const QString &fileName() const { return m_fileName; }
    const QString &fileExtension() const { return m_fileExt; }
    QString text() const;

    // Turns RTF bytes into HTML; nothing when they cannot be read. Until one is installed, RTF

private:
    void showText(const QByteArray &bytes, bool rich);
    void writeText(const QString &path);

    QTextEdit *m_text;
    QString m_filePath;
    QString m_fileName;
    QString m_fileExt; // last three characters of the name, upper case
    bool m_crlf = true; // line ends written back as the file had them
};

} // namespace qel::gui
