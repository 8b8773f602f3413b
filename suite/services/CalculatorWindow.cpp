#include "suite/services/CalculatorWindow.h"

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite {
namespace {

using Op = CalculatorEngine::Operation;

QString text(const char *key)
{
    return ResourceTexts::text(sessionLanguage(), QString::fromLatin1(key));
}

} // namespace

CalculatorWindow::CalculatorWindow(const QString &number, QWidget *parent)
    : QDialog(parent)
    , m_display(new QLineEdit(this))
{
    setObjectName(QStringLiteral("Calculator"));
    setWindowTitle(text("K2.Suite.Calc.Title"));
    setModal(true);
    // The keys never take the focus, so every key press reaches the window's own handling.
    setFocusPolicy(Qt::StrongFocus);

    m_display->setObjectName(QStringLiteral("CalcDisplay"));
    m_display->setReadOnly(true);
    m_display->setFocusPolicy(Qt::NoFocus);
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont displayFont = m_display->font();
    displayFont.setPointSizeF(displayFont.pointSizeF() * 1.5);
    m_display->setFont(displayFont);
    // Room for the fifteen digits, a sign and a point.
    m_display->setMinimumWidth(QFontMetrics(displayFont).horizontalAdvance(QString(18, u'8')));

    auto *keys = new QGridLayout;
    keys->setSpacing(4);
    addKey(keys, "Calc_Percent", QStringLiteral("%"), 0, 0, &CalculatorEngine::percent);
    addKey(keys, "Calc_CE", QStringLiteral("CE"), 0, 1, &CalculatorEngine::clearEntry);
    addKey(keys, "Calc_C", QStringLiteral("C"), 0, 2, &CalculatorEngine::clear);
    addKey(keys, "Calc_Back", QStringLiteral("←"), 0, 3, &CalculatorEngine::backspace);
    static constexpr int kDigitRows[] = {4, 3, 3, 3, 2, 2, 2, 1, 1, 1};
    static constexpr int kDigitColumns[] = {1, 0, 1, 2, 0, 1, 2, 0, 1, 2};
    for (int digit = 0; digit <= 9; ++digit) {
        const QByteArray name = "Calc_" + QByteArray::number(digit);
        addKey(keys, name.constData(), QString::number(digit), kDigitRows[digit],
               kDigitColumns[digit], [digit](CalculatorEngine &e) { e.digit(digit); });
    }
    addKey(keys, "Calc_Div", QStringLiteral("÷"), 1, 3,
           [](CalculatorEngine &e) { e.operation(Op::Divide); });
    addKey(keys, "Calc_Mul", QStringLiteral("×"), 2, 3,
           [](CalculatorEngine &e) { e.operation(Op::Multiply); });
    addKey(keys, "Calc_Sub", QStringLiteral("−"), 3, 3,
           [](CalculatorEngine &e) { e.operation(Op::Subtract); });
    addKey(keys, "Calc_Add", QStringLiteral("+"), 4, 3,
           [](CalculatorEngine &e) { e.operation(Op::Add); });
    addKey(keys, "Calc_Sign", QStringLiteral("±"), 4, 0, &CalculatorEngine::changeSign);
    addKey(keys, "Calc_Dot", QStringLiteral("."), 4, 2, &CalculatorEngine::point);
    addKey(keys, "Calc_Eq", QStringLiteral("="), 5, 0, &CalculatorEngine::equals, 4);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(text("K2.Suite.Calc.OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("CalcOK"));
    QPushButton *cancel
        = buttons->addButton(text("K2.Suite.Calc.Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CalcCancel"));
    for (QPushButton *button : {m_ok, cancel}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &CalculatorWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CalculatorWindow::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_display);
    layout->addLayout(keys);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_engine.reset(number);
    updateDisplay();
}

void CalculatorWindow::addKey(QGridLayout *grid, const char *name, const QString &text, int row,
                              int column, std::function<void(CalculatorEngine &)> action,
                              int columnSpan)
{
    auto *key = new QPushButton(text, this);
    key->setObjectName(QString::fromLatin1(name));
    key->setFocusPolicy(Qt::NoFocus);
    key->setAutoDefault(false);
    key->setMinimumSize(48, 36);
    connect(key, &QPushButton::clicked, this, [this, action = std::move(action)] { run(action); });
    grid->addWidget(key, row, column, 1, columnSpan);
}

void CalculatorWindow::run(const std::function<void(CalculatorEngine &)> &action)
{
    action(m_engine);
    updateDisplay();
}

void CalculatorWindow::updateDisplay()
{
    switch (m_engine.error()) {
    case CalculatorEngine::Error::DivideByZero:
        m_display->setText(text("K2.Suite.Calc.DivideByZero"));
        break;
    case CalculatorEngine::Error::Overflow:
        m_display->setText(text("K2.Suite.Calc.Overflow"));
        break;
    case CalculatorEngine::Error::None:
        m_display->setText(m_engine.display());
        break;
    }
    m_ok->setEnabled(m_engine.error() == CalculatorEngine::Error::None);
}

QPoint CalculatorWindow::placedOnScreen(const QRect &available, const QPoint &topLeft,
                                        const QSize &size)
{
    // A window larger than the screen keeps its top left corner on it.
    const int x
        = std::max(available.left(), std::min(topLeft.x(), available.right() + 1 - size.width()));
    const int y
        = std::max(available.top(), std::min(topLeft.y(), available.bottom() + 1 - size.height()));
    return {x, y};
}

void CalculatorWindow::accept()
{
    m_engine.finishPending();
    updateDisplay();
    if (m_engine.error() != CalculatorEngine::Error::None)
        return;
    m_result = m_engine.result();
    QDialog::accept();
}

void CalculatorWindow::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int digit = key - Qt::Key_0;
        run([digit](CalculatorEngine &e) { e.digit(digit); });
        return;
    }
    switch (key) {
    case Qt::Key_Period:
    case Qt::Key_Comma:
        run(&CalculatorEngine::point);
        return;
    case Qt::Key_Plus:
        run([](CalculatorEngine &e) { e.operation(Op::Add); });
        return;
    case Qt::Key_Minus:
        run([](CalculatorEngine &e) { e.operation(Op::Subtract); });
        return;
    case Qt::Key_Asterisk:
        run([](CalculatorEngine &e) { e.operation(Op::Multiply); });
        return;
    case Qt::Key_Slash:
        run([](CalculatorEngine &e) { e.operation(Op::Divide); });
        return;
    case Qt::Key_Equal:
        run(&CalculatorEngine::equals);
        return;
    case Qt::Key_Percent:
        run(&CalculatorEngine::percent);
        return;
    case Qt::Key_F9:
        run(&CalculatorEngine::changeSign);
        return;
    case Qt::Key_Backspace:
        run(&CalculatorEngine::backspace);
        return;
    case Qt::Key_Delete:
        run(&CalculatorEngine::clearEntry);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_engine.hasPendingOperation())
            run(&CalculatorEngine::equals);
        else
            accept();
        return;
    default:
        QDialog::keyPressEvent(event); // Escape cancels
    }
}

} // namespace perikon::suite
