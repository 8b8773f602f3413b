#pragma once

// Session values of the contact list: its authorization strings, select list, column information
// and paging. One copy per thread.

#include <QString>

#include <array>

namespace perikon {

extern thread_local QString gColAuthRead;
extern thread_local QString gColAuthWrite;
extern thread_local QString gColAuthN;
extern thread_local QString gRowAuthRead;
extern thread_local QString gRowAuthWrite;

extern thread_local int gMaxPageSize;
extern thread_local int gPageCount;
extern thread_local QString gListSelectCols;
extern thread_local QString gListColInfoXml;
// Display texts for "no" (index 0) and "yes" (index 1).
extern thread_local std::array<QString, 2> gYesNoText;
// Set by the card after a save and by batch modification: the list must refresh.
extern thread_local bool gListDirty;
// The component's help page, as the host's UI helper names it when the list opens.
extern thread_local QString gHelpFile;

} // namespace perikon
