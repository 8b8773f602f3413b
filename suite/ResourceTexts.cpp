#include "suite/ResourceTexts.h"

#include <QFile>
#include <QHash>
#include <QMutex>

namespace perikon::suite {
namespace {

using TextTable = QHash<QString, QString>;

QString unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (next == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

TextTable load(const QString &languageId)
{
    TextTable table;
    QFile file(QStringLiteral(":/suite/texts/%1.txt").arg(languageId));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        // Texts keep their blanks: some are joined to others without a separator.
        table.insert(line.left(eq).trimmed().toString(), unescape(line.mid(eq + 1)));
    }
    return table;
}

const TextTable &tableFor(const QString &languageId)
{
    static QMutex mutex;
    static QHash<QString, TextTable> tables;
    QMutexLocker lock(&mutex);
    auto it = tables.find(languageId);
    if (it == tables.end())
        it = tables.insert(languageId, load(languageId));
    return *it;
}

} // namespace

QString ResourceTexts::text(const QString &languageId, const QString &key)
{
    return tableFor(languageId).value(key);
}

QString ResourceTexts::format(const QString &languageId, const QString &key,
                              const QStringList &args)
{
    return fillArguments(text(languageId, key), args);
}

QString ResourceTexts::fillArguments(const QString &text, const QStringList &args)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('%') && i + 1 < text.size() && text[i + 1].isDigit()
            && text[i + 1] != QLatin1Char('0')) {
            const int index = text[i + 1].digitValue() - 1;
            out += args.value(index);
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

QString ResourceTexts::languageOfRegion(const QString &languageRegion)
{
    return languageRegion.trimmed().toLower() == QLatin1String("en-us") ? QStringLiteral("en-US")
                                                                        : QStringLiteral("zh-CN");
}

} // namespace perikon::suite
