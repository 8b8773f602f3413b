#include "suite/services/SuiteCalculatorService.h"

#include "suite/services/CalculatorWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace perikon::suite {

bool SuiteCalculatorService::Calculate(QWidget *editor, const QPoint &topLeft,
                                       const QString &caption, QString &text)
{
    CalculatorWindow window(text, editor ? editor->window() : nullptr);
    if (!caption.isEmpty())
        window.setWindowTitle(caption);
    // Its final size with the frame the platform adds, so the whole window stays on the screen.
    window.ensurePolished();
    window.adjustSize();
    window.winId();
    const QMargins frame
        = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    const QSize outerSize = window.size().grownBy(frame);

    QScreen *screen = editor ? editor->screen() : QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        window.move(
            CalculatorWindow::placedOnScreen(screen->availableGeometry(), topLeft, outerSize));
    else
        window.move(topLeft);

    if (window.exec() != QDialog::Accepted)
        return false;
    text = window.resultText();
    return true;
}

} // namespace perikon::suite
