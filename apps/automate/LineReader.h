#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

namespace perikon::automation {

// Reads UTF-8 lines from a file descriptor as they arrive, from the event loop, so reading goes
// on while a modal window's own loop runs.
class LineReader : public QObject
{
    Q_OBJECT
public:
    explicit LineReader(int fd, QObject *parent = nullptr);

signals:
    void lineRead(const QString &line);
    void closed();

private:
    void readAvailable();

    int m_fd;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
};

} // namespace perikon::automation
