#include "chat/ChatViewFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "chat/FontFrame.h"
#include "chat/FontString.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "chat/MaskOffSet.h"
#include "chat/RollingTipPanel.h"
#include "foundation/SkinData.h"

namespace {

QString Text(const char* utf8Literal) {
    return GbkToQString(GbkText(utf8Literal));
}

QToolButton* SpeedButton(QWidget* parent, const char* name, const char* hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(Text(hint));
    button->setToolTip(Text(hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    SetSkinName(button, "toolbutton");
    return button;
}

// Position of a chosen item and the menu's item count (separators count:
// the replies' menus end with "-" and "编辑回复...").
void ReportItem(QMenu* menu, QAction* item, const TframeChatView::TMenuItemEvent& event) {
    if (!event) {
        return;
    }
    const QList<QAction*> items = menu->actions();
    const int position = static_cast<int>(items.indexOf(item));
    if (position >= 0) {
        event(position, static_cast<int>(items.size()));
    }
}

void Raise(const std::function<void()>& event) {
    if (event) {
        event();
    }
}

}  // namespace

TframeChatView::TframeChatView(QWidget* parent) : QWidget(parent) {
    setObjectName("frameChatView");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    pnlTop = new TRollingTipPanel(this);
    pnlTop->setObjectName("pnlTop");
    pnlTop->setFixedHeight(24);
    column->addWidget(pnlTop);
    column->addWidget(BuildCenter(), 1);
    column->addWidget(BuildBottom());

    BuildMenus();
    ConnectControls();

    ShowTargets();
    hcvPrivate->InitPage();
}

QWidget* TframeChatView::BuildCenter() {
    pnlCenter = new QWidget(this);
    pnlCenter->setObjectName("pnlCenter");
    auto* layout = new QVBoxLayout(pnlCenter);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, pnlCenter);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    pnlCTop = new QWidget(Splitter1);
    pnlCTop->setObjectName("pnlCTop");
    pnlCTop->setMinimumHeight(60);
    auto* top = new QVBoxLayout(pnlCTop);
    top->setContentsMargins(0, 0, 0, 0);
    hcvPublic = new THtmlChatView(pnlCTop);
    hcvPublic->setObjectName("hcvPublic");
    top->addWidget(hcvPublic);

    pnlCBottom = new QWidget(Splitter1);
    pnlCBottom->setObjectName("pnlCBottom");
    pnlCBottom->setMinimumHeight(60);
    auto* bottom = new QVBoxLayout(pnlCBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    hcvPrivate = new THtmlChatView(pnlCBottom);
    hcvPrivate->setObjectName("hcvPrivate");
    bottom->addWidget(hcvPrivate, 1);
    pnlFont = new QWidget(pnlCBottom);
    pnlFont->setObjectName("pnlFont");
    auto* font = new QHBoxLayout(pnlFont);
    font->setContentsMargins(0, 0, 0, 0);
    frmFont = new TframeFont(pnlFont);
    frmFont->setObjectName("frmFont");
    font->addWidget(frmFont);
    font->addStretch(1);
    pnlFont->hide();
    bottom->addWidget(pnlFont);

    Splitter1->addWidget(pnlCTop);
    Splitter1->addWidget(pnlCBottom);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 2);
    return pnlCenter;
}

QWidget* TframeChatView::BuildToolBar() {
    bsknpnlToolBar = new QWidget(pnlBottom);
    bsknpnlToolBar->setObjectName("bsknpnlToolBar");
    SetSkinName(bsknpnlToolBar, "panel");
    auto* row = new QHBoxLayout(bsknpnlToolBar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(1);

    lblTo = new QLabel(Text("对"), bsknpnlToolBar);
    cbbNickNameTo = new QComboBox(bsknpnlToolBar);
    cbbNickNameTo->setObjectName("cbbNickNameTo");
    cbbNickNameTo->setEditable(false);
    cbbNickNameTo->setMinimumWidth(90);
    ckStealthily = new QCheckBox(Text("悄悄话"), bsknpnlToolBar);
    ckStealthily->setObjectName("ckStealthily");
    ckStealthily->setEnabled(false);
    row->addWidget(lblTo);
    row->addWidget(cbbNickNameTo);
    row->addWidget(ckStealthily);

    btnSelectFont = SpeedButton(bsknpnlToolBar, "btnSelectFont", "字体");
    btnSelectEmotion = SpeedButton(bsknpnlToolBar, "btnSelectEmotion", "表情");
    btnVIPEmotion = SpeedButton(bsknpnlToolBar, "btnVIPEmotion", "彩字");
    btnLaba = SpeedButton(bsknpnlToolBar, "btnLaba", "小喇叭");
    btnRoomNotice = SpeedButton(bsknpnlToolBar, "btnRoomNotice", "临时公告");
    btnMaskOffSet = SpeedButton(bsknpnlToolBar, "btnMaskOffSet", "屏蔽设置");
    btnClearScreen = SpeedButton(bsknpnlToolBar, "btnClearScreen", "清屏");
    btnShakeSomeBody = SpeedButton(bsknpnlToolBar, "btnShakeSomeBody", "抖动");
    btnBet = SpeedButton(bsknpnlToolBar, "btnBet", "骰子");
    btnFavorites = SpeedButton(bsknpnlToolBar, "btnFavorites", "收藏房间");
    for (QToolButton* button :
         {btnSelectFont, btnSelectEmotion, btnVIPEmotion, btnLaba, btnRoomNotice, btnMaskOffSet,
          btnClearScreen, btnShakeSomeBody, btnBet, btnFavorites}) {
        row->addWidget(button);
    }
    row->addStretch(1);
    return bsknpnlToolBar;
}

QWidget* TframeChatView::BuildBottom() {
    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName("pnlBottom");
    auto* column = new QVBoxLayout(pnlBottom);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    column->addWidget(BuildToolBar());

    auto* row = new QHBoxLayout();
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    hceChat = new THtmlChatEdit(pnlBottom);
    hceChat->setObjectName("hceChat");
    hceChat->MaxLength = kMaxMessageLength;
    hceChat->setFixedHeight(70);
    pnlSend = new QWidget(pnlBottom);
    pnlSend->setObjectName("pnlSend");
    auto* send = new QVBoxLayout(pnlSend);
    send->setContentsMargins(0, 0, 0, 0);
    send->setSpacing(2);
    // The scroll box and the auto-reply button sit at the right, above Send:
    // the toolbar row has no room left for them.
    auto* right = new QHBoxLayout();
    right->setContentsMargins(0, 0, 0, 0);
    ckScroll = new QCheckBox(Text("滚屏"), pnlSend);
    ckScroll->setObjectName("ckScroll");
    ckScroll->setChecked(true);
    btnAutoReply = new QPushButton(Text("自动回复"), pnlSend);
    btnAutoReply->setObjectName("btnAutoReply");
    btnAutoReply->setFocusPolicy(Qt::NoFocus);
    SetSkinName(btnAutoReply, "button");
    btnAutoReply->setMinimumWidth(btnAutoReply->sizeHint().width() + 8);
    right->addWidget(ckScroll);
    right->addWidget(btnAutoReply);
    send->addLayout(right);
    btnSendMsg = new QPushButton(Text("发送"), pnlSend);
    btnSendMsg->setObjectName("btnSendMsg");
    btnSendMsg->setMinimumHeight(36);
    btnSendMsg->setContextMenuPolicy(Qt::CustomContextMenu);
    SetSkinName(btnSendMsg, "button");
    send->addWidget(btnSendMsg);
    row->addWidget(hceChat, 1);
    row->addWidget(pnlSend);
    column->addLayout(row);
    return pnlBottom;
}

void TframeChatView::BuildMenus() {
    popClear = new QMenu(this);
    popClear->setObjectName("popClear");
    N1 = popClear->addAction(Text("清除公聊信息"));
    N2 = popClear->addAction(Text("清除私聊信息"));
    popClear->addSeparator();
    N3 = popClear->addAction(Text("禁止公屏滚动"));
    N3->setCheckable(true);
    N5 = popClear->addAction(Text("禁止私屏滚动"));
    N5->setCheckable(true);

    popMaskOffType = new QMenu(this);
    popMaskOffType->setObjectName("popMaskOffType");
    popAutoReply = new QMenu(this);
    popAutoReply->setObjectName("popAutoReply");
    popShortCutReply = new QMenu(this);
    popShortCutReply->setObjectName("popShortCutReply");
    popColorWord = new QMenu(this);
    popColorWord->setObjectName("popColorWord");

    popNotify = new QMenu(this);
    popNotify->setObjectName("popNotify");
    miLaba = popNotify->addAction(Text("小喇叭"));
    miSendSystem = popNotify->addAction(Text("系统公告"));

    popIcoInfo = new QMenu(this);
    popIcoInfo->setObjectName("popIcoInfo");
    MenuItem1 = popIcoInfo->addAction(Text("图标说明"));
    for (const char* hidden : {"我的权限", "积分详情", "赠送详情"}) {
        popIcoInfo->addAction(Text(hidden))->setVisible(false);
    }
}

void TframeChatView::ConnectControls() {
    connect(cbbNickNameTo, &QComboBox::activated, this, [this](int index) {
        targets_.UserSelected(index);
        ShowTargets();
    });
    connect(ckStealthily, &QCheckBox::toggled, this,
            [this](bool checked) { targets_.SetWhisperChecked(checked); });

    connect(btnSelectFont, &QToolButton::clicked, this,
            [this] { pnlFont->setVisible(pnlFont->isHidden()); });
    btnSelectEmotion->installEventFilter(this);
    connect(btnSelectEmotion, &QToolButton::clicked, this, [this] {
        if (OnSelectEmotion) {
            OnSelectEmotion(emotionAt_);
        }
    });
    connect(btnVIPEmotion, &QToolButton::clicked, this, [this] { Popup(popColorWord); });
    connect(btnLaba, &QToolButton::clicked, this, [this] { Raise(OnLaba); });
    connect(btnRoomNotice, &QToolButton::clicked, this, [this] { Raise(OnRoomNotice); });
    connect(btnMaskOffSet, &QToolButton::clicked, this, [this] {
        MaskSettings.FillMaskMenu(popMaskOffType);
        Popup(popMaskOffType);
    });
    connect(btnClearScreen, &QToolButton::clicked, this, [this] { Popup(popClear); });
    connect(btnShakeSomeBody, &QToolButton::clicked, this, [this] { Raise(OnShakeSomeBody); });
    connect(btnBet, &QToolButton::clicked, this, [this] { Raise(OnBet); });
    connect(btnFavorites, &QToolButton::clicked, this, [this] { Raise(OnFavorites); });
    connect(btnAutoReply, &QPushButton::clicked, this, [this] { Raise(OnAutoReply); });

    // Scrolling: the box sets both panes, each menu mark its own pane; the
    // last one used decides.
    connect(ckScroll, &QCheckBox::toggled, this, [this](bool on) {
        hcvPublic->SetEnableScroll(on);
        hcvPrivate->SetEnableScroll(on);
    });
    connect(N3, &QAction::triggered, this,
            [this](bool checked) { hcvPublic->SetEnableScroll(!checked); });
    connect(N5, &QAction::triggered, this,
            [this](bool checked) { hcvPrivate->SetEnableScroll(!checked); });
    connect(N1, &QAction::triggered, this, [this] { hcvPublic->ClearLines(); });
    connect(N2, &QAction::triggered, this, [this] { hcvPrivate->ClearLines(); });

    connect(popColorWord, &QMenu::triggered, this,
            [this](QAction* item) { ReportItem(popColorWord, item, OnColorWordItem); });
    connect(popAutoReply, &QMenu::triggered, this,
            [this](QAction* item) { ReportItem(popAutoReply, item, OnAutoReplyItem); });
    connect(popShortCutReply, &QMenu::triggered, this,
            [this](QAction* item) { ReportItem(popShortCutReply, item, OnShortCutReplyItem); });
    connect(popShortCutReply, &QMenu::aboutToShow, this, [this] { Raise(OnShortCutReplyPopup); });
    connect(popNotify, &QMenu::aboutToShow, this, [this] { Raise(OnNotifyPopup); });
    connect(miLaba, &QAction::triggered, this, [this] { Raise(OnMiLaba); });
    connect(miSendSystem, &QAction::triggered, this, [this] { Raise(OnMiSendSystem); });
    connect(MenuItem1, &QAction::triggered, this, [this] { Raise(OnIcoInfo); });
    // The icon legend menu belongs to no control; the toolbar offers it.
    bsknpnlToolBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bsknpnlToolBar, &QWidget::customContextMenuRequested, this,
            [this] { Popup(popIcoInfo); });

    auto send = [this] {
        if (OnSendClick) {
            OnSendClick();
        } else {
            SendEditorMessage();
        }
    };
    connect(btnSendMsg, &QPushButton::clicked, this, send);
    connect(btnSendMsg, &QPushButton::customContextMenuRequested, this,
            [this] { Popup(popShortCutReply); });
    hceChat->OnEnterChat = send;
}

bool TframeChatView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btnSelectEmotion && event->type() == QEvent::MouseButtonPress) {
        emotionAt_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    }
    return QWidget::eventFilter(watched, event);
}

void TframeChatView::Popup(QMenu* menu) {
    if (PopupMenu) {
        PopupMenu(menu);
    } else {
        menu->popup(QCursor::pos());
    }
}

void TframeChatView::ShowTargets() {
    {
        const QSignalBlocker block(cbbNickNameTo);
        const auto& entries = targets_.Entries();
        bool same = cbbNickNameTo->count() == static_cast<int>(entries.size());
        for (int i = 0; same && i < cbbNickNameTo->count(); ++i) {
            same = cbbNickNameTo->itemData(i).toInt() == entries[i].Id &&
                   QStringToGbk(cbbNickNameTo->itemText(i)) == entries[i].NickName;
        }
        if (!same) {
            cbbNickNameTo->clear();
            for (const TChatTargets::TEntry& entry : entries) {
                cbbNickNameTo->addItem(GbkToQString(entry.NickName), entry.Id);
            }
        }
        cbbNickNameTo->setCurrentIndex(targets_.SelectedIndex());
    }
    const QSignalBlocker block(ckStealthily);
    ckStealthily->setEnabled(targets_.WhisperEnabled());
    ckStealthily->setChecked(targets_.WhisperChecked());
}

void TframeChatView::SelectChatTarget(std::int32_t id, const std::string& nickName) {
    targets_.SelectChatTarget(id, nickName);
    ShowTargets();
}

void TframeChatView::RenameChatTarget(std::int32_t id, const std::string& nickName) {
    targets_.RenameChatTarget(id, nickName);
    ShowTargets();
}

void TframeChatView::RemoveChatTarget(std::int32_t id) {
    targets_.RemoveChatTarget(id);
    ShowTargets();
}

void TframeChatView::GetChatTarget(std::int32_t& id, std::string& nickName) const {
    id = targets_.TargetId();
    nickName = targets_.TargetNickName();
}

void TframeChatView::ApplyChatFont(const std::string& fontString) {
    frmFont->LoadFontString(fontString);
    frmFont->OnChange = [this](const TChatFont& font, const std::string& text) {
        FontChanged(font, text);
    };
    const TChatFont& font = frmFont->CurrentFont();
    hceChat->SetChatFont(font.Styles(), font.Name, font.Color, font.Size);
    pnlFont->hide();
}

void TframeChatView::FontChanged(const TChatFont& font, const std::string& fontString) {
    hceChat->SetChatFont(font.Styles(), font.Name, font.Color, font.Size);
    if (OnChangeFont) {
        OnChangeFont(fontString);
    }
}

void TframeChatView::SendEditorMessage() {
    const std::string body = hceChat->GetChatMessage();
    if (body.empty()) {
        Popup(popShortCutReply);
        return;
    }
    SendMessage(body);
}

void TframeChatView::SendMessage(const std::string& body) {
    const TFrameSend plan = PlanFrameSend(body, targets_);
    switch (plan.Kind) {
        case TFrameSend::TKind::Nothing:
            return;
        case TFrameSend::TKind::NoTarget:
            ShowSystemNotice(plan.Notice);
            return;
        case TFrameSend::TKind::Send:
            break;
    }
    hcvPrivate->AppendLine(plan.EchoLine);
    hceChat->FocusEditor();
    if (OnSendChat) {
        OnSendChat(plan.TargetId, plan.TargetNickName, plan.Whisper, false, body);
    }
}

void TframeChatView::SendRaw(const std::string& text) {
    if (OnSendChat) {
        OnSendChat(targets_.TargetId(), targets_.TargetNickName(), false, false, text);
    }
}

void TframeChatView::ShowSystemNotice(const std::string& text) {
    hcvPrivate->AppendLine(FormatSystemMessage(text) + "<BR>");
}

void TframeChatView::UpdateAutoReplyButton() {
    btnAutoReply->setText(GbkToQString(AutoReply.Caption()));
    const QList<QAction*> items = popAutoReply->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isCheckable()) {
            items[i]->setChecked(i == AutoReply.CheckedItem());
        }
    }
}
