#pragma once

// The relationship chart window the list's "Report" command shows modally: the host's chart
// control "QzChart1" drawing the chart XML the list wrote into ReportXml, and an exit button.

#include <QDialog>
#include <QString>

class QPushButton;

namespace perikon {

class ChartControl;

class frmUIChart : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString ReportXml READ ReportXml WRITE setReportXml)
public:
    explicit frmUIChart(QWidget *parent = nullptr);
    ~frmUIChart() override;

    QString ReportXml() const { return m_reportXml; }
    // The chart to show; drawn when the window loads, or at once when it is already loaded.
    void setReportXml(const QString &xml);
    Q_INVOKABLE void ExitForm();

    // The host's chart control; nullptr when the host has none.
    ChartControl *chart() const { return m_chart; }
    int helpContextId() const { return m_helpContextId; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void load();
    void drawChart();

    ChartControl *m_chart = nullptr;
    QPushButton *m_exit = nullptr;
    QString m_reportXml;
    int m_helpContextId = 0;
    bool m_loaded = false;
};

} // namespace perikon
