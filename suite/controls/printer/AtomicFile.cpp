#include "suite/controls/printer/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace perikon::suite::printer {

AtomicFile::AtomicFile(QString targetPath)
    : m_target(std::move(targetPath))
{
    const QFileInfo target(m_target);
    // Hidden, in the target's folder: a rename within one file system is all or nothing.
    m_temporary.setFileTemplate(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                + QStringLiteral(".XXXXXX"));
}

std::optional<QString> AtomicFile::open()
{
    if (m_temporary.open())
        return std::nullopt;
    const QFileInfo folder(QFileInfo(m_target).absolutePath());
    if (!folder.exists())
        return QStringLiteral("No such file or directory");
    if (!folder.isDir())
        return QStringLiteral("Not a directory");
    return m_temporary.errorString();
}

QString AtomicFile::closedTemporaryPath()
{
    m_temporary.close();
    return m_temporary.fileName();
}

std::optional<QString> AtomicFile::commit()
{
    if (m_temporary.isOpen()) {
        if (!m_temporary.flush() || m_temporary.error() != QFileDevice::NoError)
            return m_temporary.errorString();
        m_temporary.close();
    }
    // QTemporaryFile creates the file for its owner alone; an exported file is an ordinary one.
    m_temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                               | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // rename(2) replaces an existing target in one step, which QFile::rename does not.
    const QByteArray from = QFile::encodeName(m_temporary.fileName());
    const QByteArray to = QFile::encodeName(m_target);
    if (std::rename(from.constData(), to.constData()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    m_temporary.setAutoRemove(false);
    return std::nullopt;
}

} // namespace perikon::suite::printer
