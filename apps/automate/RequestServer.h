#pragma once

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QSet>
#include <QString>

#include <vector>

class QSocketNotifier;
class QWidget;

namespace perikon::automation {

class Bridge;

// Serves request lines to the bridge from the event loop, one at a time. A line waits its turn
// while a request runs, unless that request is blocked in a modal window's loop: then the request
// is answered as pending at once, later lines are served inside that loop, and {"result":ID}
// gives the request's own reply once it has finished.
//
// Lines are served only when a socket notifier of the server fires, so a fill that keeps socket
// notifiers out of its processEvents never starts a request, and one that lets them in only
// queues the line.
class RequestServer : public QObject
{
    Q_OBJECT
public:
    explicit RequestServer(Bridge &bridge, QObject *parent = nullptr);
    ~RequestServer() override;

    void submit(const QString &line);
    // No more lines come; finished() follows once the waiting ones are served.
    void closeInput();

signals:
    void replied(const QString &line);
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Running
    {
        QJsonValue id;
        bool pending = false;
        QPointer<QWidget> modal; // the window whose loop the request waits in
    };

    void wake();
    void serve();
    bool mayServe() const;
    void run(const QString &line);
    QJsonObject resultOf(const QJsonValue &id) const;
    void write(const QJsonObject &reply);
    void modalWindowShown(QWidget *window);

    Bridge &m_bridge;
    QQueue<QString> m_lines;
    std::vector<Running> m_running;         // innermost last
    QHash<QString, QJsonObject> m_finished; // by the id's JSON text
    QSet<QString> m_pending;
    int m_wakeFds[2] = {-1, -1};
    QSocketNotifier *m_wakeNotifier = nullptr;
    bool m_woken = false;
    bool m_inputClosed = false;
    int m_nextGeneratedId = 1;
};

} // namespace perikon::automation
