// The build's layers, read back from the libraries it produced: which library may load which, and
// what the component's library shows to the host.

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The shared libraries a file names as NEEDED in its dynamic section.
QStringList neededLibraries(const QString &file)
{
    static const QRegularExpression needed(
        QStringLiteral(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])"));
    QStringList names;
    const QString dynamic = run(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
    for (const auto &match : needed.globalMatch(dynamic))
        names << match.captured(1);
    return names;
}

// Demangled names of the symbols a library defines and exports.
QStringList exportedSymbols(const QString &file)
{
    const QString table
        = run(QStringLiteral("nm"),
              {QStringLiteral("-D"), QStringLiteral("--defined-only"), QStringLiteral("-C"), file});
    QStringList names;
    for (const QString &line : table.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // "<address> <type> <name>"
        const int second = line.indexOf(QLatin1Char(' '), line.indexOf(QLatin1Char(' ')) + 1);
        if (second > 0)
            names << line.mid(second + 1);
    }
    return names;
}

const QStringList kPublishedClasses = {
    QStringLiteral("IContact"),      QStringLiteral("IClsCommon"), QStringLiteral("clsConn"),
    QStringLiteral("GUIDGenerator"), QStringLiteral("clsLogin"),   QStringLiteral("clsContactDO"),
    QStringLiteral("clsContact"),
};

bool isPublished(const QString &symbol)
{
    if (symbol == QLatin1String("perikon_create_object"))
        return true;
    for (const QString &cls : kPublishedClasses) {
        const QString qualified = QStringLiteral("perikon::") + cls;
        // Members, vtables, typeinfo and thunks of a published class.
        static const QRegularExpression ownerPrefix(QStringLiteral(
            R"(^(?:(?:non-)?virtual thunk to |vtable for |typeinfo(?: name)? for )?)"));
        const QString owner = QString(symbol).remove(ownerPrefix);
        if (owner == qualified || owner.startsWith(qualified + QLatin1String("::")))
            return true;
    }
    return false;
}

} // namespace

class tst_layers : public QObject
{
    Q_OBJECT

private slots:
    void linksFollowTheLayers_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QStringList>("forbidden");

        const QString ours = QStringLiteral("libperikon");
        QTest::newRow("dbal needs nothing of ours, no widgets")
            << QStringLiteral(PERIKON_LIB_DBAL)
            << QStringList{QStringLiteral("libperikon"), QStringLiteral("libQt6Widgets"),
                           QStringLiteral("libQt6Gui")};
        QTest::newRow("host contract stands alone")
            << QStringLiteral(PERIKON_LIB_HOST) << QStringList{QStringLiteral("libperikon")};
        QTest::newRow("session sits on the host contract only")
            << QStringLiteral(PERIKON_LIB_SESSION)
            << QStringList{QStringLiteral("libperikon.so"), QStringLiteral("libperikon-suite"),
                           QStringLiteral("libperikon-dbal"),
                           QStringLiteral("libperikon-controls")};
        QTest::newRow("controls are widgets only")
            << QStringLiteral(PERIKON_LIB_CONTROLS)
            << QStringList{QStringLiteral("libperikon"), QStringLiteral("libsqlite3"),
                           QStringLiteral("libpq")};
        QTest::newRow("printer sits on the host contract, no services, no database")
            << QStringLiteral(PERIKON_LIB_PRINTER)
            << QStringList{QStringLiteral("libperikon.so"),   QStringLiteral("libperikon-suite"),
                           QStringLiteral("libperikon-dbal"), QStringLiteral("libperikon-session"),
                           QStringLiteral("libsqlite3"),      QStringLiteral("libpq")};
        QTest::newRow("batch control sits on the host contract, no services")
            << QStringLiteral(PERIKON_LIB_BATCH)
            << QStringList{QStringLiteral("libperikon.so"), QStringLiteral("libperikon-suite"),
                           QStringLiteral("libperikon-session")};
        QTest::newRow("column-settings control sits on the host contract, no services")
            << QStringLiteral(PERIKON_LIB_COLSET)
            << QStringList{QStringLiteral("libperikon.so"), QStringLiteral("libperikon-suite"),
                           QStringLiteral("libperikon-session"), QStringLiteral("libperikon-dbal")};
        QTest::newRow("component never loads the printer")
            << QStringLiteral(PERIKON_LIB_COMPONENT)
            << QStringList{QStringLiteral("libperikon-printer")};
        QTest::newRow("component never loads the suite")
            << QStringLiteral(PERIKON_LIB_COMPONENT)
            << QStringList{QStringLiteral("libperikon-suite")};
        QTest::newRow("suite never loads the component")
            << QStringLiteral(PERIKON_LIB_SUITE)
            << QStringList{QStringLiteral("libperikon.so"), QStringLiteral("libperikon-session")};
        QTest::newRow("SMS client is Qt's network and nothing of ours")
            << QStringLiteral(PERIKON_LIB_SMSCLIENT)
            << QStringList{QStringLiteral("libperikon"), QStringLiteral("libQt6Widgets"),
                           QStringLiteral("libQt6Gui")};
        QTest::newRow("component loads the SMS client at run time only")
            << QStringLiteral(PERIKON_LIB_COMPONENT)
            << QStringList{QStringLiteral("libperikon-smsclient")};
    }

    void linksFollowTheLayers()
    {
        QFETCH(QString, library);
        QFETCH(QStringList, forbidden);
        const QStringList needed = neededLibraries(library);
        QVERIFY2(!needed.isEmpty(),
                 qPrintable(QStringLiteral("no dynamic section read from ") + library));
        for (const QString &name : needed) {
            for (const QString &prefix : forbidden)
                QVERIFY2(!name.startsWith(prefix),
                         qPrintable(QStringLiteral("%1 needs %2").arg(library, name)));
        }
    }

    void componentNeedsItsLayers()
    {
        const QStringList needed = neededLibraries(QStringLiteral(PERIKON_LIB_COMPONENT));
        for (const char *layer :
             {"libperikon-dbal.so", "libperikon-host.so", "libperikon-session.so"})
            QVERIFY2(needed.contains(QLatin1String(layer)), layer);
    }

    void smsClientExportsOnlyItsEntryPoint()
    {
        QStringList ours;
        for (const QString &symbol : exportedSymbols(QStringLiteral(PERIKON_LIB_SMSCLIENT))) {
            if (!symbol.startsWith(QLatin1String("__odr_asan."))
                && (symbol.contains(QLatin1String("perikon"))
                    || symbol.contains(QLatin1String("Sms"))
                    || symbol.contains(QLatin1String("SMS"))))
                ours << symbol;
        }
        QCOMPARE(ours, QStringList{QStringLiteral("SMSCall")});
    }

    void componentExportsOnlyItsPublishedFace()
    {
        const QStringList symbols = exportedSymbols(QStringLiteral(PERIKON_LIB_COMPONENT));
        QVERIFY(symbols.contains(QStringLiteral("perikon_create_object")));
        QVERIFY(symbols.contains(QStringLiteral("perikon::IClsCommon::staticMetaObject")));
        QVERIFY(symbols.contains(QStringLiteral("perikon::IContact::staticMetaObject")));
        QStringList internal;
        for (const QString &symbol : symbols) {
            // A sanitizer build marks every exported global with an indicator of its own; the
            // global itself is in the list and checked.
            if (symbol.startsWith(QLatin1String("__odr_asan.")))
                continue;
            if (symbol.contains(QLatin1String("perikon")) && !isPublished(symbol))
                internal << symbol;
        }
        QVERIFY2(internal.isEmpty(), qPrintable(internal.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(tst_layers)
#include "tst_layers.moc"
