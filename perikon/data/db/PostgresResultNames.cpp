#include "PostgresResultNames.h"

namespace perikon::db {

namespace {

bool startsWord(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool inWord(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

} // namespace

QHash<QString, QString> selectListSpellings(QStringView sql)
{
    QHash<QString, QString> words;
    bool inList = false;
    int depth = 0;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // a literal or a quoted name: skip to its end ('' and "" are escaped quotes)
            ++i;
            while (i < sql.size()) {
                if (sql[i] == c && !(i + 1 < sql.size() && sql[i + 1] == c))
                    break;
                i += sql[i] == c ? 2 : 1;
            }
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            while (i < sql.size() && sql[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'(' || c == u')') {
            depth += c == u'(' ? 1 : -1;
            ++i;
            continue;
        }
        if (!startsWord(c)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < sql.size() && inWord(sql[i]))
            ++i;
        const QStringView word = sql.mid(start, i - start);
        if (depth == 0 && word.compare(u"select", Qt::CaseInsensitive) == 0 && !inList
            && words.isEmpty()) {
            inList = true;
            continue;
        }
        if (inList && depth == 0 && word.compare(u"from", Qt::CaseInsensitive) == 0)
            break;
        if (inList) {
            const QString lower = word.toString().toLower();
            if (!words.contains(lower))
                words.insert(lower, word.toString());
        }
    }
    return words;
}

} // namespace perikon::db
