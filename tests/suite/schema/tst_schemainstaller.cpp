#include "support/SqliteTestDb.h"

#include "suite/schema/SchemaInstaller.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using perikon::suite::SchemaInstaller;

class tst_SchemaInstaller : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createsThreeDatabaseFiles();
    void existingAccountDatabaseIsKeptUnlessReplaced();
    void secondYearSharesSystemAndMetaDatabases();
    void everyTableHasAPrimaryKey();
    void declaredTypesMatchTheSuiteTypes_data();
    void declaredTypesMatchTheSuiteTypes();
    void rowVersionIsSetOnInsertAndChangesOnEveryUpdate();
    void rowVersionChangesEvenWithRecursiveTriggers();
    void oidDefaultGivesDistinctGuids();
    void contactCodeIsUnique();
    void baseCodeNameIsUniquePerType();
    void fixedBaseCodeIds_data();
    void fixedBaseCodeIds();
    void userDefinedItemsNameExistingColumns();
    void declaredReferencesNameExistingColumns();
    void columnDictionaryCoversEveryContactColumn();
    void listViewKeepsJoinedNamesUnambiguous();
    void accountCatalogOf_data();
    void accountCatalogOf();

private:
    QString accountPath() const { return m_dir->filePath(QStringLiteral("QZDATA_001_2026.db")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SqliteTestDb> m_db;
};

void tst_SchemaInstaller::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const auto files = SchemaInstaller::createSqliteDatabases(m_dir->path());
    QVERIFY2(files.ok(), qPrintable(files.error()));
    m_db = std::make_unique<SqliteTestDb>(files->account);
    QVERIFY(m_db->isOpen());
    // Attached the way a connection attaches them.
    QVERIFY2(m_db->exec(QStringLiteral("ATTACH '%1' AS QZMeta_001; ATTACH '%2' AS qzsystem;")
                            .arg(files->meta, files->system)),
             qPrintable(m_db->lastError()));
}

void tst_SchemaInstaller::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void tst_SchemaInstaller::createsThreeDatabaseFiles()
{
    for (const char *name : {"QZDATA_001_2026.db", "QZMeta_001.db", "qzsystem.db"})
        QVERIFY2(QFileInfo::exists(m_dir->filePath(QString::fromLatin1(name))), name);
    QCOMPARE(m_db->rows(QStringLiteral("SELECT cSub_Id FROM qzsystem.UA_Account_Sub"
                                       " WHERE cAcc_Id = '001' AND iYear = 2026 ORDER BY cSub_Id")),
             QStringList({QStringLiteral("AA"), QStringLiteral("CS")}));
}

void tst_SchemaInstaller::existingAccountDatabaseIsKeptUnlessReplaced()
{
    QVERIFY(
        m_db->exec(QStringLiteral("INSERT INTO Crm_Contact (cContactCode) VALUES ('00000001')")));
    m_db.reset();

    const auto refused = SchemaInstaller::createSqliteDatabases(m_dir->path());
    QVERIFY(!refused.ok());
    QVERIFY(refused.error().contains(QStringLiteral("QZDATA_001_2026")));
    QCOMPARE(SqliteTestDb(accountPath()).number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact")),
             1);

    const auto replaced = SchemaInstaller::createSqliteDatabases(
        m_dir->path(), QStringLiteral("001"), QStringLiteral("2026"), true);
    QVERIFY2(replaced.ok(), qPrintable(replaced.error()));
    QCOMPARE(SqliteTestDb(accountPath()).number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact")),
             0);
}

void tst_SchemaInstaller::secondYearSharesSystemAndMetaDatabases()
{
    QVERIFY(m_db->exec(QStringLiteral("UPDATE QZMeta_001.aa_columndic SET cCaption = 'kept'"
                                      " WHERE ckey = 'crm_contact' AND cFieldName = 'cMemo'")));
    const auto next = SchemaInstaller::createSqliteDatabases(m_dir->path(), QStringLiteral("001"),
                                                             QStringLiteral("2027"));
    QVERIFY2(next.ok(), qPrintable(next.error()));
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("QZDATA_001_2027.db"))));
    QCOMPARE(m_db->value(QStringLiteral("SELECT cCaption FROM QZMeta_001.aa_columndic"
                                        " WHERE ckey = 'crm_contact' AND cFieldName = 'cMemo'")),
             QStringLiteral("kept"));
    QCOMPARE(
        m_db->number(QStringLiteral("SELECT COUNT(DISTINCT iYear) FROM qzsystem.UA_Account_Sub")),
        2);
}

void tst_SchemaInstaller::everyTableHasAPrimaryKey()
{
    for (const QString &schema :
         {QStringLiteral("main"), QStringLiteral("QZMeta_001"), QStringLiteral("qzsystem")}) {
        const QStringList tables
            = m_db->rows(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table'"
                                        " AND name NOT LIKE 'sqlite_%'")
                             .arg(schema));
        QVERIFY(!tables.isEmpty());
        for (const QString &table : tables) {
            const qint64 keyColumns = m_db->number(
                QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('%1', '%2') WHERE pk > 0")
                    .arg(table, schema));
            QVERIFY2(keyColumns > 0, qPrintable(schema + u'.' + table));
        }
    }
}

void tst_SchemaInstaller::declaredTypesMatchTheSuiteTypes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("type");
    const auto row = [](const char *query, const char *type) {
        QTest::newRow(query) << QString::fromUtf8(query) << QString::fromUtf8(type);
    };
    row("SELECT OID FROM Crm_Contact", "nvarchar(100)");
    row("SELECT cContactCode FROM Crm_Contact", "nvarchar(60)");
    row("SELECT bcSexID FROM Crm_Contact", "int");
    row("SELECT bcDutyID FROM Crm_Contact", "nvarchar(60)");
    row("SELECT dBirthday FROM Crm_Contact", "datetime");
    row("SELECT bMajor FROM Crm_Contact", "bit");
    row("SELECT bDefaultCon FROM Crm_Contact", "bit");
    row("SELECT cConDefine13 FROM Crm_Contact", "float");
    row("SELECT qzts FROM Crm_Contact", "timestamp");
    row("SELECT qzts FROM v_Crm_Contact", "timestamp");
    row("SELECT cSexName FROM v_Crm_Contact", "nvarchar(60)");
    row("SELECT ID FROM Crm_BaseCode", "integer");
    row("SELECT Picture FROM AA_Picture", "image");
    row("SELECT ccuscontactcode FROM Customer", "nvarchar(100)");
    row("SELECT mExpectAmount FROM Crm_Opportunity", "money");
    row("SELECT cLDefine9 FROM Crm_Contact_extradefine", "decimal(28,6)");
    row("SELECT iDataSource FROM userdef", "tinyint");
    row("SELECT iLength FROM userdef", "smallint");
    row("SELECT ckey FROM QZMeta_001.aa_columndic", "nvarchar(50)");
    row("SELECT cAcc_Id FROM qzsystem.UA_Account_Sub", "nchar(3)");
    row("SELECT iYear FROM qzsystem.UA_Account_Sub", "smallint");
}

void tst_SchemaInstaller::declaredTypesMatchTheSuiteTypes()
{
    QFETCH(QString, query);
    QFETCH(QString, type);
    // SQLite reports its own standard names (INT, INTEGER) in upper case; the data layer reads
    // declared types without regard to case.
    QCOMPARE(m_db->declaredType(query).toLower(), type);
}

void tst_SchemaInstaller::rowVersionIsSetOnInsertAndChangesOnEveryUpdate()
{
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO Crm_Contact (cContactCode, cContactName) VALUES"
                                      " ('00000001', 'A'), ('00000002', 'B')")));
    const auto version = [this](const char *code) {
        return m_db->value(QStringLiteral("SELECT qzts FROM Crm_Contact WHERE cContactCode = '%1'")
                               .arg(QLatin1String(code)));
    };
    const QString first = version("00000001");
    const QString other = version("00000002");
    QVERIFY(first != QStringLiteral("<null>"));
    QVERIFY(first != other);

    QVERIFY(m_db->exec(
        QStringLiteral("UPDATE Crm_Contact SET cMemo = 'x' WHERE cContactCode = '00000001'")));
    const QString second = version("00000001");
    // An update that leaves every value as it was still counts as a change of the row.
    QVERIFY(m_db->exec(
        QStringLiteral("UPDATE Crm_Contact SET cMemo = cMemo WHERE cContactCode = '00000001'")));
    const QString third = version("00000001");

    QVERIFY(second.toLongLong() > first.toLongLong());
    QVERIFY(second.toLongLong() > other.toLongLong());
    QVERIFY(third.toLongLong() > second.toLongLong());
    QCOMPARE(version("00000002"), other);
}

void tst_SchemaInstaller::rowVersionChangesEvenWithRecursiveTriggers()
{
    QVERIFY(
        m_db->exec(QStringLiteral("PRAGMA recursive_triggers = ON;"
                                  "INSERT INTO Crm_Contact (cContactCode) VALUES ('00000001');")));
    const qint64 before = m_db->number(QStringLiteral("SELECT qzts FROM Crm_Contact"));
    QVERIFY2(m_db->exec(QStringLiteral("UPDATE Crm_Contact SET cMemo = 'x'")),
             qPrintable(m_db->lastError()));
    QVERIFY(m_db->number(QStringLiteral("SELECT qzts FROM Crm_Contact")) > before);
}

void tst_SchemaInstaller::oidDefaultGivesDistinctGuids()
{
    for (int i = 1; i <= 50; ++i)
        QVERIFY(m_db->exec(
            QStringLiteral("INSERT INTO Crm_Contact (cContactCode) VALUES ('%1')").arg(i)));
    const QStringList oids = m_db->rows(QStringLiteral("SELECT OID FROM Crm_Contact"));
    QCOMPARE(oids.size(), 50);
    QCOMPARE(QSet<QString>(oids.begin(), oids.end()).size(), 50);
    static const QRegularExpression guid(
        QStringLiteral("^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$"));
    for (const QString &oid : oids)
        QVERIFY2(guid.match(oid).hasMatch(), qPrintable(oid));
}

void tst_SchemaInstaller::contactCodeIsUnique()
{
    QVERIFY(
        m_db->exec(QStringLiteral("INSERT INTO Crm_Contact (cContactCode) VALUES ('00000001')")));
    QVERIFY(
        !m_db->exec(QStringLiteral("INSERT INTO Crm_Contact (cContactCode) VALUES ('00000001')")));
    QVERIFY(m_db->lastError().contains(QStringLiteral("UNIQUE")));
}

void tst_SchemaInstaller::baseCodeNameIsUniquePerType()
{
    QVERIFY(!m_db->exec(
        QStringLiteral("INSERT INTO Crm_BaseCode (cType, cName) VALUES ('Duty', '总经理')")));
    QVERIFY(m_db->lastError().contains(QStringLiteral("UNIQUE")));
    // The same name under another type is a different code.
    QVERIFY(m_db->exec(
        QStringLiteral("INSERT INTO Crm_BaseCode (cType, cName) VALUES ('Taste', '总经理')")));
    // New codes never take an id that batch modification gives a fixed meaning.
    QVERIFY(m_db->number(QStringLiteral(
                "SELECT ID FROM Crm_BaseCode WHERE cType = 'Taste' AND cName = '总经理'"))
            > 250);
}

void tst_SchemaInstaller::fixedBaseCodeIds_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("male") << 6 << QStringLiteral("Sex") << QStringLiteral("男");
    QTest::newRow("female") << 7 << QStringLiteral("Sex") << QStringLiteral("女");
    QTest::newRow("sex unknown") << 8 << QStringLiteral("Sex") << QStringLiteral("不详");
    QTest::newRow("married") << 9 << QStringLiteral("Marriage") << QStringLiteral("已婚");
    QTest::newRow("single") << 10 << QStringLiteral("Marriage") << QStringLiteral("未婚");
    QTest::newRow("marriage unknown") << 11 << QStringLiteral("Marriage") << QStringLiteral("不详");
    QTest::newRow("divorced") << 250 << QStringLiteral("Marriage") << QStringLiteral("离异");
}

void tst_SchemaInstaller::fixedBaseCodeIds()
{
    QFETCH(int, id);
    QFETCH(QString, type);
    QFETCH(QString, name);
    QCOMPARE(
        m_db->rows(QStringLiteral("SELECT cType, cName FROM Crm_BaseCode WHERE ID = %1").arg(id)),
        QStringList(type + u'|' + name));
}

void tst_SchemaInstaller::userDefinedItemsNameExistingColumns()
{
    QCOMPARE(
        m_db->number(QStringLiteral(
            "SELECT COUNT(*) FROM userdef WHERE cClass = '联系人' AND CItem LIKE '自定义项%'")),
        16);
    const QStringList items = m_db->rows(QStringLiteral(
        "SELECT CItem, cDicDbname FROM userdef WHERE cClass = '联系人' ORDER BY cID"));
    for (const QString &item : items) {
        const QString name = item.section(u'|', 0, 0);
        const QString column = item.section(u'|', 1, 1);
        const QString table = name.startsWith(QStringLiteral("扩展"))
                                  ? QStringLiteral("Crm_Contact_extradefine")
                                  : QStringLiteral("Crm_Contact");
        const QString number = name.mid(name.indexOf(QStringLiteral("项")) + 1);
        const QString expected
            = (table == u"Crm_Contact" ? QStringLiteral("cConDefine") : QStringLiteral("cLDefine"))
              + number;
        QCOMPARE(column, expected);
        QVERIFY2(m_db->declaredType(QStringLiteral("SELECT %1 FROM %2").arg(column, table))
                         != u"<none>"
                     && !m_db->declaredType(QStringLiteral("SELECT %1 FROM %2").arg(column, table))
                             .startsWith(u"<error"),
                 qPrintable(table + u'.' + column));
    }
}

void tst_SchemaInstaller::declaredReferencesNameExistingColumns()
{
    const QStringList references = m_db->rows(
        QStringLiteral("SELECT creferencingtablename, creferencingtablecolumn FROM crm_ref_relation"
                       " WHERE creferencedtablename = 'Crm_Contact'"));
    QVERIFY(!references.isEmpty());
    for (const QString &reference : references) {
        const QString query
            = QStringLiteral("SELECT %2 FROM %1")
                  .arg(reference.section(u'|', 0, 0), reference.section(u'|', 1, 1));
        QVERIFY2(!m_db->declaredType(query).startsWith(u"<error"), qPrintable(query));
    }
}

void tst_SchemaInstaller::columnDictionaryCoversEveryContactColumn()
{
    const QStringList columns
        = m_db->rows(QStringLiteral("SELECT lower(name) FROM pragma_table_info('Crm_Contact')"));
    const QStringList described = m_db->rows(QStringLiteral(
        "SELECT lower(cFieldName) FROM QZMeta_001.aa_columndic WHERE ckey = 'crm_contact'"));
    for (const QString &column : columns)
        QVERIFY2(described.contains(column), qPrintable(column));
}

void tst_SchemaInstaller::listViewKeepsJoinedNamesUnambiguous()
{
    QVERIFY(m_db->exec(QStringLiteral(
        "INSERT INTO Customer (cCusCode, iId, cCusName) VALUES ('C1', 1, '客户一');"
        "INSERT INTO Department (cDepCode, cDepName) VALUES ('01', '销售部');"
        "INSERT INTO Crm_Contact (cContactCode, cContactName, cCusCode, cConDepart, bcSexID, cSuperiorID)"
        " VALUES ('00000001', '甲', 'C1', '01', 7, NULL), ('00000002', '乙', 'C1', '01', 6, '00000001');")));
    // The list selects joined names without a table prefix and adds the joins itself.
    const QStringList rows = m_db->rows(QStringLiteral(
        "SELECT Crm_Contact.cContactCode, cCusName, cDepName, cSexName, csuperiorname"
        " FROM v_Crm_Contact Crm_Contact"
        " Left join Customer on Customer.cCusCode=Crm_Contact.cCusCode"
        " Left join Department on cDepCode=Crm_Contact.cConDepart"
        " WHERE (1=1) ORDER BY Crm_Contact.cContactCode"));
    QCOMPARE(rows, QStringList({QStringLiteral("00000001|客户一|销售部|女|<null>"),
                                QStringLiteral("00000002|客户一|销售部|男|甲")}));
}

void tst_SchemaInstaller::accountCatalogOf_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("year");
    QTest::newRow("sqlite") << QStringLiteral(
        "Provider=SQLite;Data Source=/d/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026")
                            << QStringLiteral("001") << QStringLiteral("2026");
    QTest::newRow("lower case") << QStringLiteral(
        "provider=sqlite;initial catalog=qzdata_008_2010;data source=x")
                                << QStringLiteral("008") << QStringLiteral("2010");
    QTest::newRow("catalog first")
        << QStringLiteral("Initial Catalog=QZDATA_A01_2024;Provider=SQLite")
        << QStringLiteral("A01") << QStringLiteral("2024");
    QTest::newRow("no catalog") << QStringLiteral("Provider=SQLite;Data Source=/d/x.db")
                                << QString() << QString();
    QTest::newRow("short account")
        << QStringLiteral("Initial Catalog=QZDATA_01_2026") << QString() << QString();
    QTest::newRow("no year") << QStringLiteral("Initial Catalog=QZDATA_001") << QString()
                             << QString();
    QTest::newRow("blank after =")
        << QStringLiteral("Initial Catalog= QZDATA_001_2026") << QString() << QString();
}

void tst_SchemaInstaller::accountCatalogOf()
{
    QFETCH(QString, connection);
    QFETCH(QString, account);
    QFETCH(QString, year);
    const auto catalog = SchemaInstaller::accountCatalogOf(connection);
    QCOMPARE(catalog.has_value(), !account.isEmpty());
    if (catalog) {
        QCOMPARE(catalog->account, account);
        QCOMPARE(catalog->year, year);
    }
}

QTEST_GUILESS_MAIN(tst_SchemaInstaller)
#include "tst_schemainstaller.moc"
