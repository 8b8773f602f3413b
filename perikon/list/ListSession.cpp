#include "perikon/list/ListSession.h"

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

} // namespace perikon
