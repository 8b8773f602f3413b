#pragma once

// A stand-in for the desktop's launcher while a test runs: an `xdg-open` script in a temporary
// folder put first on PATH, which writes the link it is given into a file instead of opening
// anything, and the trace file the suite's mail tool writes into. With `withLauncher` false the
// folder stays empty and PATH holds nothing else, so no launcher can be found at all.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace perikon::testing {

class MailLauncherStub
{
public:
    explicit MailLauncherStub(bool withLauncher = true)
        : m_path(qgetenv("PATH"))
        , m_trace(qgetenv("PERIKON_TRACE_FILE"))
    {
        if (withLauncher) {
            QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
            if (script.open(QIODevice::WriteOnly)) {
                script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '"
                             + QFile::encodeName(openedFile()) + "'\n");
                script.close();
                script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            }
            qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
        } else {
            qputenv("PATH", QFile::encodeName(m_dir.path()));
        }
        qputenv("PERIKON_TRACE_FILE", QFile::encodeName(m_dir.filePath(QStringLiteral("trace"))));
    }

    ~MailLauncherStub()
    {
        qputenv("PATH", m_path);
        if (m_trace.isNull())
            qunsetenv("PERIKON_TRACE_FILE");
        else
            qputenv("PERIKON_TRACE_FILE", m_trace);
    }

    MailLauncherStub(const MailLauncherStub &) = delete;
    MailLauncherStub &operator=(const MailLauncherStub &) = delete;

    bool isValid() const { return m_dir.isValid(); }

    // The links handed to the launcher so far. The launcher runs detached: wait for it with
    // waitForOpened before reading.
    QStringList opened() const { return lines(openedFile()); }
    bool waitForOpened(int count, int timeoutMs = 10000) const
    {
        return QTest::qWaitFor([&] { return opened().size() >= count; }, timeoutMs);
    }

    // The details of the mail tool's trace lines ("MailTool", tab, detail), oldest first.
    QStringList traced() const
    {
        QStringList details;
        for (const QString &line : lines(m_dir.filePath(QStringLiteral("trace")))) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() >= 3 && fields.at(1) == QLatin1String("MailTool"))
                details.append(fields.mid(2).join(u'\t'));
        }
        return details;
    }

private:
    QString openedFile() const { return m_dir.filePath(QStringLiteral("opened")); }

    static QStringList lines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList all = QString::fromUtf8(file.readAll()).split(u'\n');
        if (!all.isEmpty() && all.last().isEmpty())
            all.removeLast();
        return all;
    }

    QTemporaryDir m_dir;
    QByteArray m_path;
    QByteArray m_trace;
};

} // namespace perikon::testing
