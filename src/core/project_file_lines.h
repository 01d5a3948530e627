#pragma once

#include "core/project_model.h"
#include "core/session.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qel {

// A value as the reader takes it: blanks only are dropped at either end, as the values never
// carried meaningful spaces there.
QString trimBlanks(const QString &text);

// The project reader's view of the file: its lines read forward only, and at most one line read
// but not yet consumed (PendingLine). Failures are QelErrors; the key being read is kept so the
// reader can name it as the failure's source.
class ProjectFileLines {
public:
    // Bytes as UTF-8, or as Latin-1 when they are not valid UTF-8; lines end in CR LF or LF.
    ProjectFileLines(Session &session, const QByteArray &bytes);

    // The next line of the file; past the end is error 62.
    QString nextLine();
    bool atEnd() const { return m_next >= m_lines.size(); }

    // Skips forward to the line whose left-trimmed text is name (any case), or to the end of
    // the file, and forgets the pending line.
    void GoToSection(const QString &name);

    // Reads the next line for key. A line for another key is left pending, the value takes its
    // default and the gap is logged; reading goes on.
    void ReadKey(const QString &key, QString &value);
    void ReadKey(const QString &key, bool &value);
    void ReadKey(const QString &key, double &value);
    void ReadKey(const QString &key, int16 &value);
    void ReadKey(const QString &key, Colour &value);
    void ReadKeyPair(const QString &key, double &x, double &y);

    QString PendingLine;
    // The key the reader asked for last; "" before the first.
    const QString &currentKey() const { return m_key; }

private:
    // The trimmed text after "key=", or nothing when the line is for another key.
    std::optional<QString> valueFor(const QString &key, bool pair);

    Session &m_session;
    QStringList m_lines;
    qsizetype m_next = 0;
    QString m_key;
};

} // namespace qel
