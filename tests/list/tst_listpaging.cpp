// The paging rules of the contact list.

#include "perikon/list/ListPaging.h"

#include <QTest>

using namespace perikon::list;

class tst_ListPaging : public QObject
{
    Q_OBJECT
private slots:
    void spinners_data();
    void spinners();
    void pageField_data();
    void pageField();
    void requestPageSize_data();
    void requestPageSize();
    void links_data();
    void links();
};

void tst_ListPaging::spinners_data()
{
    QTest::addColumn<bool>("pageSizeSpinner");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("limit"); // the largest page size, or the page spinner's maximum
    QTest::addColumn<int>("expected");
    QTest::newRow("size up") << true << 500 << true << 10000 << 505;
    QTest::newRow("size down") << true << 500 << false << 10000 << 495;
    QTest::newRow("size down to the least") << true << 10 << false << 10000 << 5;
    QTest::newRow("size below the least is undone, not clamped")
        << true << 7 << false << 10000 << 7;
    QTest::newRow("size up to the most") << true << 9995 << true << 10000 << 10000;
    QTest::newRow("size above the most is undone") << true << 9998 << true << 10000 << 9998;
    QTest::newRow("page up") << false << 3 << true << 4 << 4;
    QTest::newRow("page above the maximum is undone") << false << 4 << true << 4 << 4;
    QTest::newRow("page down") << false << 2 << false << 4 << 1;
    QTest::newRow("page below one is undone") << false << 1 << false << 4 << 1;
}

void tst_ListPaging::spinners()
{
    QFETCH(bool, pageSizeSpinner);
    QFETCH(int, value);
    QFETCH(bool, up);
    QFETCH(int, limit);
    QFETCH(int, expected);
    QCOMPARE(pageSizeSpinner ? spinPageSize(value, up, limit) : spinPage(value, up, limit),
             expected);
}

void tst_ListPaging::pageField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QString>("shown");
    QTest::newRow("within") << "3" << 7 << "3";
    QTest::newRow("beyond the pages") << "12" << 7 << "7";
    QTest::newRow("zero") << "0" << 7 << "1";
    QTest::newRow("leading zeros") << "007" << 9 << "7";
    QTest::newRow("empty while typing") << "" << 7 << "";
    QTest::newRow("single page") << "2" << 1 << "1";
    QTest::newRow("huge number") << "99999999999" << 7 << "7";
}

void tst_ListPaging::pageField()
{
    QFETCH(QString, typed);
    QFETCH(int, pageCount);
    QFETCH(QString, shown);
    QCOMPARE(clampPageField(typed, pageCount), shown);
}

void tst_ListPaging::requestPageSize_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("used");
    QTest::newRow("below the least") << 3 << 5;
    QTest::newRow("above the most") << 20000 << 10000;
    QTest::newRow("within, not a multiple of the step") << 123 << 123;
    QTest::newRow("zero") << 0 << 5;
}

void tst_ListPaging::requestPageSize()
{
    QFETCH(int, typed);
    QFETCH(int, used);
    QCOMPARE(clampRequestPageSize(typed, 10000), used);
}

void tst_ListPaging::links_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("forward");
    QTest::newRow("first") << 0 << 3 << 5 << 1 << false << true;
    QTest::newRow("previous on page one stays") << 1 << 1 << 5 << 1 << false << true;
    QTest::newRow("previous") << 1 << 3 << 5 << 2 << true << true;
    QTest::newRow("next") << 2 << 3 << 5 << 4 << true << true;
    QTest::newRow("last") << 3 << 2 << 5 << 5 << true << false;
    QTest::newRow("single page disables all") << 3 << 1 << 1 << 1 << false << false;
}

void tst_ListPaging::links()
{
    QFETCH(int, link);
    QFETCH(int, page);
    QFETCH(int, pageCount);
    QFETCH(int, target);
    QFETCH(bool, backward);
    QFETCH(bool, forward);
    const int moved = pageLinkTarget(static_cast<PageLink>(link), page, pageCount);
    QCOMPARE(moved, target);
    const QString shown = clampPageField(QString::number(moved), pageCount);
    QCOMPARE(linkStates(shown, pageCount), (LinkStates{backward, forward}));
}

QTEST_GUILESS_MAIN(tst_ListPaging)
#include "tst_listpaging.moc"
