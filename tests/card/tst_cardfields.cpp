// The card's field rules that need no window: which keys the zip code takes, which label a
// must-input setting marks, and the chat captions per language.

#include "perikon/card/CardFields.h"

#include <QTest>

using namespace perikon::card;

class tst_CardFields : public QObject
{
    Q_OBJECT
private slots:
    void zipCodeKeys_data();
    void zipCodeKeys();
    void mustInputLabels_data();
    void mustInputLabels();
    void chatCaptionsByLanguage_data();
    void chatCaptionsByLanguage();
    void everyColumnHasOneEditor();
};

void tst_CardFields::zipCodeKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << "7" << true;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << "-" << true;
    QTest::newRow("lower letter") << int(Qt::Key_K) << 0 << "k" << true;
    QTest::newRow("upper letter") << int(Qt::Key_K) << int(Qt::ShiftModifier) << "K" << true;
    QTest::newRow("number sign") << int(Qt::Key_NumberSign) << int(Qt::ShiftModifier) << "#"
                                 << false;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << false;
    QTest::newRow("fullwidth digit") << int(Qt::Key_unknown) << 0 << "１" << false;
    QTest::newRow("accented letter") << int(Qt::Key_unknown) << 0 << "é" << false;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << true;
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "\r" << true;
    QTest::newRow("copy") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03" << true;
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16" << true;
    QTest::newRow("other control key")
        << int(Qt::Key_B) << int(Qt::ControlModifier) << "\x02" << false;
}

void tst_CardFields::zipCodeKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, allowed);
    QCOMPARE(zipKeyAllowed(key, Qt::KeyboardModifiers(modifiers), text), allowed);
}

void tst_CardFields::mustInputLabels_data()
{
    QTest::addColumn<QString>("cFld");
    QTest::addColumn<QString>("label");
    QTest::newRow("customer name") << "cCusName"
                                   << "lblcCusCode";
    QTest::newRow("department, other case") << "CDEPNAME"
                                            << "lblcConDepart";
    QTest::newRow("person") << "cprincipalname"
                            << "lblcPrincipal";
    QTest::newRow("marriage") << "cMarriageName"
                              << "lblcMarriage";
    QTest::newRow("superior") << "cSuperiorName"
                              << "lblcSuperior";
    QTest::newRow("sex") << "csexname"
                         << "lblcSex";
    QTest::newRow("plain column") << "cMobilePhone"
                                  << "lblcMobilePhone";
}

void tst_CardFields::mustInputLabels()
{
    QFETCH(QString, cFld);
    QFETCH(QString, label);
    QCOMPARE(mustInputLabelName(cFld), label);
}

void tst_CardFields::chatCaptionsByLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("wechat");
    QTest::newRow("simplified") << "zh-CN"
                                << "QQ号"
                                << "微信号";
    QTest::newRow("traditional") << "zh-TW"
                                 << "QQ號"
                                 << "微信號";
    QTest::newRow("english") << "en-US"
                             << "QQ NO."
                             << "Wechat NO.";
    QTest::newRow("unknown") << ""
                             << "QQ NO."
                             << "Wechat NO.";
}

void tst_CardFields::chatCaptionsByLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, call);
    QFETCH(QString, wechat);
    const ChatCaptions captions = chatCaptions(language);
    QCOMPARE(captions.call, call);
    QCOMPARE(captions.wechat, wechat);
}

void tst_CardFields::everyColumnHasOneEditor()
{
    // The record and the load find editors by column: two editors on one column would lose one.
    for (const CardField &field : cardFields()) {
        QCOMPARE(cardFieldIndexOf(field.column.toString().toUpper()), field.index);
        QCOMPARE(cardField(field.index), &field);
    }
    QCOMPARE(cardFieldIndexOf(u"bMajor"), -1);
}

QTEST_MAIN(tst_CardFields)
#include "tst_cardfields.moc"
