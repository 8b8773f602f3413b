// perikon-automate: drives the component by name, one JSON request per line on standard input and
// one JSON reply per line on standard output.

#include "apps/automate/Bridge.h"
#include "apps/automate/LineReader.h"
#include "apps/automate/RequestServer.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Scripts close windows and open the next; only the end of the input ends the bridge.
    QApplication::setQuitOnLastWindowClosed(false);

    perikon::automation::Bridge bridge;
    perikon::automation::RequestServer server(bridge);
    perikon::automation::LineReader input(fileno(stdin));
    QObject::connect(&input, &perikon::automation::LineReader::lineRead, &server,
                     &perikon::automation::RequestServer::submit);
    QObject::connect(&input, &perikon::automation::LineReader::closed, &server,
                     &perikon::automation::RequestServer::closeInput);
    QObject::connect(&server, &perikon::automation::RequestServer::replied, &app,
                     [](const QString &line) {
                         const QByteArray bytes = line.toUtf8() + '\n';
                         std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
                         std::fflush(stdout);
                     });
    QObject::connect(&server, &perikon::automation::RequestServer::finished, &app,
                     [] { QCoreApplication::exit(0); });
    return app.exec();
}
