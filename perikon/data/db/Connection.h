#pragma once

#include "SqlDialect.h"

#include <QObject>
#include <QString>

#include <memory>

namespace perikon::db {

class Driver;
class ProcedureRegistry;
class ResultCursor;

// A connection to one account database. It takes the SQL Server text the component writes, has the
// dialect translate it for the open backend, and runs the steps: statements, database switches,
// existence tests and the suite's procedures.
class Connection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString connectionString READ connectionString WRITE setConnectionString)
    Q_PROPERTY(int commandTimeout READ commandTimeout WRITE setCommandTimeout)
    Q_PROPERTY(QString defaultDatabase READ defaultDatabase WRITE setDefaultDatabase)
    Q_PROPERTY(int state READ state)

public:
    static constexpr int StateClosed = 0;
    static constexpr int StateOpen = 1;

    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    QString connectionString() const { return m_connectionString; }
    // Throws DbError while the connection is open.
    void setConnectionString(const QString &connectionString);

    // Seconds a statement may run; 0 means no limit.
    int commandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int seconds);

    // Opens with the given connection string, or the current one when empty. Throws DbError; the
    // connection then stays closed.
    Q_INVOKABLE void open(const QString &connectionString = {});
    Q_INVOKABLE void close();
    // Closed also once the server has dropped the link.
    int state() const;

    // Whether the server has dropped the link since the last statement (a restart, an
    // administrator ending the session), judged without a round trip.
    bool linkLost();
    // Makes a new link with the same connection string and default database when the server
    // dropped the old one. Not inside a transaction: its work is gone with the link, and its
    // owner must hear of that rather than go on in a new one. True when a new link was made;
    // throws DbError when the server cannot be reached (the lost link is kept, to try again).
    bool restoreLostLink();
    // Changes with every link made (open, or a lost one restored): whatever the server held for
    // an earlier link, prepared statements and session settings, is gone.
    quint64 generation() const { return m_generation; }
    // Statements and operations refused for want of a link (never opened, closed, or lost).
    quint64 refusals() const { return m_refusals; }

    // Runs SQL Server text. recordsAffected receives the rows changed by its statements.
    void execute(const QString &sqlServerText, qint64 *recordsAffected = nullptr);
    Q_INVOKABLE qint64 executeText(const QString &sqlServerText);

    // Runs the steps of the text and gives the rows of its last statement, or nullptr when that
    // statement yields no rows.
    std::unique_ptr<ResultCursor> openCursor(const QString &sqlServerText);

    // Begins a transaction and gives its nesting level (always 1: transactions do not nest).
    Q_INVOKABLE int beginTrans();
    Q_INVOKABLE void commitTrans();
    Q_INVOKABLE void rollbackTrans();
    bool inTransaction() const { return m_inTransaction; }

    QString defaultDatabase() const;
    void setDefaultDatabase(const QString &database);

    // The dialect of the open backend.
    SqlTarget target() const;
    // The translator for the open backend, knowing its names for the suite's databases.
    SqlDialect dialect() const;
    // The open backend; throws DbError when the connection is closed.
    Driver &driver() const;

    void setProcedureRegistry(std::shared_ptr<const ProcedureRegistry> registry);

private:
    void requireOpen() const;
    std::unique_ptr<Driver> connect() const;
    void adopt(std::unique_ptr<Driver> driver);
    // The steps of a text, translated once per text while the connection stays open.
    std::vector<TranslatedStatement> translated(const QString &sqlServerText);
    qint64 runStep(const TranslatedStatement &step);

    QString m_connectionString;
    int m_commandTimeout = 30;
    bool m_inTransaction = false;
    std::unique_ptr<Driver> m_driver;
    quint64 m_generation = 0;
    mutable quint64 m_refusals = 0;
    std::shared_ptr<const ProcedureRegistry> m_procedures;
};

} // namespace perikon::db
