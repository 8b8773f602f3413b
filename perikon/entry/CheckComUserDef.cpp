// IContact.CheckComUserDef: the user-defined fields of a row against their definitions in userdef.

#include "perikon/entry/IContact.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {

using namespace transXML;

namespace {

const QString kExtensionArchive = QStringLiteral("联系人扩展");

// What CheckComUserDef reads of one definition row.
struct Definition
{
    QString caption;
    QString type;
    QString length;
    QString listId;
    QString dataSource;
    QString relatedArchive;
    QString relatedField;
    bool input = false;
    bool fixedLength = false;
    bool checked = false;
    bool mayAdd = false;
};

// The definitions by item, read in one pass: the first row of an item is the one a filter on the
// item shows. Columns are looked up once, not once per row.
QHash<QString, Definition> readDefinitions(db::Recordset &rs)
{
    const auto column = [&](const char *name) {
        return rs.fieldIndex(QString::fromLatin1(name));
    };
    const int item = column("CItem"), caption = column("cItemName"), input = column("bInput"),
              type = column("cType"), length = column("iLength"),
              fixedLength = column("bFixLength"), checked = column("bCheckVal"),
              listId = column("cID"), mayAdd = column("bArchive"),
              dataSource = column("iDataSource"), relatedArchive = column("cRelArchive"),
              relatedField = column("cRelField");
    const auto text = [&](int index) {
        return NullTo(rs.value(index), QString()).toString();
    };
    // A flag is set when its text reads "true" (bit columns read back as booleans).
    const auto set = [&](int index) {
        return text(index).toLower() == QLatin1String("true");
    };
    QHash<QString, Definition> definitions;
    for (; !rs.eof(); rs.moveNext()) {
        const QVariant name = rs.value(item);
        if (name.typeId() != QMetaType::QString || definitions.contains(name.toString()))
            continue;
        definitions.insert(name.toString(),
                           {text(caption), text(type), text(length), text(listId), text(dataSource),
                            text(relatedArchive), text(relatedField), set(input), set(fixedLength),
                            set(checked), set(mayAdd)});
    }
    return definitions;
}

// Item n's key in the definitions and its column in the row, as the row's element name.
struct ItemNames
{
    QString item;
    std::string element; // lower case, UTF-8
};

// The names of items 1..count, made once per prefix, column stem and count: every save asks.
const std::vector<ItemNames> &itemNames(const QString &itemPrefix, const QString &fieldStem,
                                        int count)
{
    thread_local QHash<QString, std::vector<ItemNames>> made;
    const QString key = itemPrefix + u'\n' + fieldStem + u'\n' + QString::number(count);
    const auto found = made.constFind(key);
    if (found != made.cend())
        return *found;
    if (made.size() > 64)
        made.clear();
    std::vector<ItemNames> names;
    names.reserve(std::size_t(count));
    for (int n = 1; n <= count; ++n) {
        names.push_back(
            {itemPrefix + QString::number(n), utf8((fieldStem + QString::number(n)).toLower())});
    }
    return *made.insert(key, std::move(names));
}

bool hasRow(db::Recordset *rs)
{
    return rs && rs->recordCount() > 0;
}

bool fail(const QString &key, const QStringList &args)
{
    gLastError = GetResFormat(key, args);
    return false;
}

} // namespace

bool IContact::CheckComUserDef(pugi::xml_node Ele, int opt, IClsCommon &ICom, const QString &sArch,
                               const QString &sUserDefField)
{
    Q_UNUSED(opt);
    const bool extension = sArch == kExtensionArchive;
    QString itemPrefix = QStringLiteral("自定义项");
    QString sql = QStringLiteral("select * from userdef where cClass=N'") + db::sqlEscaped(sArch)
                  + QStringLiteral("'");
    if (extension) {
        QString archive = sArch;
        archive.remove(QStringLiteral("扩展"));
        itemPrefix = QStringLiteral("扩展自定义项");
        sql = QStringLiteral("select * from userdef where cClass=N'") + db::sqlEscaped(archive)
              + QStringLiteral("' and cItem like N'扩展自定义项%'");
    }
    // The definitions are read once per connection until the component writes them.
    auto definitions = std::make_unique<db::Recordset>();
    if (!definitions->openKept(sql, ICom.connection())) {
        bool opened = false;
        QString openMessage;
        definitions.reset(ICom.OpenX(sql, opened, openMessage));
        if (!definitions)
            throw db::DbError(db::DbError::ProviderError, openMessage);
        definitions->keepRows(sql, QStringLiteral("userdef"));
    }
    const int items = extension ? int(definitions->recordCount()) : 16;
    // The definitions as read from kept rows last time, while those rows are still the ones kept:
    // every save checks them, and they change only when userdef is written.
    struct Parsed
    {
        std::weak_ptr<const void> rows;
        QHash<QString, Definition> byItem;
    };
    thread_local QHash<QString, Parsed> parsed;
    Parsed &last = parsed[sql];
    const std::shared_ptr<const void> rows = definitions->rowsOwner().lock();
    if (!rows || last.rows.lock() != rows) {
        last.byItem = readDefinitions(*definitions);
        last.rows = rows;
    }
    const QHash<QString, Definition> &byItem = last.byItem;

    for (const ItemNames &names : itemNames(itemPrefix, sUserDefField, items)) {
        const auto found = byItem.constFind(names.item);
        if (found == byItem.cend()) {
            // Definition data that lacks an item is an error of the data, not of the row.
            throw db::DbError(
                db::DbError::InvalidState,
                QStringLiteral("userdef has no definition of %1 for %2").arg(names.item, sArch));
        }
        const Definition &definition = *found;
        const QString caption = definition.caption.trimmed();
        pugi::xml_node element = Ele.child(names.element.c_str());
        if (caption.isEmpty()) {
            // An item not in use keeps no value; a row without the item is fine as it is.
            if (element)
                element.text().set("");
            continue;
        }
        const QString value = text(element.child_value());

        if (definition.input && value.isEmpty())
            return fail(QStringLiteral("K2.CRM.COMMON.CheckNull03"), {caption});
        if (definition.type == QStringLiteral("日期") && !value.isEmpty()
            && !CheckDateRange(value, caption))
            return false;
        if (value.isEmpty())
            continue;

        const QString &length = definition.length;
        if (definition.fixedLength && value.size() != length.toInt())
            return fail(QStringLiteral("K2.CRM.COMMON.CheckLen02"), {caption, length});
        if (!definition.checked)
            continue;

        const QString &listId = definition.listId;
        const bool mayAdd = definition.mayAdd;
        const QString inList = QStringLiteral("select top 1 cId from userdefine where cId = N'")
                               + db::sqlEscaped(listId) + QStringLiteral("' and cValue = N'")
                               + db::sqlEscaped(value) + QStringLiteral("'");
        if (definition.dataSource == QLatin1String("1")) {
            const QString table = definition.relatedArchive.trimmed();
            const QString column = definition.relatedField.trimmed();
            if (table.isEmpty() || column.isEmpty())
                continue;
            std::unique_ptr<db::Recordset> archive(ICom.OpenX(
                QStringLiteral("select top 1 * from ") + table + QStringLiteral(" where ") + column
                + QStringLiteral(" = N'") + db::sqlEscaped(value) + QStringLiteral("'")));
            if (hasRow(archive.get()))
                continue;
            std::unique_ptr<db::Recordset> listed(ICom.OpenX(inList));
            if (hasRow(listed.get()))
                continue;
            if (!mayAdd)
                return fail(QStringLiteral("K2.CRM.QZCompetitor.transxml.00033"),
                            {caption, GetTableDefine(ICom, table)});
        } else {
            std::unique_ptr<db::Recordset> listed(
                ICom.OpenX(QStringLiteral("select top 1 cId from userdefine where cId= N'")
                           + db::sqlEscaped(listId) + QStringLiteral("' and cValue = N'")
                           + db::sqlEscaped(value) + QStringLiteral("'")));
            if (hasRow(listed.get()))
                continue;
            if (!mayAdd)
                return fail(QStringLiteral("K2.CRM.QZCompetitor.transxml.00034"), {caption});
        }
        if (!ICom.ExecuteX(QStringLiteral("insert into userdefine(cId,cValue) values(N'")
                           + db::sqlEscaped(listId) + QStringLiteral("',N'") + db::sqlEscaped(value)
                           + QStringLiteral("')")))
            return fail(QStringLiteral("K2.CRM.COMMON.MsgNew01"), {caption});
    }
    return true;
}

} // namespace perikon
