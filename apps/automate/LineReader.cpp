#include "apps/automate/LineReader.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

namespace perikon::automation {

LineReader::LineReader(int fd, QObject *parent)
    : QObject(parent)
    , m_fd(fd)
    , m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &LineReader::readAvailable);
}

void LineReader::readAvailable()
{
    char chunk[65536];
    // One read per notification: the descriptor may block, and the notifier says only that
    // something is there.
    const ssize_t got = ::read(m_fd, chunk, sizeof chunk);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got > 0)
        m_buffer.append(chunk, got);
    for (qsizetype end = m_buffer.indexOf('\n'); end >= 0; end = m_buffer.indexOf('\n')) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        emit lineRead(QString::fromUtf8(line));
    }
    if (got <= 0) {
        m_notifier->setEnabled(false);
        if (!m_buffer.isEmpty())
            emit lineRead(QString::fromUtf8(std::exchange(m_buffer, {})));
        emit closed();
    }
}

} // namespace perikon::automation
