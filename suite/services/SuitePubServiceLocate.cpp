// The public service's locating in list grids: the operator's settings per archive and the
// dialog that finds the next matching row.

#include "suite/services/SuitePubService.h"

#include "perikon/host/contract/HostLogin.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/locate/LocateDialogs.h"

namespace perikon::suite {
namespace {

const QString kArchiveProperty = QStringLiteral("locateArchive");
const QString kSettingsName = QStringLiteral("locate");

QString operatorId(QObject *login)
{
    const QString id = hostlogin::text(login, "cUserId");
    if (!id.isEmpty())
        return id;
    const SuiteLogin *current = currentLogin();
    return current ? current->cUserId : QString();
}

} // namespace

void SuitePubService::FindSet(QObject *login, const QString &archive, QWidget *window)
{
    auto *grid = window ? window->findChild<controls::HostGrid *>() : nullptr;
    const QStringList captions = grid ? locate::locatableCaptions(*grid) : QStringList();
    const QString userId = operatorId(login);
    const locate::LocateSettings current
        = locate::settingsFromText(GetRegEdit(archive, kSettingsName, false, userId))
              .value_or(locate::LocateSettings{captions.value(0), locate::LocateMatch::Contains});
    locate::LocateSetDialog dialog(captions, current, window);
    if (window)
        window->setProperty(kArchiveProperty.toLatin1().constData(), archive);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SaveRegEdit(archive, kSettingsName, locate::settingsText(dialog.settings()), false, userId);
}

void SuitePubService::FindPos(QWidget *window, QWidget *grid)
{
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    if (!hostGrid)
        return;
    const QString archive
        = window ? window->property(kArchiveProperty.toLatin1().constData()).toString() : QString();
    std::optional<locate::LocateSettings> settings;
    if (!archive.isEmpty())
        settings = locate::settingsFromText(
            GetRegEdit(archive, kSettingsName, false, operatorId(nullptr)));
    int column = settings ? locate::columnOfCaption(*hostGrid, settings->columnCaption) : -1;
    if (column < 2) {
        // The current column, unless it is the marks' (or the fixed one): then the first data one.
        column = hostGrid->Col() >= 2 ? hostGrid->Col() : 2;
        if (column >= hostGrid->Cols())
            return;
        settings
            = locate::LocateSettings{hostGrid->TextMatrix(0, column).trimmed(),
                                     settings ? settings->match : locate::LocateMatch::Contains};
    }
    locate::LocateDialog dialog(*hostGrid, column, *settings, window);
    dialog.exec();
}

} // namespace perikon::suite
