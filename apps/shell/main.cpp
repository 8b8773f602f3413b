// perikon-shell: the suite's desktop shell. Logs an operator in, loads the contact component and
// opens its list.
//
//   perikon-shell [--login USER] [--lang zh-CN|en-US] [--connection DB] [--screenshot FILE]
//
// With --login and --connection the login dialog is skipped. --screenshot renders the opened list
// into a PNG and exits (it works without a display).

#include "apps/shell/LoginDialog.h"
#include "apps/shell/ShellWindow.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

namespace {

// Waits until the list shows its first page (or gives up), then saves the shell as a PNG.
int takeScreenshot(perikon::shell::ShellWindow &shell, const QString &file)
{
    QElapsedTimer waited;
    waited.start();
    qint64 headed = -1;
    while (waited.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        // The header comes first; rows follow, unless the operator may read none.
        auto *grid = shell.findChild<perikon::controls::HostGrid *>(QStringLiteral("Grid"));
        if (!grid || grid->TextMatrix(0, 1).isEmpty())
            continue;
        if (headed < 0)
            headed = waited.elapsed();
        if (grid->Rows() > 1 || waited.elapsed() - headed > 3000)
            break;
    }
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!shell.grab().save(file)) {
        std::fprintf(stderr, "perikon-shell: cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("perikon-shell: wrote %s\n", qPrintable(file));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("perikon-shell"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Perikon suite's desktop shell."));
    parser.addHelpOption();
    const QCommandLineOption loginOption(QStringLiteral("login"), QStringLiteral("Operator id."),
                                         QStringLiteral("USER"));
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Language: zh-CN or en-US."),
                                        QStringLiteral("LANG"), QStringLiteral("zh-CN"));
    const QCommandLineOption connectionOption(
        QStringLiteral("connection"),
        QStringLiteral("Account database: a QZDATA_*.db file or a connection string."),
        QStringLiteral("DB"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"), QStringLiteral("Render the opened list into a PNG and exit."),
        QStringLiteral("FILE"));
    parser.addOptions({loginOption, langOption, connectionOption, screenshotOption});
    parser.process(app);

    const QString language = parser.value(langOption);
    if (language != QLatin1String("zh-CN") && language != QLatin1String("en-US")) {
        std::fprintf(stderr, "perikon-shell: --lang takes zh-CN or en-US, not %s\n",
                     qPrintable(language));
        return 2;
    }
    perikon::suite::registerServices();

    const perikon::shell::LoginRequest request{parser.value(loginOption),
                                               parser.value(connectionOption), language};
    std::unique_ptr<QObject> login;
    if (parser.isSet(loginOption) && parser.isSet(connectionOption)) {
        perikon::shell::LoginResult result = perikon::shell::logIn(request);
        if (!result.login) {
            std::fprintf(stderr, "perikon-shell: %s\n", qPrintable(result.error));
            if (!parser.isSet(screenshotOption))
                QMessageBox::critical(nullptr, QStringLiteral("Perikon"), result.error);
            return 1;
        }
        login = std::move(result.login);
    } else if (parser.isSet(screenshotOption)) {
        std::fprintf(stderr, "perikon-shell: --screenshot needs --login and --connection\n");
        return 2;
    } else {
        perikon::shell::LoginDialog dialog(request);
        if (dialog.exec() != QDialog::Accepted)
            return 1;
        login = dialog.takeLogin();
    }

    perikon::shell::ShellWindow shell(std::move(login));
    QString error;
    if (!shell.loadComponent(&error)) {
        std::fprintf(stderr, "perikon-shell: %s\n", qPrintable(error));
        if (!parser.isSet(screenshotOption))
            QMessageBox::critical(nullptr, QStringLiteral("Perikon"), error);
        return 1;
    }
    shell.show();
    shell.activateWindow();
    QApplication::processEvents();
    if (parser.isSet(screenshotOption) && !shell.isActiveWindow()) {
        // Without a window system nothing activates a window; the list waits for activation.
        QApplication::setActiveWindow(&shell);
    }
    shell.openContactList();
    if (parser.isSet(screenshotOption))
        return takeScreenshot(shell, parser.value(screenshotOption));
    return app.exec();
}
