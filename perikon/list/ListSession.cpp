#include "perikon/list/ListSession.h"

#include "perikon/session/PublishedValue.h"

namespace perikon {

thread_local QString gColAuthRead;
thread_local QString gColAuthWrite;
thread_local QString gColAuthN;
thread_local QString gRowAuthRead;
thread_local QString gRowAuthWrite;

thread_local int gMaxPageSize = 10000;
thread_local int gPageCount = 1;
thread_local QString gListSelectCols;
thread_local QString gListColInfoXml;
thread_local std::array<QString, 2> gYesNoText;
thread_local bool gListDirty = false;
thread_local QString gHelpFile;

namespace {
[[maybe_unused]] const bool published = [] {
    PERIKON_PUBLISH_VALUE(QString, gColAuthRead);
    PERIKON_PUBLISH_VALUE(QString, gColAuthWrite);
    PERIKON_PUBLISH_VALUE(QString, gColAuthN);
    PERIKON_PUBLISH_VALUE(QString, gRowAuthRead);
    PERIKON_PUBLISH_VALUE(QString, gRowAuthWrite);
    PERIKON_PUBLISH_VALUE(int, gMaxPageSize);
    PERIKON_PUBLISH_VALUE(int, gPageCount);
    PERIKON_PUBLISH_VALUE(QString, gListSelectCols);
    PERIKON_PUBLISH_VALUE(QString, gListColInfoXml);
    PERIKON_PUBLISH_VALUE(bool, gListDirty);
    GlobalRegistry::registerValue(
        QStringLiteral("gYesNoText"),
        [] {
            return QVariant(QStringList{gYesNoText[0], gYesNoText[1]});
        },
        [](const QVariant &v) {
            const QStringList texts = v.toStringList();
            gYesNoText = {texts.value(0), texts.value(1)};
        });
    return true;
}();
} // namespace

} // namespace perikon
