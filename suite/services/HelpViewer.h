#pragma once

#include <QDialog>

class QTextBrowser;

namespace perikon::suite {

// The suite's help: the help page of the session language in a window of its own, opened at a
// topic. One viewer per owner window; asking again brings it to the front at the new topic.
class HelpViewer : public QDialog
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *owner);

    // Opens (or raises) the owner's viewer at `topic`, an anchor of the page ("list", "card").
    static HelpViewer *open(QWidget *owner, const QString &helpFile, const QString &topic);

    QString topic() const { return m_topic; }

private:
    void showTopic(const QString &helpFile, const QString &topic);

    QTextBrowser *m_browser = nullptr;
    QString m_topic;
};

} // namespace perikon::suite
