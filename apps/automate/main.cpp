// perikon-automate: drives the component by name, one JSON request per line on standard input and
// one JSON reply per line on standard output.

#include "apps/automate/Bridge.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    perikon::automation::Bridge bridge;

    QTextStream in(stdin);
    QTextStream out(stdout);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.trimmed().isEmpty())
            continue;
        out << bridge.handleLine(line) << '\n';
        out.flush();
    }
    return 0;
}
