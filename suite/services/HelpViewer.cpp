#include "suite/services/HelpViewer.h"

#include "suite/services/LocalText.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace perikon::suite {

HelpViewer::HelpViewer(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(localText(QStringLiteral("帮助"), QStringLiteral("Help")));
    auto *layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser);
    resize(560, 480);
}

HelpViewer *HelpViewer::open(QWidget *owner, const QString &helpFile, const QString &topic)
{
    HelpViewer *viewer
        = owner ? owner->findChild<HelpViewer *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!viewer)
        viewer = new HelpViewer(owner);
    viewer->showTopic(helpFile, topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

void HelpViewer::showTopic(const QString &helpFile, const QString &topic)
{
    m_topic = topic;
    if (!QFileInfo::exists(helpFile)) {
        m_browser->setPlainText(localText(QStringLiteral("找不到帮助文件：%1"),
                                          QStringLiteral("The help file is missing: %1"))
                                    .arg(helpFile));
        return;
    }
    QUrl url = QUrl::fromLocalFile(helpFile);
    if (!topic.isEmpty())
        url.setFragment(topic);
    m_browser->setSource(url);
    if (!topic.isEmpty())
        m_browser->scrollToAnchor(topic);
}

} // namespace perikon::suite
