#include "perikon/batch/BatchCatalog.h"

#include "perikon/batch/BatchSession.h"
#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/transXML.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QHash>

#include <memory>

namespace perikon::Const {

namespace {

// The tails after a caption. The double blanks and the lower-case "id" of the superior are part
// of the format the batch control reads.
const QString kTextTail
    = QStringLiteral("'  reftype='char' cRefID='' bmulmodify='1' bBadStrException='0'/>");
const QString kDateTail
    = QStringLiteral("'  reftype='date' cRefID='' bmulmodify='1' bBadStrException='0'/>");

struct FixedField
{
    const char16_t *element;
    const char16_t *captionKey;
    // Empty: the text tail; "date": the date tail; "enum:<codes>": a choice list; else the tail.
    const char16_t *tail;
};

enum class Choice { None, Sex, Marriage, YesNo };

struct Field
{
    FixedField fixed;
    Choice choice = Choice::None;
};

const Field kFixedFields[] = {
    {{u"cContactCode", u"ID",
      u"'  reftype='ref' cRefID='Contact_CS' cRetFld='ID' bmulmodify='0' bBadStrException='0'/>"}},
    {{u"cContactName", u"cContactName",
      u"'  reftype='ref' cRefID='Contact_CS' cRetFld='cContactName' bmulmodify='0' "
      u"bBadStrException='0'/>"}},
    {{u"cCusCode", u"cCusName",
      u"'  reftype='ref' cRefID='Customer_AA' cRetFld='cCusCode' bmulmodify='1' "
      u"bBadStrException='0'/>"}},
    {{u"cAppellation", u"cAppellation",
      u"'  reftype='char' cRefID=''  bmulmodify='1' bBadStrException='0'/>"}},
    {{u"bcSexID", u"cSexName", u"0,1,2"}, Choice::Sex},
    {{u"bcMarriageID", u"cMarriageName", u"0,1,2,3"}, Choice::Marriage},
    {{u"dBirthday", u"dBirthday", u"date"}},
    {{u"cNative", u"cNative", u""}},
    {{u"bcDutyID", u"bcDutyID", u""}},
    {{u"cSuperiorID", u"csuperiorname",
      u"'  reftype='ref' cRefID='Contact_CS' cRetFld='id'  bmulmodify='1' bBadStrException='0'/>"}},
    {{u"cMobilePhone", u"cMobilePhone", u""}},
    {{u"cOfficePhone", u"cOfficePhone", u""}},
    {{u"cHomePhone", u"cHomePhone", u""}},
    {{u"cCall", u"cCall", u""}},
    {{u"cEmail", u"cEmail", u""}},
    {{u"cHomePage", u"cHomePage", u""}},
    {{u"cWorkAddress", u"cWorkAddress", u""}},
    {{u"cZipcode", u"cZipcode", u""}},
    {{u"cWechat", u"cWechat", u""}},
    {{u"cHomeMember", u"cHomeMember", u""}},
    {{u"cHomeAddress", u"cHomeAddress", u""}},
    {{u"bcTasteID", u"bcTasteID", u""}},
    {{u"bMajor", u"bMajor", u"0,1"}, Choice::YesNo},
    {{u"cMemo", u"cMemo", u""}},
    {{u"cprincipal", u"cprincipalname",
      u"'  reftype='ref' cRefID='Person_AA' cRetFld='cPersonCode' bmulmodify='1' "
      u"bBadStrException='0'/>"}},
    {{u"cConDepart", u"cConDepart",
      u"'  reftype='ref' cRefID='Department_AA' cRetFld='cDepCode' bmulmodify='1' "
      u"bBadStrException='0'/>"}},
    {{u"dConEDate", u"dConEDate", u"date"}},
};

// An attribute value between single quotes: the characters that would end or break it are
// escaped, everything else stays byte for byte.
void appendAttributeValue(QString &out, const QString &value)
{
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'\'':
            out += QLatin1String("&apos;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
}

QString resString(const char *key)
{
    return gPubService ? gPubService->GetResString(QString::fromLatin1(key)) : QString();
}

struct UserItem
{
    QString name;
    QString id;
    QString decimals;
};

} // namespace

QString JoinCodesAndNames(const QStringList &codes, const QStringList &names)
{
    return codes.join(QLatin1String("{#}")) + QLatin1String("{##}")
           + names.join(QLatin1String("{#}"));
}

QString JoinChoiceList(const QString &codes, const QStringList &names)
{
    const QStringList codeList = codes.split(u',');
    return JoinCodesAndNames(codeList, names.size() == 1 ? codeList : names);
}

QString WithheldFields(const QString &colAuthN, const QString &colAuthRead)
{
    if (!colAuthN.isEmpty() && !colAuthRead.isEmpty())
        return colAuthN + u',' + colAuthRead;
    return colAuthN.isEmpty() ? colAuthRead : colAuthN;
}

std::optional<ErrorInfo> BuildBatchCatalog()
{
    gYesNoText = {resString("K2.AA.ARCHIVE.COMMON.no"), resString("K2.AA.ARCHIVE.COMMON.yes")};
    gSexNames = {QStringLiteral("男"), QStringLiteral("女"), QStringLiteral("不详")};
    gMarriageNames = {QStringLiteral("已婚"), QStringLiteral("未婚"), QStringLiteral("不详"),
                      QStringLiteral("离异")};
    gDefine13Decimals = 0;
    gDefine14Decimals = 0;

    // Without a database or host services there is nothing to offer: the batch control then
    // says why it cannot start.
    if (!gClsCommon || !gPubService) {
        gBatchCatalogXml.clear();
        return std::nullopt;
    }

    const std::unique_ptr<db::Recordset> dictionary(
        gClsCommon->OpenX(QStringLiteral("select * from QZMeta_") + Common::GetAccIdFromConn()
                          + QStringLiteral("..aa_columndic where ckey='crm_contact'")));
    if (!dictionary)
        return ErrorInfo{-1, gLastError, QStringLiteral("Const.BuildBatchCatalog")};
    const std::unique_ptr<db::Recordset> userDefs(
        gClsCommon->OpenX(QStringLiteral("select * from userdef where cClass=N'联系人'")));
    if (!userDefs)
        return ErrorInfo{-1, gLastError, QStringLiteral("Const.BuildBatchCatalog")};

    // The first row of each item is the one that names it.
    QHash<QString, UserItem> items;
    {
        const int item = userDefs->fieldIndex(QStringLiteral("CItem"));
        const int name = userDefs->fieldIndex(QStringLiteral("cItemName"));
        const int id = userDefs->fieldIndex(QStringLiteral("cID"));
        const int decimals = userDefs->fieldIndex(QStringLiteral("iDecimalDigits"));
        const auto text = [&](int index) {
            return index < 0 ? QString()
                             : transXML::NullTo(userDefs->value(index), QString()).toString();
        };
        for (; !userDefs->eof(); userDefs->moveNext()) {
            const QString key = text(item);
            if (!items.contains(key))
                items.insert(key, UserItem{text(name), text(id), text(decimals)});
        }
    }

    const bool web = list::listWebMode();
    const QString url = gUiHelper ? gUiHelper->WebUrl() : QString();

    QString xml;
    xml.reserve(8192);
    xml += QLatin1String("<Crm_contact bWeb='");
    xml += web ? u'1' : u'0';
    xml += QLatin1String("' url='");
    appendAttributeValue(xml, url);
    xml += QLatin1String("' noauthflds='");
    appendAttributeValue(xml, WithheldFields(gColAuthN, gColAuthRead));
    xml += QLatin1String("'>");

    QObject *dictionaryObject = dictionary.get();
    for (const Field &field : kFixedFields) {
        const QString element = QString::fromUtf16(field.fixed.element);
        xml += u'<' + element + QLatin1String(" showfldname='");
        appendAttributeValue(
            xml, gPubService->GetFldCaption(dictionaryObject,
                                            QString::fromUtf16(field.fixed.captionKey)));
        const QString tail = QString::fromUtf16(field.fixed.tail);
        if (field.choice != Choice::None) {
            QStringList names;
            switch (field.choice) {
            case Choice::Sex:
                names = gSexNames;
                break;
            case Choice::Marriage:
                names = gMarriageNames;
                break;
            default:
                names = {gYesNoText[0], gYesNoText[1]};
            }
            xml += QLatin1String("'  reftype='enum' cRefID='");
            appendAttributeValue(xml, JoinChoiceList(tail, names));
            xml += QLatin1String("' bmulmodify='1' bBadStrException='0'/>");
        } else if (tail.isEmpty()) {
            xml += kTextTail;
        } else if (tail == QLatin1String("date")) {
            xml += kDateTail;
        } else {
            xml += tail;
        }
    }

    for (int i = 1; i <= 16; ++i) {
        const UserItem item = items.value(QStringLiteral("自定义项") + QString::number(i));
        if (item.name.isEmpty())
            continue;
        xml += QLatin1String("<cConDefine") + QString::number(i) + QLatin1String(" showfldname='");
        appendAttributeValue(xml, item.name);
        if (i <= 10) {
            xml += QLatin1String("'  reftype='ref' cRefID='");
            appendAttributeValue(xml, item.id);
            xml += QLatin1String("'  IsUserDefArch='1' bmulmodify='1' bBadStrException='0'/>");
        } else if (i <= 12) {
            xml += QLatin1String("'  reftype='' cRefID='' cRetFld='' cShowFld='' bmulmodify='1' "
                                 "bBadStrException='0'/>");
        } else if (i <= 14) {
            // A whole number of decimals; a fraction or text counts as none.
            bool ok = false;
            const int decimals = qMax(0, item.decimals.trimmed().toInt(&ok));
            (i == 13 ? gDefine13Decimals : gDefine14Decimals) = ok ? decimals : 0;
            xml += QLatin1String("'  reftype='decdgt'  decdgt='")
                   + QString::number(ok ? decimals : 0)
                   + QLatin1String("' bmulmodify='1' bBadStrException='0'/>");
        } else {
            xml += QLatin1String("'  reftype='date' cRefID='' cRetFld='' cShowFld='' "
                                 "bmulmodify='1' bBadStrException='0'/>");
        }
    }
    xml += QLatin1String("</Crm_contact>");
    gBatchCatalogXml = xml;
    return std::nullopt;
}

namespace {
const bool registered = [] {
    const QString module = QStringLiteral("Const");
    ModuleRegistry::registerFunction(module, QStringLiteral("BuildBatchCatalog"),
                                     [](QVariantList &) {
                                         const std::optional<ErrorInfo> error = BuildBatchCatalog();
                                         return QVariant(error ? error->description : QString());
                                     });
    ModuleRegistry::registerFunction(
        module, QStringLiteral("JoinChoiceList"), [](QVariantList &args) {
            return QVariant(JoinChoiceList(args.value(0).toString(), args.value(1).toStringList()));
        });
    ModuleRegistry::registerFunction(
        module, QStringLiteral("JoinCodesAndNames"), [](QVariantList &args) {
            return QVariant(
                JoinCodesAndNames(args.value(0).toStringList(), args.value(1).toStringList()));
        });
    return true;
}();
} // namespace

} // namespace perikon::Const
