#include "gui/workbench/qt_frontend.h"

#include "gui/map/map_window.h"
#include "gui/workbench/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QUrl>

namespace qel::gui {

namespace {

// While long work lets the windows repaint, the person's input goes nowhere but to the Cancel
// button: a click elsewhere could start another command in the middle of this one. Esc cancels
// as the button does.
class CancelWatch : public QObject {
public:
    CancelWatch(QAbstractButton *button, bool &cancelRequested)
        : m_button(button)
        , m_cancelRequested(cancelRequested)
    {
    }

    bool eventFilter(QObject *target, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                m_cancelRequested = true;
                event->accept();
            }
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            // A window hands the click on to the widget under the pointer, where it is judged.
            return !(target->isWindowType() || (m_button && target == m_button.data()));
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease: return true;
        default: return false;
        }
    }

private:
    QPointer<QAbstractButton> m_button;
    bool &m_cancelRequested;
};

} // namespace

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        // The text shows its own pattern list in brackets; Qt reads the patterns from there.
        static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        text.remove(shownPatterns);
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*"); // also names without an extension
        }
        filters << text + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QWidget *QtFrontend::dialogParent() const
{
    if (QWidget *active = QApplication::activeModalWidget())
        return active;
    return m_window.data();
}

void QtFrontend::setStatusPanel(StatusPanel panel, const QString &text)
{
    if (m_window)
        m_window->setStatusPanel(panel, text);
}

void QtFrontend::messageAdded(const QString &line)
{
    if (m_window)
        m_window->messageAdded(line);
}

void QtFrontend::messagesCleared()
{
    if (m_window)
        m_window->messagesCleared();
}

MsgAnswer QtFrontend::messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("QEL") : title);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        break;
    }
    // The person answers with the ordinary pointer even in the middle of a long operation.
    const bool wasBusy = m_busy;
    if (wasBusy)
        setBusy(false);
    const int result = box.exec();
    if (wasBusy)
        setBusy(true);
    switch (result) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default:
        return buttons == MsgButtons::Ok   ? MsgAnswer::Ok
            : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                           : MsgAnswer::Cancel;
    }
}

FileDialogAnswer QtFrontend::fileDialog(const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(dialogParent(), request.title, request.initialDir);
    // Qt's own dialog reports the chosen filter entry reliably, which the base-map type needs.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The procedures ask about overwriting themselves, about the name they finally write
    // (core/replace_question.h), so Qt's own question would be a second one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.folder ? QFileDialog::Directory
            : save                    ? QFileDialog::AnyFile
                                      : QFileDialog::ExistingFile);
    if (request.folder)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultExt);
    if (request.initialFilter > 1 && request.initialFilter <= filters.size())
        dialog.selectNameFilter(filters[request.initialFilter - 1]);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    FileDialogAnswer answer;
    answer.accepted = true;
    answer.path = dialog.selectedFiles().constFirst();
    answer.filterIndex = int(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))) + 1;
    return answer;
}

FileDialogAnswer QtFrontend::openFileDialog(const FileDialogRequest &request)
{
    return fileDialog(request, false);
}

FileDialogAnswer QtFrontend::saveFileDialog(const FileDialogRequest &request)
{
    return fileDialog(request, true);
}

std::optional<QString> QtFrontend::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        dialogParent(), title.isEmpty() ? QStringLiteral("QEL") : title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtFrontend::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::optional<QPointF> QtFrontend::pickMapPoint(const QString &prompt)
{
    if (m_picker)
        return m_picker(prompt);
    if (MapWindow *map = m_window ? findMapWindow(*m_window) : nullptr)
        return map->canvas()->pickPoint(prompt);
    return std::nullopt;
}

void QtFrontend::setCommandEnabled(Command command, bool enabled)
{
    if (m_window)
        m_window->setCommandEnabled(command, enabled);
}

bool QtFrontend::openWithDefaultApplication(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtFrontend::showTextFile(const QString &path, const QString &caption)
{
    if (m_window)
        m_window->showTextFile(path, caption);
}

void QtFrontend::outlineChanged()
{
    if (m_window)
        m_window->refreshOutline();
}

void QtFrontend::layersChanged()
{
    if (m_window)
        m_window->refreshLayers();
}

void QtFrontend::closeMapWindow()
{
    if (m_window)
        m_window->closeMapWindow();
}

void QtFrontend::beginProgress(const QString &)
{
    m_cancelRequested = false;
    if (!m_window)
        return;
    QProgressBar *bar = m_window->progressBar();
    bar->setRange(0, 0); // a busy bar until the work knows how far it is
    bar->setVisible(true);
    if (!m_cancelButton) {
        m_cancelButton = m_window->findChild<QAbstractButton *>(QStringLiteral("cmdCancelWork"));
        if (m_cancelButton)
            QObject::connect(
                m_cancelButton, &QAbstractButton::clicked, m_cancelButton, [this] { m_cancelRequested = true; });
        m_cancelWatch = std::make_unique<CancelWatch>(m_cancelButton, m_cancelRequested);
    }
    if (m_cancelButton) {
        m_cancelButton->setEnabled(true);
        m_cancelButton->setVisible(true);
    }
}

void QtFrontend::setProgress(double fraction)
{
    if (!m_window)
        return;
    QProgressBar *bar = m_window->progressBar();
    bar->setRange(0, 1000);
    bar->setValue(int(fraction * 1000));
}

void QtFrontend::endProgress()
{
    if (m_window)
        m_window->progressBar()->setVisible(false);
    if (m_cancelButton)
        m_cancelButton->setVisible(false);
}

void QtFrontend::showMapWindow()
{
    if (m_window)
        gui::showMapWindow(*m_window);
}

void QtFrontend::processPendingEvents()
{
    if (!m_cancelWatch) {
        // No Cancel button to reach: painting only.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    qApp->installEventFilter(m_cancelWatch.get());
    QCoreApplication::processEvents();
    qApp->removeEventFilter(m_cancelWatch.get());
    // Pressed once is enough: a second click would only queue up behind the work.
    if (m_cancelRequested && m_cancelButton)
        m_cancelButton->setEnabled(false);
}

} // namespace qel::gui
