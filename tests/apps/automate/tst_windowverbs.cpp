// The bridge's window requests: paths to every kind of control, a person's clicks, typing and
// keys, reading controls and grids in host numbering, closing, grabbing and keeping windows.

#include "ContactWindow.h"
#include "apps/automate/Bridge.h"
#include "support/FailOnWarnings.h"

#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace perikon;

class tst_WindowVerbs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        testing::failOnUnexpectedWarnings();
        m_bridge = std::make_unique<automation::Bridge>();
        m_window = std::make_unique<ContactWindow>();
        m_window->edits[0]->setText(QStringLiteral("旧名字"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_bridge.reset();
    }

    void windowsListsTheShownWindow()
    {
        const QJsonArray windows = send(R"({"ui":"windows"})").value("windows").toArray();
        const QJsonObject expected{{"name", "frmTest"},
                                   {"title", QStringLiteral("联系人")},
                                   {"class", "ContactWindow"},
                                   {"modal", false},
                                   {"visible", true}};
        QVERIFY2(windows.contains(expected),
                 QJsonDocument(windows).toJson(QJsonDocument::Compact).constData());
    }

    void pathsReachEveryKindOfControl_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("edit of an array") << "frmTest/Edt_0" << QStringLiteral("旧名字");
        QTest::newRow("status bar panel from 1")
            << "frmTest/Stb/Panel_1" << QStringLiteral("共 25 条");
        QTest::newRow("last status bar panel") << "frmTest/Stb/Panel_3" << QStringLiteral("管理员");
        QTest::newRow("menu item") << "frmTest/mnuFileSave" << QStringLiteral("保存");
        QTest::newRow("toolbar button by command key") << "frmTest/Add" << QStringLiteral("增加");
        QTest::newRow("spinner half") << "frmTest/UpDown1/Up" << QString();
        QTest::newRow("link label") << "frmTest/lblMore" << QStringLiteral("更多");
        QTest::newRow("window itself") << "frmTest" << QStringLiteral("联系人");
    }

    void pathsReachEveryKindOfControl()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        const QJsonObject reply = send(ui("read", path));
        QVERIFY2(reply.value("ok").toBool(), qPrintable(reply.value("error").toString()));
        QCOMPARE(reply.value("text").toString(), text);
        QCOMPARE(reply.value("visible").toBool(), true);
    }

    void treeListsTheNamedControlsBelow()
    {
        const QJsonObject reply = send(ui("tree", "frmTest/Stb"));
        QCOMPARE(reply.value("children").toArray(),
                 (QJsonArray{QJsonObject{{"name", "Panel_1"},
                                         {"class", "QLabel"},
                                         {"text", QStringLiteral("共 25 条")},
                                         {"enabled", true},
                                         {"visible", true}},
                             QJsonObject{{"name", "Panel_2"},
                                         {"class", "QLabel"},
                                         {"text", ""},
                                         {"enabled", true},
                                         {"visible", true}},
                             QJsonObject{{"name", "Panel_3"},
                                         {"class", "QLabel"},
                                         {"text", QStringLiteral("管理员")},
                                         {"enabled", true},
                                         {"visible", true}}}));
        QStringList names;
        for (const QJsonValue &child : send(ui("tree", "frmTest")).value("children").toArray())
            names << child.toObject().value("name").toString();
        for (const char *name : {"Edt_0", "Edt_1", "CboSex", "mnuFileSave", "Add", "Up", "Grid"})
            QVERIFY2(names.contains(QLatin1String(name)), name);
    }

    void badRequestsNameWhatIsWrong_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("error");
        QTest::newRow("no such window") << R"({"ui":"read","path":"frmNone/Edt_0"})"
                                        << "frmNone/Edt_0: no window named frmNone";
        QTest::newRow("no such control")
            << R"({"ui":"read","path":"frmTest/Stb/Panel_0"})"
            << "frmTest/Stb/Panel_0: no control Panel_0 in frmTest/Stb";
        QTest::newRow("unknown verb") << R"({"ui":"fly","path":"frmTest"})"
                                      << "unknown ui verb: fly";
        QTest::newRow("an edit is not clicked") << R"({"ui":"click","path":"frmTest/Edt_0"})"
                                                << "Edt_0 (QLineEdit) cannot be clicked";
        QTest::newRow("disabled button") << R"({"ui":"click","path":"frmTest/cmdDelete"})"
                                         << "cmdDelete is disabled";
        QTest::newRow("combo item that is not there")
            << R"({"ui":"type","path":"frmTest/CboSex","text":"男性"})"
            << QStringLiteral("CboSex has no item 男性");
        QTest::newRow("a button takes no text")
            << R"({"ui":"type","path":"frmTest/cmdApply","text":"x"})"
            << "cmdApply (QPushButton) takes no text";
        QTest::newRow("grid verb on an edit") << R"({"ui":"grid","path":"frmTest/Edt_1"})"
                                              << "frmTest/Edt_1 is no grid";
        QTest::newRow("cell beyond the rows")
            << R"({"ui":"select","path":"frmTest/Grid","row":26,"col":1})"
            << "no cell at row 26, column 1";
        QTest::newRow("not a key") << R"({"ui":"key","path":"frmTest/Edt_0","keys":"Ctrl+Banana"})"
                                   << "not a key sequence: Ctrl+Banana";
    }

    void badRequestsNameWhatIsWrong()
    {
        QFETCH(QString, request);
        QFETCH(QString, error);
        const QJsonObject reply = send(request);
        QCOMPARE(reply.value("ok").toBool(), false);
        QCOMPARE(reply.value("error").toString(), error);
        QVERIFY(send(ui("read", "frmTest/Edt_0")).value("ok").toBool());
    }

    void repliesEchoTheRequestId_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QJsonValue>("id");
        QTest::newRow("number on success") << R"({"ui":"windows","id":41})" << QJsonValue(41);
        QTest::newRow("text on failure")
            << R"({"ui":"read","path":"nowhere","id":"r-2"})" << QJsonValue("r-2");
        QTest::newRow("other requests too")
            << R"({"global":"gLastError","id":[1,2]})" << QJsonValue(QJsonArray{1, 2});
    }

    void repliesEchoTheRequestId()
    {
        QFETCH(QString, request);
        QFETCH(QJsonValue, id);
        QCOMPARE(send(request).value("id"), id);
    }

    void clicksReachWhatAPersonClicks_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("effect");
        QTest::newRow("push button") << "frmTest/cmdApply"
                                     << "applies=1";
        QTest::newRow("link label") << "frmTest/lblMore"
                                    << "links=1";
        QTest::newRow("menu item") << "frmTest/mnuFileSave"
                                   << "saves=1";
        QTest::newRow("toolbar button") << "frmTest/Add"
                                        << "toolbar=Add";
        QTest::newRow("spinner up") << "frmTest/UpDown1/Up"
                                    << "steps=1";
        QTest::newRow("spinner down") << "frmTest/UpDown1/Down"
                                      << "steps=-1";
        QTest::newRow("check box") << "frmTest/ChkVip"
                                   << "checked=1";
    }

    void clicksReachWhatAPersonClicks()
    {
        QFETCH(QString, path);
        QFETCH(QString, effect);
        const QJsonObject reply = send(ui("click", path));
        QVERIFY2(reply.value("ok").toBool(), qPrintable(reply.value("error").toString()));
        QCOMPARE(effects(), effect);
    }

    void typingReplacesTheTextKeyByKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("edits");
        QTest::newRow("mixed text")
            << QStringLiteral("张三a1") << QStringList{"张", "张三", "张三a", "张三a1"};
        QTest::newRow("empty text clears") << QString() << QStringList{""};
        QTest::newRow("outside the basic plane")
            << QStringLiteral("𠀀b") << QStringList{"𠀀", "𠀀b"};
    }

    void typingReplacesTheTextKeyByKey()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, edits);
        const QJsonObject request{{"ui", "type"}, {"path", "frmTest/Edt_0"}, {"text", text}};
        QVERIFY(send(request).value("ok").toBool());
        QCOMPARE(m_window->edits[0]->text(), text);
        QCOMPARE(m_window->edited, edits);
        QCOMPARE(QApplication::focusWidget(), m_window->edits[0]);
    }

    void typingOnAListPicksTheItem()
    {
        QVERIFY(
            send(R"({"ui":"type","path":"frmTest/CboSex","text":"未知"})").value("ok").toBool());
        QCOMPARE(m_window->sex->currentIndex(), 2);
        QCOMPARE(m_window->activatedSex, QList<int>{2});
        const QJsonObject read = send(ui("read", "frmTest/CboSex"));
        QCOMPARE(read.value("text").toString(), QStringLiteral("未知"));
        QCOMPARE(read.value("current").toInt(), 2);
        QCOMPARE(read.value("items").toArray(),
                 (QJsonArray{QStringLiteral("男"), QStringLiteral("女"), QStringLiteral("未知")}));
    }

    void keysGoToTheFocusedControlOrTheWindowsShortcuts_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("effect");
        QTest::newRow("window shortcut") << "Ctrl+F" << QStringLiteral("旧名字") << "finds=1";
        QTest::newRow("toolbar hot key") << "Ctrl+N" << QStringLiteral("旧名字") << "toolbar=Add";
        QTest::newRow("editing keys")
            << "Backspace, Home, Shift+X" << QStringLiteral("X旧名") << "";
    }

    void keysGoToTheFocusedControlOrTheWindowsShortcuts()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, effect);
        const QJsonObject request{{"ui", "key"}, {"path", "frmTest/Edt_0"}, {"keys", keys}};
        QVERIFY(send(request).value("ok").toBool());
        QCOMPARE(m_window->edits[0]->text(), text);
        QCOMPARE(effects(), effect);
    }

    void readGivesTheStateOfAControl()
    {
        m_window->vip->setChecked(true);
        const QJsonObject check = send(ui("read", "frmTest/ChkVip"));
        QCOMPARE(check.value("checked"), QJsonValue(true));
        QCOMPARE(check.value("text").toString(), QStringLiteral("重要"));
        QCOMPARE(send(ui("read", "frmTest/cmdDelete")).value("enabled"), QJsonValue(false));
        QVERIFY(!send(ui("read", "frmTest/cmdApply")).contains("checked"));
        m_window->apply->hide();
        QCOMPARE(send(ui("read", "frmTest/cmdApply")).value("visible"), QJsonValue(false));
        QCOMPARE(send(ui("click", "frmTest/cmdApply")).value("error").toString(),
                 QStringLiteral("cmdApply is not visible"));
    }

    void gridReadsInHostNumbering()
    {
        const QJsonObject reply = send(R"({"ui":"grid","path":"frmTest/Grid","from":2,"count":3})");
        QVERIFY2(reply.value("ok").toBool(), qPrintable(reply.value("error").toString()));
        QCOMPARE(reply.value("columns").toArray(),
                 (QJsonArray{"", QStringLiteral("编码"), QStringLiteral("姓名"),
                             QStringLiteral("电话")}));
        QCOMPARE(
            reply.value("rows").toArray(),
            (QJsonArray{QJsonArray{"3", "00000003", QStringLiteral("联系人3"), "13800000003"},
                        QJsonArray{"4", "00000004", QStringLiteral("联系人4"), "13800000004"},
                        QJsonArray{"5", "00000005", QStringLiteral("联系人5"), "13800000005"}}));
        QCOMPARE(reply.value("rowCount").toInt(), 25);
        QCOMPARE(reply.value("topRow").toInt(), 1);
        // Past the last row only what exists comes back.
        QCOMPARE(send(R"({"ui":"grid","path":"frmTest/Grid","from":24,"count":20})")
                     .value("rows")
                     .toArray()
                     .size(),
                 1);
    }

    void selectMovesTheCurrentCell()
    {
        QVERIFY(
            send(R"({"ui":"select","path":"frmTest/Grid","row":22,"col":2})").value("ok").toBool());
        QCOMPARE(m_window->grid->Row(), 22);
        QCOMPARE(m_window->grid->Col(), 2);
        const QJsonObject reply = send(R"({"ui":"grid","path":"frmTest/Grid","from":0,"count":0})");
        QCOMPARE(reply.value("currentRow").toInt(), 22);
        QCOMPARE(reply.value("currentCol").toInt(), 2);
        // The grid scrolled the row into view.
        QVERIFY(reply.value("topRow").toInt() > 1);
        QCOMPARE(reply.value("topRow").toInt(), m_window->grid->TopRow());
    }

    void gridClicksLandOnTheHostCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("twice");
        QTest::addColumn<QString>("events");
        QTest::newRow("data cell") << 3 << 2 << false << "click 3,2";
        QTest::newRow("double click") << 4 << 3 << true << "click 4,3;double 4,3";
        QTest::newRow("header cell") << 0 << 2 << false << "click 0,2";
        QTest::newRow("row number") << 5 << 0 << false << "click 5,0";
        QTest::newRow("row below the view") << 25 << 1 << false << "click 25,1";
    }

    void gridClicksLandOnTheHostCell()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, twice);
        QFETCH(QString, events);
        QStringList seen;
        connect(m_window->grid, &controls::HostGrid::cellClicked, this,
                [&seen](int r, int c) { seen << QStringLiteral("click %1,%2").arg(r).arg(c); });
        connect(m_window->grid, &controls::HostGrid::cellDoubleClicked, this,
                [&seen](int r, int c) { seen << QStringLiteral("double %1,%2").arg(r).arg(c); });
        const QJsonObject request{{"ui", "click"},
                                  {"path", "frmTest/Grid"},
                                  {"row", row},
                                  {"col", col},
                                  {"double", twice}};
        const QJsonObject reply = send(request);
        QVERIFY2(reply.value("ok").toBool(), qPrintable(reply.value("error").toString()));
        QCOMPARE(seen.join(QLatin1Char(';')), events);
        disconnect(m_window->grid, nullptr, this, nullptr);
    }

    void anyItemViewServesAsAGrid()
    {
        QStandardItemModel model(3, 2);
        model.setHorizontalHeaderLabels({QStringLiteral("名称"), QStringLiteral("数量")});
        for (int r = 0; r < 3; ++r) {
            model.setItem(r, 0, new QStandardItem(QStringLiteral("项%1").arg(r + 1)));
            model.setItem(r, 1, new QStandardItem(QString::number((r + 1) * 10)));
        }
        QTableView view(m_window.get());
        view.setObjectName(QStringLiteral("lstItems"));
        view.setModel(&model);
        m_window->layout()->addWidget(&view);
        view.show();
        const QJsonObject reply = send(R"({"ui":"grid","path":"frmTest/lstItems","from":1})");
        QCOMPARE(reply.value("columns").toArray(),
                 (QJsonArray{QStringLiteral("名称"), QStringLiteral("数量")}));
        QCOMPARE(reply.value("rows").toArray(),
                 (QJsonArray{QJsonArray{QStringLiteral("项2"), "20"},
                             QJsonArray{QStringLiteral("项3"), "30"}}));
        QCOMPARE(reply.value("rowCount").toInt(), 3);
        QVERIFY(send(R"({"ui":"select","path":"frmTest/lstItems","row":3,"col":1})")
                    .value("ok")
                    .toBool());
        QCOMPARE(view.currentIndex(), model.index(2, 1));
        QVERIFY(send(R"({"ui":"click","path":"frmTest/lstItems","row":2,"col":0})")
                    .value("ok")
                    .toBool());
        QCOMPARE(view.currentIndex(), model.index(1, 0));
    }

    void closeRunsTheWindowsOwnCloseHandling()
    {
        m_window->refuseClose = true;
        QCOMPARE(send(ui("close", "frmTest")).value("closed"), QJsonValue(false));
        QVERIFY(m_window->isVisible());
        m_window->refuseClose = false;
        QCOMPARE(send(ui("close", "frmTest")).value("closed"), QJsonValue(true));
        QVERIFY(!m_window->isVisible());
    }

    void keptWindowIsCallable()
    {
        QVERIFY(send(R"({"ui":"keep","path":"frmTest","as":"w"})").value("ok").toBool());
        m_window->sex->setCurrentIndex(1);
        QCOMPARE(send(R"({"call":"w.Summary","args":[]})").value("result").toString(),
                 QStringLiteral("旧名字/女"));
        // The bridge names the window but does not own it.
        m_window.reset();
        QCOMPARE(send(R"({"call":"w.Summary","args":[]})").value("ok").toBool(), false);
    }

    void grabWritesAPicture()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.png"));
        const QJsonObject request{{"ui", "grab"}, {"path", "frmTest/Grid"}, {"file", file}};
        QVERIFY(send(request).value("ok").toBool());
        const QImage picture(file);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), m_window->grid->size() * m_window->devicePixelRatio());
    }

    void waitLetsTheWindowWork()
    {
        bool fired = false;
        QTimer::singleShot(20, this, [&fired] { fired = true; });
        QVERIFY(send(R"({"ui":"wait","ms":200})").value("ok").toBool());
        QVERIFY(fired);
    }

    void embeddedWindowIsFoundByName()
    {
        auto *embedded = new ContactWindow(QStringLiteral("frmEmbedded"));
        m_window->layout()->addWidget(embedded);
        embedded->show();
        embedded->edits[1]->setText(QStringLiteral("嵌入"));
        QCOMPARE(send(ui("read", "frmEmbedded/Edt_1")).value("text").toString(),
                 QStringLiteral("嵌入"));
    }

private:
    static QString ui(const char *verb, const QString &path)
    {
        return QString::fromUtf8(
            QJsonDocument(QJsonObject{{"ui", QString::fromLatin1(verb)}, {"path", path}})
                .toJson(QJsonDocument::Compact));
    }

    QJsonObject send(const QString &line)
    {
        return QJsonDocument::fromJson(m_bridge->handleLine(line).toUtf8()).object();
    }
    QJsonObject send(const QJsonObject &request)
    {
        return send(QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)));
    }

    // What the window saw, for comparing in one line: only the counters that moved.
    QString effects() const
    {
        QStringList moved;
        const ContactWindow &w = *m_window;
        if (w.applies)
            moved << QStringLiteral("applies=%1").arg(w.applies);
        if (w.links)
            moved << QStringLiteral("links=%1").arg(w.links);
        if (w.saves)
            moved << QStringLiteral("saves=%1").arg(w.saves);
        if (!w.toolbarKeys.isEmpty())
            moved << QStringLiteral("toolbar=") + w.toolbarKeys.join(QLatin1Char(','));
        if (w.steps)
            moved << QStringLiteral("steps=%1").arg(w.steps);
        if (w.vip->isChecked())
            moved << QStringLiteral("checked=1");
        if (w.finds)
            moved << QStringLiteral("finds=%1").arg(w.finds);
        return moved.join(QLatin1Char(' '));
    }

    std::unique_ptr<automation::Bridge> m_bridge;
    std::unique_ptr<ContactWindow> m_window;
};

QTEST_MAIN(tst_WindowVerbs)
#include "tst_windowverbs.moc"
