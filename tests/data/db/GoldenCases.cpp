#include "GoldenCases.h"

#include <QDir>
#include <QFile>

using namespace perikon::db;
using namespace Qt::StringLiterals;

std::vector<GoldenCase> loadGoldenCases(const QString &folder)
{
    std::vector<GoldenCase> cases;
    const QDir dir(folder);
    for (const QString &fileName : dir.entryList({u"*.txt"_s}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read golden file %s", qPrintable(file.fileName()));
        QString *section = nullptr;
        QStringList lines;
        auto finishSection = [&] {
            if (section)
                *section = lines.join(u'\n');
            while (section && section->endsWith(u'\n'))
                section->chop(1);
            lines.clear();
            section = nullptr;
        };
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (line.startsWith(u"=== "_s)) {
                finishSection();
                GoldenCase c;
                c.file = fileName;
                c.name = line.mid(4).trimmed();
                cases.push_back(std::move(c));
            } else if (line.startsWith(u"--- "_s) && !cases.empty()) {
                finishSection();
                GoldenCase &c = cases.back();
                const QString kind = line.mid(4).trimmed();
                section = kind == u"sqlserver"_s        ? &c.sqlServer
                          : kind == u"sqlite"_s         ? &c.sqlite
                          : kind == u"postgres"_s       ? &c.postgres
                          : kind == u"setup"_s          ? &c.setup
                          : kind == u"check"_s          ? &c.check
                          : kind == u"rows"_s           ? &c.rows
                          : kind == u"postgres-setup"_s ? &c.postgresSetup
                          : kind == u"postgres-check"_s ? &c.postgresCheck
                          : kind == u"postgres-rows"_s  ? &c.postgresRows
                                                        : nullptr;
                c.expectsRows = c.expectsRows || kind == u"rows"_s;
                c.expectsPostgresRows = c.expectsPostgresRows || kind == u"postgres-rows"_s;
                if (!section)
                    qFatal("unknown section %s in %s", qPrintable(kind), qPrintable(fileName));
            } else if (section) {
                lines << line;
            }
        }
        finishSection();
    }
    return cases;
}

QString describeSteps(const std::vector<TranslatedStatement> &steps)
{
    QStringList lines;
    for (const TranslatedStatement &step : steps) {
        switch (step.kind) {
        case TranslatedStatement::Kind::Sql:
            lines << u"sql: "_s + step.sql;
            break;
        case TranslatedStatement::Kind::IfExists:
            lines << u"probe: "_s + step.probe << u"then: "_s + step.sql;
            break;
        case TranslatedStatement::Kind::UseDatabase:
            lines << u"use: "_s + step.database;
            break;
        case TranslatedStatement::Kind::Procedure:
            lines << u"exec: "_s + step.procedure;
            for (const QString &argument : step.arguments)
                lines << u"arg: "_s + argument;
            break;
        }
    }
    return lines.join(u'\n');
}
