#include "suite/services/SuiteColumnSetService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/SuiteLogin.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/UnitOfWork.h"

#include <QHash>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>

namespace perikon::suite {

namespace {

// Column information of a few archives per session; more than this is a caller walking archives,
// and starting over costs one read each.
constexpr qsizetype kColumnInfoEntries = 64;

// Raised by every stored layout, so that every service of the process drops what it kept,
// whichever instance stored it.
std::atomic<quint64> layoutGeneration{0};

} // namespace

SuiteColumnSetService::SuiteColumnSetService(QObject *parent)
    : ColumnSetService(parent)
{}

SuiteColumnSetService::~SuiteColumnSetService() = default;

bool SuiteColumnSetService::Init(const QString &connectionString, const QString &userId)
{
    m_lastError.clear();
    forgetColumnInfo();
    m_userId = userId.trimmed();
    m_connection = nullptr;
    auto connection = std::make_unique<db::Connection>();
    try {
        connection->open(connectionString);
    } catch (const db::DbError &error) {
        m_ownConnection.reset();
        m_lastError = error.description();
        return false;
    }
    m_ownConnection = std::move(connection);
    m_connection = m_ownConnection.get();
    m_connectionString = connectionString;
    m_metaDatabase = db::ConnectionString(connectionString).metaDatabase();
    return true;
}

bool SuiteColumnSetService::Init(db::Connection &connection, const QString &userId)
{
    m_lastError.clear();
    if (connection.state() != db::Connection::StateOpen) {
        m_lastError = QStringLiteral("The connection is closed.");
        return false;
    }
    const QString user = userId.trimmed();
    if (m_connection == &connection && m_connectionString == connection.connectionString()
        && m_userId == user)
        return true;
    forgetColumnInfo();
    m_userId = user;
    m_ownConnection.reset();
    m_connection = &connection;
    m_connectionString = connection.connectionString();
    m_metaDatabase = db::ConnectionString(m_connectionString).metaDatabase();
    return true;
}

db::Connection *SuiteColumnSetService::connection() const
{
    return m_connection && m_connection->state() == db::Connection::StateOpen ? m_connection.data()
                                                                              : nullptr;
}

void SuiteColumnSetService::forgetColumnInfo()
{
    m_columnInfo.clear();
    m_layoutGeneration = layoutGeneration.load();
}

QList<ColumnLayout::DictionaryColumn> SuiteColumnSetService::dictionary(const QString &key)
{
    const bool english = sessionLanguage() == QLatin1String("en-US");
    const QList<QStringList> rows
        = queryRows(*connection(),
                    QStringLiteral("select cFieldName, cCaption, cCaptionEn from %1..aa_columndic "
                                   "where ckey=N'%2' order by iOrder, cFieldName")
                        .arg(m_metaDatabase, db::sqlEscaped(key.trimmed().toLower())));
    QList<ColumnLayout::DictionaryColumn> columns;
    for (const QStringList &row : rows) {
        const QString caption = english && !row.at(2).trimmed().isEmpty() ? row.at(2) : row.at(1);
        columns.append({row.at(0), caption});
    }
    return columns;
}

QList<StoredColumn> SuiteColumnSetService::storedLayout(const QString &key)
{
    const QList<QStringList> rows
        = queryRows(*connection(),
                    QStringLiteral("select cFieldName, cCaption, bShow, iWidth, iOrder, bMustInput "
                                   "from qz_ColumnLayout where cUser_Id=N'%1' and cKey=N'%2'")
                        .arg(db::sqlEscaped(m_userId), db::sqlEscaped(key.trimmed().toLower())));
    QList<StoredColumn> columns;
    for (const QStringList &row : rows) {
        StoredColumn column;
        column.field = row.at(0);
        if (!row.at(1).isEmpty()) // NULL: the dictionary caption
            column.caption = row.at(1);
        column.show = row.at(2).toInt() != 0;
        column.width = row.at(3).toInt();
        column.order = row.at(4).toInt();
        column.mustInput = row.at(5).toInt() != 0;
        columns.append(column);
    }
    return columns;
}

QString SuiteColumnSetService::getColInfo(const QString &key, int mode)
{
    m_lastError.clear();
    if (!connection()) {
        m_lastError = QStringLiteral("The column-set service is not bound to a database.");
        return {};
    }
    if (m_layoutGeneration != layoutGeneration.load() || m_columnInfo.size() >= kColumnInfoEntries)
        forgetColumnInfo();
    // Captions follow the session language, so it is part of what the text depends on.
    const int kind = mode == 1 || mode == 2 || mode == 15 ? mode : 0;
    const QString cacheKey
        = key.trimmed().toLower() + u'\n' + QString::number(kind) + u'\n' + sessionLanguage();
    if (const auto kept = m_columnInfo.constFind(cacheKey); kept != m_columnInfo.cend())
        return *kept;
    try {
        ColumnLayout layout(key, dictionary(key));
        if (kind != 2)
            layout.apply(storedLayout(key));
        if (kind == 15)
            layout.showAll();
        const QString info = layout.toXml(kind == 1);
        m_columnInfo.insert(cacheKey, info);
        return info;
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return {};
    }
}

bool SuiteColumnSetService::SaveColInfo(const QString &key, const QString &xml)
{
    m_lastError.clear();
    if (!connection()) {
        m_lastError = QStringLiteral("The column-set service is not bound to a database.");
        return false;
    }
    const std::optional<QList<StoredColumn>> columns = ColumnLayout::parse(xml, &m_lastError);
    if (!columns)
        return false;
    const QString lowerKey = key.trimmed().toLower();
    try {
        // A caption equal to the dictionary's is not stored, so it follows the session language.
        QHash<QString, QString> originals;
        for (const ColumnLayout::DictionaryColumn &entry : dictionary(key))
            originals.insert(entry.field.toLower(), entry.caption);

        UnitOfWork work(*connection(), QStringLiteral("column_layout"));
        connection()->execute(
            QStringLiteral("delete from qz_ColumnLayout where cUser_Id=N'%1' and cKey=N'%2'")
                .arg(db::sqlEscaped(m_userId), db::sqlEscaped(lowerKey)));
        QSet<QString> seen;
        for (const StoredColumn &column : *columns) {
            if (seen.contains(column.field.toLower()))
                continue;
            seen.insert(column.field.toLower());
            const bool ownCaption = column.caption && !column.caption->trimmed().isEmpty()
                                    && *column.caption != originals.value(column.field.toLower());
            const QString caption
                = ownCaption ? QStringLiteral("N'%1'").arg(db::sqlEscaped(*column.caption))
                             : QStringLiteral("null");
            // Built by concatenation: a value holding "%5" must not take part in arg() passes.
            const QStringList values{db::sqlNQuoted(m_userId),
                                     db::sqlNQuoted(lowerKey),
                                     db::sqlNQuoted(column.field),
                                     caption,
                                     QString::number(column.show ? 1 : 0),
                                     QString::number(column.width),
                                     QString::number(column.order),
                                     QString::number(column.mustInput ? 1 : 0)};
            connection()->execute(
                QStringLiteral("insert into qz_ColumnLayout (cUser_Id, cKey, cFieldName, cCaption, "
                               "bShow, iWidth, iOrder, bMustInput) values (")
                + values.join(QStringLiteral(", ")) + u')');
        }
        work.commit();
        ++layoutGeneration;
        return true;
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return false;
    }
}

bool SuiteColumnSetService::SaveWidthsAndOrder(const QString &key, const QList<GridColumn> &shown)
{
    m_lastError.clear();
    if (!connection()) {
        m_lastError = QStringLiteral("The column-set service is not bound to a database.");
        return false;
    }
    const QString lowerKey = key.trimmed().toLower();
    try {
        QSet<QString> storedFields;
        const QList<StoredColumn> stored = storedLayout(key);
        for (const StoredColumn &column : stored)
            storedFields.insert(column.field.toLower());
        ColumnLayout layout(key, dictionary(key));
        layout.apply(stored);
        const QList<ColumnSetting> current = layout.columns(false);
        const auto settingOf = [&current](const QString &field) {
            return std::find_if(current.cbegin(), current.cend(), [&](const ColumnSetting &c) {
                return c.field.compare(field, Qt::CaseInsensitive) == 0;
            });
        };

        // The grid's columns the archive has, once each, left to right.
        QHash<QString, int> widths;
        QList<ColumnSetting> gridOrder;
        for (const GridColumn &column : shown) {
            const auto setting = settingOf(column.field);
            if (setting == current.cend() || widths.contains(setting->field.toLower()))
                continue;
            widths.insert(setting->field.toLower(), column.width);
            gridOrder.append(*setting);
        }
        // The slots the grid's columns hold now are refilled in the grid's order.
        QList<ColumnSetting> sequence = current;
        qsizetype nextShown = 0;
        for (ColumnSetting &slot : sequence) {
            if (widths.contains(slot.field.toLower()))
                slot = gridOrder.at(nextShown++);
        }

        UnitOfWork work(*connection(), QStringLiteral("column_layout"));
        for (int i = 0; i < sequence.size(); ++i) {
            const ColumnSetting &column = sequence.at(i);
            const QString field = column.field.toLower();
            const bool inGrid = widths.contains(field);
            const QString where = QStringLiteral(" where cUser_Id=") + db::sqlNQuoted(m_userId)
                                  + QStringLiteral(" and cKey=") + db::sqlNQuoted(lowerKey)
                                  + QStringLiteral(" and cFieldName=")
                                  + db::sqlNQuoted(column.field);
            const QString order = QString::number(i + 1);
            if (storedFields.contains(field)) {
                const QString width
                    = inGrid ? QStringLiteral(", iWidth=") + QString::number(widths.value(field))
                             : QString();
                connection()->execute(QStringLiteral("update qz_ColumnLayout set iOrder=") + order
                                      + width + where);
            } else if (inGrid) {
                const QStringList values{db::sqlNQuoted(m_userId),
                                         db::sqlNQuoted(lowerKey),
                                         db::sqlNQuoted(column.field),
                                         QStringLiteral("1"),
                                         QString::number(widths.value(field)),
                                         order,
                                         QString::number(column.mustInput ? 1 : 0)};
                connection()->execute(
                    QStringLiteral("insert into qz_ColumnLayout (cUser_Id, cKey, cFieldName, "
                                   "bShow, iWidth, iOrder, bMustInput) values (")
                    + values.join(QStringLiteral(", ")) + u')');
            }
        }
        work.commit();
        ++layoutGeneration;
        return true;
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return false;
    }
}

bool SuiteColumnSetService::Save(QString &colInfo)
{
    if (saveColInfo(colInfo))
        return true;
    // The clerk reads this in a message box; the technical reason follows.
    colInfo = localText(QStringLiteral("栏目设置没有保存：%1"),
                        QStringLiteral("The column settings were not saved: %1"))
                  .arg(m_lastError);
    return false;
}

bool SuiteColumnSetService::saveColInfo(const QString &xml)
{
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    if (!document.load_buffer(utf8.constData(), utf8.size())) {
        m_lastError = QStringLiteral("Column information is not well-formed XML.");
        return false;
    }
    const pugi::xml_node root = document.document_element();
    QString key;
    for (pugi::xml_attribute attribute : root.attributes()) {
        if (QString::fromUtf8(attribute.name()).compare(QLatin1String("cKey"), Qt::CaseInsensitive)
            == 0)
            key = QString::fromUtf8(attribute.value());
    }
    if (key.trimmed().isEmpty()) {
        m_lastError = QStringLiteral("Column information names no archive (cKey).");
        return false;
    }
    return SaveColInfo(key, xml);
}

} // namespace perikon::suite
