#include "suite/services/SuiteColumnAuthService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/XmlAttribute.h"

#include <QMap>

#include <pugixml.hpp>

namespace perikon::suite {
namespace {} // namespace

SuiteColumnAuthService::SuiteColumnAuthService(QObject *parent)
    : ColumnAuthService(parent)
{}

SuiteColumnAuthService::~SuiteColumnAuthService() = default;

bool SuiteColumnAuthService::Init(const QString &connectionString, const QString &userId)
{
    m_userId = userId.trimmed();
    m_connection = openConnection(connectionString);
    return m_connection != nullptr;
}

ColumnAuthAnswer SuiteColumnAuthService::GetAuthString(const QString &request)
{
    if (!m_connection)
        return ColumnAuthAnswer::failure(QStringLiteral("column rules not initialized"));
    pugi::xml_document document;
    const QByteArray utf8 = request.toUtf8();
    if (const pugi::xml_parse_result parsed = document.load_buffer(utf8.constData(), utf8.size());
        !parsed)
        return ColumnAuthAnswer::failure(QStringLiteral("unreadable request: ")
                                         + QString::fromUtf8(parsed.description()));
    const pugi::xml_node element = document.document_element();
    if (QString::fromUtf8(element.name()).compare(QLatin1String("k2ColAuth"), Qt::CaseInsensitive)
        != 0)
        return ColumnAuthAnswer::failure(QStringLiteral("not a k2ColAuth request"));
    const QString busObId = attributeNoCase(element, "cBusObId").toLower();
    const QString funcId = attributeNoCase(element, "cFuncId").toLower();

    try {
        const QList<QStringList> rules = queryRows(
            *m_connection,
            QStringLiteral("select cFieldName, cFuncId, bDenied from qz_ColumnAuth where "
                           "cUser_Id=N'")
                + db::sqlEscaped(m_userId) + QStringLiteral("' and lower(cBusObId)=N'")
                + db::sqlEscaped(busObId)
                + QStringLiteral("' and (cFuncId=N'' or lower(cFuncId)=N'") + db::sqlEscaped(funcId)
                + QStringLiteral("')"));
        // Per column (lower case): the deciding rule so far and whether it is function-specific.
        struct Decision
        {
            QString field;
            bool denied = false;
            bool specific = false;
        };
        QMap<QString, Decision> decisions;
        for (const QStringList &rule : rules) {
            const bool specific = !rule.at(1).trimmed().isEmpty();
            const QString key = rule.at(0).trimmed().toLower();
            auto it = decisions.find(key);
            if (it != decisions.end() && it->specific && !specific)
                continue;
            decisions.insert(key, {rule.at(0).trimmed(), rule.at(2).toInt() != 0, specific});
        }
        QStringList denied;
        for (const Decision &decision : std::as_const(decisions)) {
            if (decision.denied)
                denied.append(decision.field);
        }
        return ColumnAuthAnswer::withheld(denied.join(u','));
    } catch (const db::DbError &e) {
        return ColumnAuthAnswer::failure(e.description());
    }
}

} // namespace perikon::suite
