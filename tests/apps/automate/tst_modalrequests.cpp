// Requests served from the event loop: a request that opens a modal window answers pending, the
// bridge goes on serving inside the window's loop, and the request's own reply comes later; lines
// that arrive while a request runs wait their turn.

#include "ContactWindow.h"
#include "apps/automate/Bridge.h"
#include "apps/automate/RequestServer.h"
#include "perikon/host/contract/HostRegistry.h"
#include "support/FailOnWarnings.h"

#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace perikon;

namespace {

// A bridge object whose method asks a question in a modal dialog, as the component's windows do.
class Asker : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QString Ask(const QString &question)
    {
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("frmAsk"));
        dialog.setWindowTitle(question);
        auto *layout = new QVBoxLayout(&dialog);
        auto *name = new QLineEdit(&dialog);
        name->setObjectName(QStringLiteral("EdtName"));
        layout->addWidget(name);
        auto *ok = new QPushButton(QStringLiteral("确定"), &dialog);
        ok->setObjectName(QStringLiteral("cmdOk"));
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        layout->addWidget(ok);
        // Should the bridge stop serving inside the loop, the test fails instead of hanging.
        QTimer::singleShot(8000, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted)
            return QStringLiteral("cancelled");
        return name->text();
    }
};

// Feeds a script to the server the way a client process does: the next line once the reply to the
// previous one has come, or all lines at once.
class ScriptClient : public QObject
{
public:
    ScriptClient(automation::RequestServer &server, const QStringList &lines, bool waitForReplies)
        : m_server(server)
        , m_lines(lines)
        , m_waitForReplies(waitForReplies)
    {
        connect(&server, &automation::RequestServer::replied, this, [this](const QString &line) {
            replies.append(QJsonDocument::fromJson(line.toUtf8()).object());
            if (m_waitForReplies && m_next < m_lines.size())
                m_server.submit(m_lines[m_next++]);
        });
        if (!m_waitForReplies) {
            for (const QString &line : lines)
                server.submit(line);
            m_next = int(lines.size());
        } else if (!lines.isEmpty()) {
            server.submit(m_lines[m_next++]);
        }
    }

    QList<QJsonObject> replies;

private:
    automation::RequestServer &m_server;
    QStringList m_lines;
    bool m_waitForReplies;
    int m_next = 0;
};

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

class tst_ModalRequests : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HostRegistry::registerFactory(QStringLiteral("Test.Asker"),
                                      [] { return std::make_unique<Asker>(); });
    }

    void init()
    {
        testing::failOnUnexpectedWarnings();
        m_bridge = std::make_unique<automation::Bridge>();
        m_server = std::make_unique<automation::RequestServer>(*m_bridge);
        m_main = std::make_unique<ContactWindow>(QStringLiteral("frmMain"));
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        m_server.reset();
        m_bridge.reset();
        m_main.reset();
    }

    void modalWindowAnswersPendingAndServesInsideItsLoop_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("result");
        QTest::newRow("its button accepts")
            << R"({"ui":"click","path":"frmAsk/cmdOk","id":"end"})" << QStringLiteral("李四");
        QTest::newRow("closed by its title bar")
            << R"({"ui":"close","path":"frmAsk","id":"end"})" << QStringLiteral("cancelled");
        QTest::newRow("Escape") << R"({"ui":"key","path":"frmAsk/EdtName","keys":"Esc","id":"end"})"
                                << QStringLiteral("cancelled");
    }

    void modalWindowAnswersPendingAndServesInsideItsLoop()
    {
        QFETCH(QString, ending);
        QFETCH(QString, result);
        ScriptClient client(*m_server,
                            {R"({"new":"Test.Asker","as":"asker"})",
                             R"({"call":"asker.Ask","args":["姓名？"],"id":7})", R"({"result":7})",
                             R"({"ui":"read","path":"frmAsk/EdtName","id":8})",
                             R"({"ui":"type","path":"frmAsk/EdtName","text":"李四"})",
                             R"({"ui":"click","path":"frmMain/cmdApply"})",
                             R"({"ui":"click","path":"frmMain/mnuFileSave"})", ending,
                             R"({"result":7,"id":9})"},
                            true);
        QTRY_COMPARE_WITH_TIMEOUT(client.replies.size(), 9, 10000);
        QCOMPARE(client.replies[0], json(R"({"ok":true})"));
        QCOMPARE(client.replies[1], json(R"({"ok":true,"pending":true,"id":7,"window":"frmAsk"})"));
        QCOMPARE(client.replies[2], json(R"({"ok":true,"pending":true})"));
        QCOMPARE(client.replies[3].value("text").toString(), QString());
        QCOMPARE(client.replies[3].value("id").toInt(), 8);
        QCOMPARE(client.replies[4], json(R"({"ok":true})"));
        // A person cannot reach the window under the modal one either.
        QCOMPARE(client.replies[5].value("error").toString(),
                 QStringLiteral("cmdApply is behind the modal window frmAsk"));
        QCOMPARE(m_main->applies, 0);
        QCOMPARE(client.replies[6].value("error").toString(),
                 QStringLiteral("mnuFileSave is behind the modal window frmAsk"));
        QCOMPARE(m_main->saves, 0);
        QCOMPARE(client.replies[7].value("ok").toBool(), true);
        QCOMPARE(client.replies[7].value("id").toString(), QStringLiteral("end"));
        QCOMPARE(client.replies[8], (QJsonObject{{"ok", true},
                                                 {"result", result},
                                                 {"args", QJsonArray{QStringLiteral("姓名？")}},
                                                 {"id", 7}}));
    }

    void pendingRequestWithoutIdIsGivenOne()
    {
        ScriptClient client(*m_server,
                            {R"({"new":"Test.Asker","as":"asker"})",
                             R"({"call":"asker.Ask","args":["?"]})",
                             R"({"ui":"close","path":"frmAsk"})"},
                            true);
        QTRY_COMPARE_WITH_TIMEOUT(client.replies.size(), 3, 10000);
        QCOMPARE(client.replies[2], json(R"({"ok":true,"closed":true})"));
        const QJsonValue id = client.replies[1].value("id");
        QVERIFY(id.isString() && !id.toString().isEmpty());
        const QJsonObject ask{{"result", id}};
        ScriptClient later(*m_server,
                           {QString::fromUtf8(QJsonDocument(ask).toJson(QJsonDocument::Compact))},
                           true);
        QTRY_COMPARE_WITH_TIMEOUT(later.replies.size(), 1, 10000);
        QCOMPARE(later.replies[0].value("result").toString(), QStringLiteral("cancelled"));
        QCOMPARE(later.replies[0].value("id"), id);
    }

    void resultOfAnUnknownRequestIsAnError()
    {
        ScriptClient client(*m_server, {R"({"result":"nobody","id":3})"}, true);
        QTRY_COMPARE_WITH_TIMEOUT(client.replies.size(), 1, 10000);
        QCOMPARE(client.replies[0],
                 (QJsonObject{{"ok", false},
                              {"error", "no request with id \"nobody\" went pending"},
                              {"id", 3}}));
    }

    void linesWaitWhileARequestRuns()
    {
        // The wait's own event processing sees the later lines arrive; they must not run there.
        QTimer::singleShot(50, m_main.get(),
                           [this] { m_main->edits[0]->setText(QStringLiteral("计时器")); });
        ScriptClient client(*m_server,
                            {R"({"ui":"wait","ms":150,"id":1})",
                             R"({"ui":"read","path":"frmMain/Edt_0","id":2})", "not json",
                             R"({"ui":"windows","id":4})"},
                            false);
        QTRY_COMPARE_WITH_TIMEOUT(client.replies.size(), 4, 10000);
        QCOMPARE(client.replies[0], json(R"({"ok":true,"id":1})"));
        QCOMPARE(client.replies[1].value("id").toInt(), 2);
        QCOMPARE(client.replies[1].value("text").toString(), QStringLiteral("计时器"));
        QCOMPARE(client.replies[2].value("ok").toBool(), false);
        QCOMPARE(client.replies[3].value("id").toInt(), 4);
    }

    void finishesOnceTheInputIsServed()
    {
        QSignalSpy finished(m_server.get(), &automation::RequestServer::finished);
        ScriptClient client(*m_server, {R"({"ui":"wait","ms":10})", R"({"ui":"windows"})"}, false);
        m_server->closeInput();
        QVERIFY(finished.wait(10000));
        QCOMPARE(client.replies.size(), 2);
    }

private:
    std::unique_ptr<automation::Bridge> m_bridge;
    std::unique_ptr<automation::RequestServer> m_server;
    std::unique_ptr<ContactWindow> m_main;
};

QTEST_MAIN(tst_ModalRequests)
#include "tst_modalrequests.moc"
