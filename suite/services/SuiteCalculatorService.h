#pragma once

#include "perikon/host/contract/CalculatorService.h"

namespace perikon::suite {

// The calculator a number editor opens ("CalculatorService"): the suite's CalculatorWindow.
class SuiteCalculatorService : public CalculatorService
{
    Q_OBJECT
public:
    using CalculatorService::CalculatorService;

    bool Calculate(QWidget *editor, const QPoint &topLeft, const QString &caption,
                   QString &text) override;
};

} // namespace perikon::suite
