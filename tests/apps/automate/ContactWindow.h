#pragma once

#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/LinkLabel.h"
#include "suite/controls/PanelStatusBar.h"
#include "suite/controls/SpinButtons.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>

#include <array>

// A window built the way the component's windows are: named controls of every kind the bridge
// drives, and counters of what a person's input did to them.
class ContactWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ContactWindow(const QString &name = QStringLiteral("frmTest"))
    {
        using namespace perikon::controls;
        setObjectName(name);
        setWindowTitle(QStringLiteral("联系人"));
        auto *layout = new QVBoxLayout(this);

        auto *menuBar = new QMenuBar(this);
        menuBar->setObjectName(QStringLiteral("MenuBar"));
        QMenu *file = menuBar->addMenu(QStringLiteral("文件"));
        file->setObjectName(QStringLiteral("mnuFile"));
        save = file->addAction(QStringLiteral("保存"));
        save->setObjectName(QStringLiteral("mnuFileSave"));
        connect(save, &QAction::triggered, this, [this] { ++saves; });
        layout->setMenuBar(menuBar);

        toolbar = new HostToolbar(this);
        toolbar->setObjectName(QStringLiteral("Toolbar"));
        toolbar->setDefinition(
            {ToolbarButtonDef{QStringLiteral("Add"), QStringLiteral("增加"), QString(),
                              QKeySequence(QStringLiteral("Ctrl+N")), QString()}},
            {}, {});
        connect(toolbar, &HostToolbar::buttonClicked, this,
                [this](const QString &key) { toolbarKeys << key; });
        layout->addWidget(toolbar);

        for (int i = 0; i < int(edits.size()); ++i) {
            edits[i] = new QLineEdit(this);
            edits[i]->setObjectName(QStringLiteral("Edt_%1").arg(i));
            layout->addWidget(edits[i]);
        }
        connect(edits[0], &QLineEdit::textEdited, this,
                [this](const QString &text) { edited << text; });

        sex = new QComboBox(this);
        sex->setObjectName(QStringLiteral("CboSex"));
        sex->addItems({QStringLiteral("男"), QStringLiteral("女"), QStringLiteral("未知")});
        connect(sex, &QComboBox::activated, this, [this](int index) { activatedSex << index; });
        layout->addWidget(sex);

        vip = new QCheckBox(QStringLiteral("重要"), this);
        vip->setObjectName(QStringLiteral("ChkVip"));
        layout->addWidget(vip);

        apply = new QPushButton(QStringLiteral("应用"), this);
        apply->setObjectName(QStringLiteral("cmdApply"));
        connect(apply, &QPushButton::clicked, this, [this] { ++applies; });
        layout->addWidget(apply);

        auto *locked = new QPushButton(QStringLiteral("删除"), this);
        locked->setObjectName(QStringLiteral("cmdDelete"));
        locked->setEnabled(false);
        layout->addWidget(locked);

        more = new LinkLabel(QStringLiteral("更多"), this);
        more->setObjectName(QStringLiteral("lblMore"));
        connect(more, &LinkLabel::clicked, this, [this] { ++links; });
        layout->addWidget(more);

        spin = new SpinButtons(this);
        spin->setObjectName(QStringLiteral("UpDown1"));
        connect(spin, &SpinButtons::upClicked, this, [this] { ++steps; });
        connect(spin, &SpinButtons::downClicked, this, [this] { --steps; });
        layout->addWidget(spin);

        auto *find = new QShortcut(QKeySequence(QStringLiteral("Ctrl+F")), this);
        connect(find, &QShortcut::activated, this, [this] { ++finds; });

        grid = new HostGrid(this);
        grid->setObjectName(QStringLiteral("Grid"));
        grid->setRows(26);
        grid->setCols(4);
        grid->setRowTexts(0,
                          {QStringLiteral("编码"), QStringLiteral("姓名"), QStringLiteral("电话")});
        for (int r = 1; r <= 25; ++r)
            grid->setRowTexts(r, {QStringLiteral("%1").arg(r, 8, 10, QLatin1Char('0')),
                                  QStringLiteral("联系人%1").arg(r),
                                  QStringLiteral("1380000%1").arg(r, 4, 10, QLatin1Char('0'))});
        layout->addWidget(grid, 1);

        statusBar = new PanelStatusBar(3, this);
        statusBar->setObjectName(QStringLiteral("Stb"));
        statusBar->setPanelText(0, QStringLiteral("共 25 条"));
        statusBar->setPanelText(2, QStringLiteral("管理员"));
        layout->addWidget(statusBar);
        resize(640, 720);
    }

    Q_INVOKABLE QString Summary() const
    {
        return edits[0]->text() + QLatin1Char('/') + sex->currentText();
    }

    bool refuseClose = false;
    int saves = 0;
    int applies = 0;
    int links = 0;
    int steps = 0;
    int finds = 0;
    QStringList toolbarKeys;
    QStringList edited;
    QList<int> activatedSex;

    std::array<QLineEdit *, 2> edits{};
    QComboBox *sex = nullptr;
    QCheckBox *vip = nullptr;
    QPushButton *apply = nullptr;
    perikon::controls::LinkLabel *more = nullptr;
    perikon::controls::SpinButtons *spin = nullptr;
    perikon::controls::HostToolbar *toolbar = nullptr;
    perikon::controls::HostGrid *grid = nullptr;
    perikon::controls::PanelStatusBar *statusBar = nullptr;
    QAction *save = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};
