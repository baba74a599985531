#include "room/PersonMicForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/CodeTables.h"
#include "room/PersonMicManage.h"
#include "room/RoomTexts.h"

TfrmPersonMic::TfrmPersonMic(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("我的私麦"));
    auto* layout = new QVBoxLayout(this);
    lblTitle = new QLabel(QString::fromUtf8("正在观看您私麦的用户："), this);
    lvViewers = new QTreeWidget(this);
    lvViewers->setObjectName("lvViewers");
    lvViewers->setRootIsDecorated(false);
    lvViewers->setHeaderLabels({QString::fromUtf8("用户号"), QString::fromUtf8("昵称"),
                                QString::fromUtf8("等级"), QString::fromUtf8("连接时间")});
    lvViewers->setColumnWidth(0, 90);
    lvViewers->setColumnWidth(1, 105);
    lvViewers->setColumnWidth(2, 60);
    lvViewers->setColumnWidth(3, 80);
    lvViewers->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    lvViewers->headerItem()->setTextAlignment(3, Qt::AlignCenter);
    btnCut = new QPushButton(QString::fromUtf8("断开"), this);
    btnCut->setObjectName("btnCut");
    layout->addWidget(lblTitle);
    layout->addWidget(lvViewers, 1);
    layout->addWidget(btnCut, 0, Qt::AlignRight);
    resize(370, 260);
    connect(btnCut, &QPushButton::clicked, this, [this] { btnCutClick(); });
}

void TfrmPersonMic::ShowViewers(const TPersonMicManage& manager) {
    lvViewers->clear();
    for (int i = 0; i < manager.Count(); ++i) {
        const TPrivateMicViewer& viewer = manager.Item(i);
        auto* row = new QTreeWidgetItem(lvViewers);
        row->setText(0, QString::number(viewer.UserID));
        row->setText(1, GbkToQt(viewer.NickName));
        row->setText(2, GbkToQt(LevelName(static_cast<std::uint16_t>(viewer.Level))));
        row->setText(3, viewer.ConnectedAt.toString("hh:mm:ss"));
        row->setTextAlignment(2, Qt::AlignCenter);
        row->setTextAlignment(3, Qt::AlignCenter);
        row->setCheckState(0, Qt::Unchecked);
        row->setData(0, Qt::UserRole, viewer.UserID);
    }
}

void TfrmPersonMic::btnCutClick() {
    for (int i = lvViewers->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* row = lvViewers->topLevelItem(i);
        if (row->checkState(0) != Qt::Checked) {
            continue;
        }
        const std::int32_t user = row->data(0, Qt::UserRole).toInt();
        if (user > 0 && OnCut) {
            OnCut(user);
        }
        delete lvViewers->takeTopLevelItem(i);
    }
}
