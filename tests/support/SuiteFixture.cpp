#include "support/SuiteFixture.h"

#include "perikon/data/db/Driver.h"

#include <QVariant>

using namespace perikon;

QString SuiteFixture::create(int demoContacts)
{
    m_connection.reset();
    m_database = std::make_unique<testing::TestDatabase>(demoContacts, 7,
                                                         testing::TestDatabase::requestedBackend());
    if (!m_database->ok())
        return m_database->error();
    m_connection = std::make_unique<db::Connection>();
    m_connection->open(connectionString());
    return {};
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
