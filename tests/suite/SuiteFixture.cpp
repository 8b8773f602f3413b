#include "SuiteFixture.h"

#include "perikon/data/db/Driver.h"
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QVariant>

using namespace perikon;

QString SuiteFixture::create(int demoContacts)
{
    m_connection.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid())
        return QStringLiteral("no temporary folder");
    const auto files = suite::SchemaInstaller::createSqliteDatabases(m_dir->path());
    if (!files.ok())
        return files.error();
    if (demoContacts > 0) {
        const auto demo = suite::generateDemoData(files->account, demoContacts, 7);
        if (!demo.ok())
            return demo.error();
    }
    m_connection = std::make_unique<db::Connection>();
    m_connection->open(connectionString());
    return {};
}

QString SuiteFixture::connectionString() const
{
    return QStringLiteral("Provider=SQLite;Data Source=%1/QZDATA_001_2026.db;"
                          "Initial Catalog=QZDATA_001_2026")
        .arg(m_dir->path());
}

void SuiteFixture::exec(const QString &sql)
{
    m_connection->execute(sql);
}

QStringList SuiteFixture::column(const QString &sql)
{
    QStringList values;
    const auto cursor = m_connection->openCursor(sql);
    while (cursor && cursor->next())
        values.append(cursor->value(0).toString());
    return values;
}

qint64 SuiteFixture::count(const QString &sql)
{
    const QStringList values = column(sql);
    return values.isEmpty() ? -1 : values.first().toLongLong();
}
