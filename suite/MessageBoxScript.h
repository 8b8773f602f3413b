#pragma once

#include <QString>
#include <QStringList>

namespace perikon::suite {

// Message boxes when nobody sits at the screen (tests, the automation bridge): each shown text is
// recorded, and the answer comes from a queue that the script fills beforehand. With the queue
// empty, the box answers with its default button. One script per thread.
class MessageBoxScript
{
public:
    // Interactive unless PERIKON_NONINTERACTIVE=1, there is no QApplication, or the platform
    // plugin draws nowhere (offscreen, minimal). setInteractive overrides that for the thread.
    static bool interactive();
    static void setInteractive(bool interactive);

    static void queueAnswers(const QList<int> &buttons);
    // Records the text and returns the next queued answer, or `defaultAnswer`.
    static int answer(const QString &text, int defaultAnswer);
    // Records a text a window showed that asks nothing (a result list): no answer is consumed.
    static void recordShown(const QString &text);
    // The texts shown since the last call, oldest first; clears the record.
    static QStringList takeShownMessages();
};

} // namespace perikon::suite
