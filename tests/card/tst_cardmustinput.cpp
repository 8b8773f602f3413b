// The fields the card requires before it saves: the contact's code and name, and the columns the
// account's column settings mark as must-input.

#include "perikon/card/CardMustInput.h"
#include "perikon/data/db/ColumnType.h"

#include <QTest>

using namespace perikon;
using internal::MustInputField;

Q_DECLARE_METATYPE(QList<MustInputField>)

class tst_CardMustInput : public QObject
{
    Q_OBJECT
private slots:
    void displayColumnsMapToStored_data();
    void displayColumnsMapToStored();
    void missingFields_data();
    void missingFields();
    void messageIsCaptionThenText();
    void codeAndName_data();
    void codeAndName();
};

void tst_CardMustInput::displayColumnsMapToStored_data()
{
    QTest::addColumn<QString>("cFld");
    QTest::addColumn<QString>("column");

    QTest::newRow("customer name") << "cCusName"
                                   << "cCusCode";
    QTest::newRow("department name") << "cDepName"
                                     << "cConDepart";
    QTest::newRow("principal name") << "cprincipalname"
                                    << "cPrincipal";
    QTest::newRow("marriage name") << "cMarriageName"
                                   << "bcMarriageID";
    QTest::newRow("superior name") << "csuperiorname"
                                   << "cSuperiorID";
    QTest::newRow("sex name") << "cSexName"
                              << "bcSexID";
    QTest::newRow("case is ignored") << "CCUSNAME"
                                     << "cCusCode";
    QTest::newRow("superior name in other case") << "cSuperiorName"
                                                 << "cSuperiorID";
    QTest::newRow("stored column stays") << "cMobilePhone"
                                         << "cMobilePhone";
    QTest::newRow("longer name is not a display column") << "cCusNameX"
                                                         << "cCusNameX";
}

void tst_CardMustInput::displayColumnsMapToStored()
{
    QFETCH(QString, cFld);
    QFETCH(QString, column);
    QCOMPARE(internal::mustInputColumn(cFld), column);
}

static MustInputField field(const char *column, const char *value, bool mustInput,
                            int type = db::ColumnType::VarWChar)
{
    return {QString::fromLatin1(column), QStringLiteral("Caption of ") + QLatin1String(column),
            QString::fromUtf8(value), mustInput, type};
}

void tst_CardMustInput::missingFields_data()
{
    using namespace db::ColumnType;
    QTest::addColumn<QList<MustInputField>>("fields");
    QTest::addColumn<QStringList>("missing");

    QTest::newRow("all filled") << QList{field("cMobilePhone", "1", true),
                                         field("cEmail", "a@b", true)}
                                << QStringList{};
    QTest::newRow("empty text in the card's order")
        << QList{field("cMobilePhone", "", true), field("cEmail", "a@b", true),
                 field("cMemo", "", true)}
        << QStringList{"cMobilePhone", "cMemo"};
    QTest::newRow("empty but optional") << QList{field("cMobilePhone", "", false)} << QStringList{};
    QTest::newRow("blank text counts as filled")
        << QList{field("cMemo", " ", true)} << QStringList{};
    QTest::newRow("zero is a value of a text column")
        << QList{field("cCall", "0", true)} << QStringList{};
    QTest::newRow("zero is a value of a number column")
        << QList{field("bcSexID", "0", true, Integer)} << QStringList{};
    QTest::newRow("unset flag") << QList{field("bMajor", "0", true, Boolean)}
                                << QStringList{"bMajor"};
    QTest::newRow("set flag") << QList{field("bMajor", "1", true, Boolean)} << QStringList{};
    QTest::newRow("empty flag is not unset")
        << QList{field("bMajor", "", true, Boolean)} << QStringList{};
    QTest::newRow("binary columns")
        << QList{field("b1", "0", true, Binary), field("b2", "0", true, VarBinary),
                 field("b3", "0", true, LongVarBinary), field("b4", "0", false, Binary)}
        << QStringList{"b1", "b2", "b3"};
}

void tst_CardMustInput::missingFields()
{
    QFETCH(QList<MustInputField>, fields);
    QFETCH(QStringList, missing);

    QStringList columns;
    for (const MustInputField &f : internal::missingMustInput(fields))
        columns.append(f.column);
    QCOMPARE(columns, missing);
}

void tst_CardMustInput::messageIsCaptionThenText()
{
    QCOMPARE(internal::kMustInputMessageKey, u"K2.AA.ARCHIVE.COMMON.bMustInput");
    const MustInputField f = field("cEmail", "", true);
    QCOMPARE(internal::mustInputMessage(f, QStringLiteral(" must be filled")),
             QStringLiteral("Caption of cEmail must be filled"));
}

void tst_CardMustInput::codeAndName_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");

    QTest::newRow("both filled") << "00000001"
                                 << "Ann"
                                 << "";
    QTest::newRow("code empty") << ""
                                << "Ann"
                                << "K2.CRM.QZContact.frmcontactedit.00079";
    QTest::newRow("code blank") << "  "
                                << "Ann"
                                << "K2.CRM.QZContact.frmcontactedit.00079";
    QTest::newRow("name blank") << "00000001"
                                << " \t"
                                << "K2.CRM.QZContact.frmcontactedit.00080";
    QTest::newRow("code reported before name") << ""
                                               << ""
                                               << "K2.CRM.QZContact.frmcontactedit.00079";
}

void tst_CardMustInput::codeAndName()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, key);
    QCOMPARE(internal::requiredFieldMissingKey(code, name).toString(), key);
}

QTEST_GUILESS_MAIN(tst_CardMustInput)
#include "tst_cardmustinput.moc"
