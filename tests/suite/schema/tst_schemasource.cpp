// The suite's schema is written once in SQL Server's dialect. Installed on each backend, every
// table must have exactly the columns the source declares, with the type codes, defined sizes,
// nullability and keys the source's declarations give.

#include "support/TestDatabase.h"

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/SqlTableDefinition.h"
#include "suite/schema/SchemaInstaller.h"

#include <QTest>

using namespace perikon;
using namespace perikon::db::internal;
using perikon::testing::Backend;
using perikon::testing::TestDatabase;

namespace {

struct SourceColumn
{
    QString name;
    QString declaration;
    bool notNull = false;
    bool key = false;
};

struct SourceTable
{
    QString script;
    QString name;
    std::vector<SourceColumn> columns;
};

// The CREATE TABLE statements of a script, read by the dialect's own parse.
std::vector<SourceTable> sourceTables(const QString &script)
{
    const auto parsed = suite::SchemaInstaller::sourceTables(script);
    if (!parsed)
        qFatal("%s", qPrintable(parsed.error()));
    std::vector<SourceTable> tables;
    for (const suite::SchemaInstaller::SourceTable &source : *parsed) {
        const SqlTableDefinition &definition = source.definition;
        SourceTable table{script, definition.name.table, {}};
        for (const SqlColumnDefinition &column : definition.columns) {
            table.columns.push_back(
                {column.name, column.type.declaration(), column.notNull,
                 definition.primaryKey.contains(column.name, Qt::CaseInsensitive)});
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

} // namespace

class tst_SchemaSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const QString &script :
             {QStringLiteral("account"), QStringLiteral("meta"), QStringLiteral("system")}) {
            for (SourceTable &table : sourceTables(script))
                m_tables.push_back(std::move(table));
        }
        // A parse that found nothing would let every comparison pass.
        QVERIFY2(m_tables.size() >= 25, qPrintable(QString::number(m_tables.size())));
        for (Backend backend : TestDatabase::backends()) {
            auto db = std::make_unique<TestDatabase>(0, 7, backend);
            QVERIFY2(db->ok(), qPrintable(db->error()));
            auto connection = std::make_unique<db::Connection>();
            connection->open(db->connectionString());
            m_databases.push_back(std::move(db));
            m_connections.push_back(std::move(connection));
        }
    }

    void cleanupTestCase()
    {
        m_connections.clear();
        m_databases.clear();
    }

    void installedTableMatchesTheSource_data()
    {
        QTest::addColumn<int>("database");
        QTest::addColumn<int>("table");
        for (std::size_t d = 0; d < m_databases.size(); ++d) {
            for (std::size_t t = 0; t < m_tables.size(); ++t) {
                QTest::addRow("%s/%s/%s", TestDatabase::backendName(m_databases[d]->backend()),
                              qPrintable(m_tables[t].script), qPrintable(m_tables[t].name))
                    << int(d) << int(t);
            }
        }
    }

    void installedTableMatchesTheSource()
    {
        QFETCH(int, database);
        QFETCH(int, table);
        const SourceTable &source = m_tables[std::size_t(table)];
        auto cursor = m_connections[std::size_t(database)]->openCursor(
            QStringLiteral("select * from %1 where 1 = 0").arg(source.name));
        QVERIFY(cursor);
        const std::vector<db::ColumnInfo> &installed = cursor->columns();
        QCOMPARE(installed.size(), source.columns.size());
        for (std::size_t i = 0; i < installed.size(); ++i) {
            const SourceColumn &expected = source.columns[i];
            const db::ColumnInfo &actual = installed[i];
            const db::DeclaredType declared = db::declaredTypeOf(expected.declaration);
            const QByteArray where = (source.name + u'.' + expected.name).toUtf8();
            QVERIFY2(actual.name == expected.name, where + " is named " + actual.name.toUtf8());
            QVERIFY2(actual.type == declared.type,
                     where + " has type " + QByteArray::number(actual.type));
            QVERIFY2(actual.definedSize == declared.definedSize,
                     where + " has size " + QByteArray::number(actual.definedSize));
            QVERIFY2(actual.nullable == !expected.notNull, where + " nullability");
            QVERIFY2(actual.isKey == expected.key, where + " key");
        }
    }

private:
    std::vector<SourceTable> m_tables;
    std::vector<std::unique_ptr<TestDatabase>> m_databases;
    std::vector<std::unique_ptr<db::Connection>> m_connections;
};

QTEST_GUILESS_MAIN(tst_SchemaSource)
#include "tst_schemasource.moc"
