#include "room/RoomForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "av/AVShowFrame.h"
#include "av/ControlFrame.h"
#include "chat/ChatCatalogues.h"
#include "chat/ChatFormat.h"
#include "chat/ColorWordManager.h"
#include "chat/HTMLRoomNote.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "chat/MaskOffSet.h"
#include "chat/RollingTipPanel.h"
#include "common/CodeTables.h"
#include "common/IniFile.h"
#include "common/NetUtils.h"
#include "engine/ClientEngineHelper.h"
#include "foundation/APIUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"
#include "foundation/ImageList.h"
#include "foundation/ResModule.h"
#include "foundation/SkinData.h"
#include "gifts/GiftStatistic.h"
#include "room/PersonMicForm.h"
#include "room/PersonMicManage.h"
#include "room/PriMicMngClass.h"
#include "room/RoomTexts.h"
#include "room/UserInfoForm.h"
#include "room/UserListPanel.h"
#include "session/AboutForm.h"
#include "session/LoginHintForm.h"

namespace {

// ---------------------------------------------------------------- parts

std::vector<TRoomPartInstaller>& Installers() {
    static std::vector<TRoomPartInstaller> installers;
    return installers;
}

std::function<std::int64_t()>& TickSource() {
    static std::function<std::int64_t()> source;
    return source;
}

TfrmRoom::TMessageBox& BoxHandler() {
    static TfrmRoom::TMessageBox handler;
    return handler;
}

class TModuleEngineSource : public IRoomEngineSource {
  public:
    bool CreateInstance() override { return helper_.CreateInstance(); }
    void CloseInstance() override { helper_.CloseInstance(); }
    IClientEngine* Engine() override { return helper_.Engine; }

  private:
    TClientEngineHelper helper_;
};

void SetHint(const char* utf8) {
    if (LoginHint != nullptr) {
        LoginHint->SetHintText(RoomText(utf8));
    }
}

void HideHint() {
    if (LoginHint != nullptr) {
        LoginHint->hide();
    }
}

std::string Str(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const char* utf8Text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QString::fromUtf8(utf8Text));
    button->setAutoRaise(true);
    return button;
}

// A colour stored the Delphi way (0x00BBGGRR) as "#RRGGBB".
QString HtmlColour(std::uint32_t tcolor) {
    return QColorFromTColor(tcolor).name();
}

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 200;
constexpr int kResizeMargin = 4;

}  // namespace

void AddRoomPartInstaller(TRoomPartInstaller installer) {
    Installers().push_back(std::move(installer));
}

void ClearRoomPartInstallers() {
    Installers().clear();
}

std::unique_ptr<IRoomEngineSource> MakeModuleEngineSource() {
    return std::make_unique<TModuleEngineSource>();
}

void TfrmRoom::SetMessageBoxHandler(TMessageBox handler) {
    BoxHandler() = std::move(handler);
}

void TfrmRoom::SetTickSourceForTests(std::function<std::int64_t()> ticks) {
    TickSource() = std::move(ticks);
}

std::int64_t TfrmRoom::Now() {
    if (TickSource()) {
        return TickSource()();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// ---------------------------------------------------------------- links

class TfrmRoom::TLinkTarget : public IChatLinkTarget {
  public:
    explicit TLinkTarget(TfrmRoom& room) : room_(room) {}
    void SelectUserById(std::int32_t userId) override { room_.pnlUserList->SelectUserById(userId); }
    void PrivateElementToText(const std::string& elementId) override {
        room_.hcvPrivate->RewriteElement(elementId, TElementRewrite::InnerToText);
    }
    void PrivateElementEmpty(const std::string& elementId) override {
        room_.hcvPrivate->RewriteElement(elementId, TElementRewrite::EmptyInner);
    }

  private:
    TfrmRoom& room_;
};

// ---------------------------------------------------------------- creation

TfrmRoom::TfrmRoom(QWidget* owner, std::unique_ptr<IRoomEngineSource> source)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      owner_(owner),
      source_(source ? std::move(source) : MakeModuleEngineSource()) {
    setAttribute(Qt::WA_DeleteOnClose);
    SetHint("正在创建房间...");
    BuildForm();

    closing_ = false;
    entryTick_ = 0;
    lastSendTick_ = 0;
    lastShakeTick_.reset();
    TimerShake->setInterval(40);

    SetHint("正在读取房间资源...");
    SealCatalogue().Load(AppPath("Seal") + "/", [](const std::string& path) {
        if (gResModule == nullptr)
            return -1;
        QImage bitmap(QString::fromLocal8Bit(path.c_str()));
        if (bitmap.isNull())
            return -1;
        // Seal bitmaps are opaque; their bottom-left pixel is the clear colour.
        return gResModule->imgSeal.Add(bitmap, bitmap.pixelColor(0, bitmap.height() - 1));
    });

    SetHint("正在初始化房间数据...");
    Initialise();
}

TfrmRoom::~TfrmRoom() {
    if (!closing_) {
        // Destroyed without a close (the program ends): leave all the same.
        closing_ = true;
        LeaveOnce();
        StopAllVideo();
    }
    delete frmPersonMic_.data();
    delete frmUserInfo_.data();
    priMicMng_.reset();
    personMicManage_.reset();
    giftStatistic_.reset();
    serverList_.clear();
    engine_ = nullptr;
    source_->CloseInstance();
}

void TfrmRoom::BuildForm() {
    setObjectName("frmRoom");
    setWindowTitle(QString::fromUtf8("房间"));
    setMinimumSize(800, 480);
    resize(1180, 740);
    SetSkinName(this, "form_room");
    if (gResModule != nullptr) {
        gResModule->skinData2.ApplyTo(this);
    }

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kResizeMargin, 0, kResizeMargin, kResizeMargin);
    outer->setSpacing(0);
    outer->addWidget(BuildCaption());
    outer->addWidget(BuildTop());

    auto* body = new QHBoxLayout();
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(3);
    body->addWidget(BuildLeft());
    body->addWidget(BuildCentre(), 1);
    body->addWidget(BuildRight());
    outer->addLayout(body, 1);

    TimerShake = new QTimer(this);
    TimerShake->setObjectName("TimerShake");
    connect(TimerShake, &QTimer::timeout, this, [this] { TimerShakeTimer(); });
    tmrReConnect = new QTimer(this);
    tmrReConnect->setObjectName("tmrReConnect");
    tmrReConnect->setInterval(reconnect_.Interval());
    connect(tmrReConnect, &QTimer::timeout, this, [this] { tmrReConnectTimer(); });

    connect(this, &QWidget::windowTitleChanged, lblCaption,
            [this](const QString& title) { lblCaption->setText(title); });
    lblCaption->setText(windowTitle());
}

QWidget* TfrmRoom::BuildCaption() {
    pnlCaption = new QFrame(this);
    pnlCaption->setObjectName("pnlCaption");
    SetSkinName(pnlCaption, "panel_room_caption");
    auto* row = new QHBoxLayout(pnlCaption);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    btnSysMenu = new QToolButton(pnlCaption);
    btnSysMenu->setObjectName("btnSysMenu");
    SetSkinName(btnSysMenu, "button_caption_menu");
    lblCaption = new QLabel(pnlCaption);
    lblCaption->setObjectName("lblCaption");
    SetSkinName(lblCaption, "label_room_caption");
    auto* btnMin = new QToolButton(pnlCaption);
    SetSkinName(btnMin, "button_caption_min");
    auto* btnMax = new QToolButton(pnlCaption);
    SetSkinName(btnMax, "button_caption_max");
    auto* btnClose = new QToolButton(pnlCaption);
    btnClose->setObjectName("btnClose");
    SetSkinName(btnClose, "button_caption_close");
    row->addWidget(btnSysMenu);
    row->addWidget(lblCaption, 1);
    row->addWidget(btnMin);
    row->addWidget(btnMax);
    row->addWidget(btnClose);

    // The window menu: the about item with its command 99.
    popSystem = new QMenu(this);
    popSystem->addSeparator();
    QAction* about = popSystem->addAction(QString::fromUtf8("关于 岚拓科技 (&A)  "));
    about->setData(99);
    connect(about, &QAction::triggered, this, [this] {
        auto* box = new TfrmAbout(this);
        box->show();
    });
    connect(btnSysMenu, &QToolButton::clicked, this,
            [this] { popSystem->popup(btnSysMenu->mapToGlobal(btnSysMenu->rect().bottomLeft())); });
    connect(btnMin, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(btnMax, &QToolButton::clicked, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(btnClose, &QToolButton::clicked, this, &QWidget::close);
    pnlCaption->installEventFilter(this);
    lblCaption->installEventFilter(this);
    return pnlCaption;
}

QWidget* TfrmRoom::BuildTop() {
    pnlTop = new QFrame(this);
    pnlTop->setObjectName("pnlTop");
    SetSkinName(pnlTop, "panel");
    auto* row = new QHBoxLayout(pnlTop);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(4);
    lblRoomName = new QLabel(pnlTop);
    lblRoomName->setObjectName("lblRoomName");
    QFont bold = lblRoomName->font();
    bold.setBold(true);
    lblRoomName->setFont(bold);
    lbID = new QLabel(pnlTop);
    lbID->setObjectName("lbID");
    lbName = new QLabel(pnlTop);
    lbName->setObjectName("lbName");
    btnRoomOwnerSetting = MakeToolButton(pnlTop, "btnRoomOwnerSetting", "室主");
    btnRoomOwnerSetting->hide();
    pnlRoomNote = new QWidget(pnlTop);
    pnlRoomNote->setObjectName("pnlRoomNote");
    auto* noteLayout = new QHBoxLayout(pnlRoomNote);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    HTMLRoomNote = new THTMLRoomNote(pnlRoomNote);
    HTMLRoomNote->setObjectName("HTMLRoomNote");
    HTMLRoomNote->setFixedHeight(36);
    noteLayout->addWidget(HTMLRoomNote);
    row->addWidget(lblRoomName);
    row->addSpacing(12);
    row->addWidget(new QLabel(QString::fromUtf8("帐号："), pnlTop));
    row->addWidget(lbID);
    row->addSpacing(8);
    row->addWidget(new QLabel(QString::fromUtf8("昵称："), pnlTop));
    row->addWidget(lbName);
    row->addWidget(btnRoomOwnerSetting);
    row->addWidget(pnlRoomNote, 1);
    pnlTop->installEventFilter(this);

    connect(btnRoomOwnerSetting, &QToolButton::clicked, this, [this] {
        if (MyRole() < 49) {
            ShowBox(this, RoomText("您不是本房间房主，不能查看房间信息！"), "提示",
                    TBoxIcon::Error);
            return;
        }
        Missing("room settings dialog");
    });
    return pnlTop;
}

QWidget* TfrmRoom::BuildLeft() {
    pnlLeft = new QWidget(this);
    pnlLeft->setObjectName("pnlLeft");
    pnlLeft->setFixedWidth(kFrameWidth);
    auto* column = new QVBoxLayout(pnlLeft);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        auto* frame = new TframeAVShow(pnlLeft);
        frame->setObjectName(QString("frameAV%1").arg(i + 1));
        frame->setMinimumHeight(80);
        frame->setMaximumHeight(kFrameHeight);
        Frames[i] = frame;
        column->addWidget(frame, 1);
    }
    frameUserCtr = new TframeControl(pnlLeft);
    column->addWidget(frameUserCtr);
    return pnlLeft;
}

QWidget* TfrmRoom::BuildCentre() {
    frameChatView = new QWidget(this);
    frameChatView->setObjectName("frameChatView");
    auto* column = new QVBoxLayout(frameChatView);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The room's own panes and editor, until a chat frame takes their place.
    defaultChat_ = new QWidget(frameChatView);
    auto* chat = new QVBoxLayout(defaultChat_);
    chat->setContentsMargins(0, 0, 0, 0);
    chat->setSpacing(2);
    pnlRollingTip = new TRollingTipPanel(defaultChat_);
    pnlRollingTip->setObjectName("pnlRollingTip");
    pnlRollingTip->setFixedHeight(24);
    chat->addWidget(pnlRollingTip);
    chatSplitter_ = new QSplitter(Qt::Vertical, defaultChat_);
    hcvPublic = new THtmlChatView(chatSplitter_);
    hcvPublic->setObjectName("hcvPublic");
    hcvPrivate = new THtmlChatView(chatSplitter_);
    hcvPrivate->setObjectName("hcvPrivate");
    chatSplitter_->addWidget(hcvPublic);
    chatSplitter_->addWidget(hcvPrivate);
    chatSplitter_->setStretchFactor(0, 3);
    chatSplitter_->setStretchFactor(1, 2);
    chat->addWidget(chatSplitter_, 1);

    auto* toolbar = new QHBoxLayout();
    toolbar->setContentsMargins(2, 0, 2, 0);
    btnShakeSomeBody = MakeToolButton(defaultChat_, "btnShakeSomeBody", "抖动");
    toolbar->addWidget(btnShakeSomeBody);
    toolbar->addStretch(1);
    chat->addLayout(toolbar);
    hceChat = new THtmlChatEdit(defaultChat_);
    hceChat->setObjectName("hceChat");
    hceChat->setFixedHeight(70);
    chat->addWidget(hceChat);
    column->addWidget(defaultChat_, 1);

    connect(btnShakeSomeBody, &QToolButton::clicked, this, [this] { ShakeSomeBody(); });
    return frameChatView;
}

QWidget* TfrmRoom::BuildRight() {
    pnlRight = new QWidget(this);
    pnlRight->setObjectName("pnlRight");
    pnlRight->setFixedWidth(215);
    auto* column = new QVBoxLayout(pnlRight);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    pnlUserInfo = new QWidget(pnlRight);
    pnlUserInfo->setObjectName("pnlUserInfo");
    auto* info = new QHBoxLayout(pnlUserInfo);
    info->setContentsMargins(2, 2, 2, 2);
    imgHead = new QLabel(pnlUserInfo);
    imgHead->setObjectName("imgHead");
    imgHead->setFixedSize(60, 60);
    imgHead->setToolTip(QString::fromUtf8("点击选择"));
    lblName = new QLabel(pnlUserInfo);
    lblName->setObjectName("lblName");
    info->addWidget(imgHead);
    info->addWidget(lblName, 1);
    pnlUserInfo->hide();
    column->addWidget(pnlUserInfo);

    pnlUserList = new TUserListPanel(pnlRight);
    pnlUserList->setObjectName("pnlUserList");
    column->addWidget(pnlUserList, 3);
    btnLookMe = MakeToolButton(pnlRight, "btnLookMe", "我在哪儿");
    btnLookMe->setToolTip(QString::fromUtf8("我在哪儿"));
    column->addWidget(btnLookMe, 0, Qt::AlignRight);
    connect(btnLookMe, &QToolButton::clicked, this,
            [this] { pnlUserList->LocateUser(MyUserId()); });
    BuildUserMenu();

    pnlGift = new QWidget(pnlRight);
    pnlGift->setObjectName("pnlGift");
    auto* gift = new QVBoxLayout(pnlGift);
    gift->setContentsMargins(0, 0, 0, 0);
    column->addWidget(pnlGift);

    pnlHorn = new QWidget(pnlRight);
    pnlHorn->setObjectName("pnlHorn");
    auto* horn = new QVBoxLayout(pnlHorn);
    horn->setContentsMargins(0, 0, 0, 0);
    horn->setSpacing(1);
    ChatHorn = new THtmlChatView(pnlHorn);
    ChatHorn->setObjectName("ChatHorn");
    ChatHorn->Browser()->setStyleSheet(
        QString("QTextBrowser { background-color: %1; }").arg(HtmlColour(16248827)));
    horn->addWidget(ChatHorn, 1);
    auto* hornButtons = new QHBoxLayout();
    btnModifyInfo = MakeToolButton(pnlHorn, "btnModifyInfo", "修改资料");
    btnAddCards = MakeToolButton(pnlHorn, "btnAddCards", "充值");
    hornButtons->addWidget(btnModifyInfo);
    hornButtons->addWidget(btnAddCards);
    hornButtons->addStretch(1);
    horn->addLayout(hornButtons);
    column->addWidget(pnlHorn, 2);

    connect(btnModifyInfo, &QToolButton::clicked, this,
            [this] { parts_.ModifyMyInfo ? parts_.ModifyMyInfo() : Missing("my info dialog"); });
    connect(btnAddCards, &QToolButton::clicked, this, [this] {
        const TRoomInfo* room = engine_ != nullptr ? engine_->GetRoomInfo() : nullptr;
        const std::int32_t owner = room != nullptr ? room->OwnerID.Get() : 0;
        const std::string address = FormatWebAddress(
            4, {WebArg(static_cast<long long>(MyUserId())), WebArg(static_cast<long long>(owner))});
        if (!address.empty())
            OpenInShell(address);
    });
    return pnlRight;
}

void TfrmRoom::BuildUserMenu() {
    popUserList = new QMenu(this);
    popUserList->setObjectName("popUserList");
    for (std::size_t i = 0; i < kUserMenuItemCount; ++i) {
        const auto item = static_cast<TUserMenuItem>(i);
        const TUserMenuItemInfo& info = UserMenuItemInfo(item);
        if (info.SeparatorBefore)
            popUserList->addSeparator();
        QAction* action = popUserList->addAction(QString::fromUtf8(info.Caption));
        action->setObjectName(info.Name);
        if (info.Image >= 0 && gResModule != nullptr) {
            const QPixmap image = gResModule->imgLstMicro.Pixmap(info.Image);
            if (!image.isNull())
                action->setIcon(QIcon(image));
        }
        connect(action, &QAction::triggered, this, [this, item] { UserMenuClick(item); });
        UserMenuItems[i] = action;
    }
    connect(popUserList, &QMenu::aboutToShow, this, [this] { popUserListPopup(); });
    pnlUserList->SetPopupMenu(popUserList);
}

void TfrmRoom::SetFrameEvents(TframeAVShow* frame, bool floating) {
    frame->OnCaptureVideo = [this](const std::string& path) { CaptureVideo(path); };
    frame->OnSelectUserToChat = [this](std::int32_t user, const std::string& nick) {
        SelectToChat(user, nick);
    };
    frame->OnSelectUserToGift = [this](std::int32_t user, const std::string& nick) {
        SelectToGift(user, nick);
    };
    frame->OnFindUserInUserList = [this](std::int32_t user, const std::string&) {
        FindInUserList(user);
    };
    frame->OnGiveGift = [this](std::int32_t user) { GiveQuickGift(user); };
    frame->OnSelectGift = [this](const QPoint& at) { SelectGift(at); };
    if (floating) {
        frame->OnCloseVideo = [this](std::int32_t user) { OnCloseVideo(user); };
    } else {
        frame->OnCancelMic = [this](std::int32_t user, const std::string&) { CancelMicOf(user); };
    }
}

void TfrmRoom::Initialise() {
    // 1: what the room's own widgets answer; installed parts may take over.
    parts_.IsMasked = [](int kind) {
        return MaskSettings.IsKindMasked(static_cast<std::uint8_t>(kind));
    };
    if (ColorWordCatalogue != nullptr && !ColorWordCatalogue->Loaded()) {
        ColorWordCatalogue->LoadColorWords(ColorWordFolder());
    }
    parts_.ColorWordHtml = [](int number) -> std::optional<std::string> {
        if (ColorWordCatalogue == nullptr || number < 0)
            return std::nullopt;
        const TColorWord* word = ColorWordCatalogue->Find(std::to_string(number));
        if (word == nullptr)
            return std::nullopt;
        return word->Html;
    };
    parts_.ShowRoomNote = [this](const std::string& text) { HTMLRoomNote->ShowRoomNote(text); };
    parts_.ShowTemporaryTip = [this](const std::string& text) {
        pnlRollingTip->ShowTemporaryTip(text);
    };
    parts_.ShowPermanentTip = [this](const std::string& text) {
        pnlRollingTip->ShowPermanentTip(text);
    };
    // The parts other units bring (replies, phrases, gifts, ...).
    for (const TRoomPartInstaller& install : Installers()) {
        install(*this, parts_);
    }
    // 2
    giftStatistic_ = std::make_unique<TGiftStatistic>();
    personMicManage_ = std::make_unique<TPersonMicManage>();
    priMicMng_ = std::make_unique<TPriMicMng>();
    priMicMng_->SetFrameSize(Frames[0]->width(), Frames[0]->height());
    serverList_.clear();
    linkTarget_ = std::make_unique<TLinkTarget>(*this);
    // 3
    if (!source_->CreateInstance() || source_->Engine() == nullptr) {
        WriteLog("room: the chat engine module cannot be loaded");
        created_ = false;
        return;
    }
    engine_ = source_->Engine();
    engine_->SetViewSink(this);
    // 4
    for (TframeAVShow* frame : Frames)
        SetFrameEvents(frame, false);
    // 5
    frameUserCtr->OnMicRequest = [this](int mode) { OnMicRequest(mode); };
    connect(frameUserCtr->btnPersonMicmanager, &QToolButton::clicked, this,
            [this] { btnPersonMicmanagerClick(); });
    connect(frameUserCtr->btnAdvanceSet, &QToolButton::clicked, this, [this] {
        if (parts_.ShowExpertSettings) {
            parts_.ShowExpertSettings();
        } else {
            Missing("ShowExpertSettings");
        }
    });
    // 7
    if (gResModule != nullptr) {
        pnlUserList->SetImages(&gResModule->imgLstUserOrder, &gResModule->PngSeal,
                               &gResModule->pngUserList);
    }
    pnlUserList->OnSelectUser = [this](const TRoomUser*, std::int32_t user,
                                       const std::string& nick) {
        if (parts_.SelectChatTarget) {
            parts_.SelectChatTarget(user, nick);
        } else {
            Missing("SelectChatTarget");
        }
        if (parts_.AddRecipient) {
            parts_.AddRecipient(user, nick);
        } else {
            Missing("AddRecipient");
        }
    };
    pnlUserList->OnSelectUserToGift = [this](const TRoomUser*, std::int32_t user,
                                             const std::string& nick) { SelectToGift(user, nick); };
    // 8
    for (THtmlChatView* pane : {hcvPublic, hcvPrivate}) {
        pane->OnSelect = [this](const std::string& target) { ChatLinkSelected(target); };
        pane->OnSelectToGift = [this](int user, const std::string& nick) {
            SelectToGift(user, nick);
        };
        pane->OnSelectToChat = [this](int user, const std::string& nick) {
            SelectToChat(user, nick);
        };
        pane->OnFindinUserList = [this](int user, const std::string&) { FindInUserList(user); };
    }
    if (!hceChat->OnEnterChat)
        hceChat->OnEnterChat = [this] { Missing("chat frame send"); };
    // 9
    const std::string noteBack = AppPath("Dat/NoteBK.bmp");
    HTMLRoomNote->InitRoomNote(FileExists(noteBack) ? noteBack : std::string(), "#FEE9BC");
    // 10
    ChatHorn->InitPage();
    created_ = true;
}

void TfrmRoom::PlacePart(TRoomPartPlace place, QWidget* widget) {
    if (widget == nullptr)
        return;
    switch (place) {
        case TRoomPartPlace::ChatFrame:
            // The chat frame replaces the room's own panes and editor.
            defaultChat_->hide();
            widget->setParent(frameChatView);
            frameChatView->layout()->addWidget(widget);
            break;
        case TRoomPartPlace::GiftPanel:
            widget->setParent(pnlGift);
            pnlGift->layout()->addWidget(widget);
            break;
        case TRoomPartPlace::RoomNote:
            widget->setParent(pnlRoomNote);
            pnlRoomNote->layout()->addWidget(widget);
            break;
    }
    widget->show();
}

void TfrmRoom::UseChatPanes(THtmlChatView* publicPane, THtmlChatView* privatePane,
                            THtmlChatEdit* editor) {
    if (publicPane != nullptr)
        hcvPublic = publicPane;
    if (privatePane != nullptr)
        hcvPrivate = privatePane;
    if (editor != nullptr)
        hceChat = editor;
    for (THtmlChatView* pane : {hcvPublic, hcvPrivate}) {
        pane->OnSelect = [this](const std::string& target) { ChatLinkSelected(target); };
        pane->OnSelectToGift = [this](int user, const std::string& nick) {
            SelectToGift(user, nick);
        };
        pane->OnSelectToChat = [this](int user, const std::string& nick) {
            SelectToChat(user, nick);
        };
        pane->OnFindinUserList = [this](int user, const std::string&) { FindInUserList(user); };
    }
}

void TfrmRoom::Missing(const char* call) {
    if (missingLogged_.insert(call).second) {
        WriteLog(std::string("room ") + std::to_string(roomId_) + ": " + call +
                 " has no part installed; the call was dropped");
    }
}

void TfrmRoom::ShowBox(QWidget* owner, const std::string& text, const char* caption,
                       TBoxIcon icon) {
    if (BoxHandler()) {
        BoxHandler()(owner, text, RoomText(caption), icon);
        return;
    }
    QMessageBox box(icon == TBoxIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    GbkToQt(RoomText(caption)), GbkToQt(text), QMessageBox::Ok, owner);
    box.exec();
}

// ---------------------------------------------------------------- hall

void TfrmRoom::SetCloseHandler(std::function<void(TGiftStatistic&)> handler) {
    closeHandler_ = std::move(handler);
}

void TfrmRoom::AddRoomServer(std::uint32_t address) {
    serverList_.push_back(std::to_string(address));
}

void TfrmRoom::SetReconnectInterval(int milliseconds) {
    reconnect_.SetInterval(milliseconds);
    tmrReConnect->setInterval(std::max(0, milliseconds));
}

void TfrmRoom::OpenRoom(std::int32_t roomId, std::int32_t userId, bool hidden,
                        std::uint16_t hallValue, const std::string& passwordDigest,
                        const std::string& roomPassword) {
    roomId_ = roomId;
    entryUserId_ = userId;
    hidden_ = hidden ? 1 : 0;
    hallValue_ = hallValue;
    passwordDigest_ = passwordDigest;
    roomPassword_ = roomPassword;
    ConnectRoom();
}

void TfrmRoom::ConnectRoom() {
    SetHint("正在连接房间服务器...");
    if (engine_ == nullptr) {
        WriteLog("room " + std::to_string(roomId_) + ": no engine to connect with");
        return;
    }
    engine_->ClearServers();
    for (const std::string& server : serverList_) {
        engine_->AddServer(static_cast<std::uint32_t>(std::stoul(server)));
    }
    DebugLine("room " + std::to_string(roomId_) + " entering through " +
              std::to_string(serverList_.size()) + " server(s)");
    engine_->EnterRoom(roomId_, entryUserId_, roomPassword_.c_str(), passwordDigest_.c_str(),
                       hallValue_, hidden_, EnterCount);
}

const TMyInfo* TfrmRoom::GetMyInfo() const {
    return engine_ != nullptr ? engine_->GetMyInfo() : nullptr;
}

std::int32_t TfrmRoom::MyUserId() const {
    const TMyInfo* me = GetMyInfo();
    return me != nullptr && me->UserID.Get() != 0 ? me->UserID.Get() : entryUserId_;
}

std::int16_t TfrmRoom::MyRole() const {
    const TMyInfo* me = GetMyInfo();
    return me != nullptr ? me->Role.Get() : 0;
}

// ---------------------------------------------------------------- lines

void TfrmRoom::ShowLine(const std::string& html, bool isPublic, std::uint16_t kind) {
    const TMaskQuery masked = [this](int maskKind) { return IsMasked(maskKind) != 0; };
    const std::optional<TRoutedLine> line =
        RouteChatLine(html, isPublic, static_cast<std::uint8_t>(kind & 0xFF), masked, FilterWords);
    if (!line) {
        return;
    }
    if (line->Pane == TChatPane::Public) {
        hcvPublic->AppendLine(line->Html);
    } else {
        hcvPrivate->AppendLine(line->Html);
        if (line->Flash && !isActiveWindow()) {
            QApplication::alert(this);
        }
    }
    DebugLine(line->Html);
}

void TfrmRoom::ShowSystemLine(const std::string& text) {
    ShowLine(FormatSystemMessage(text), false, 0);
}

void TfrmRoom::ShowSystemNotice(const std::string& text) {
    hcvPrivate->AppendLine(FormatSystemMessage(text) + "<BR>");
}

void TfrmRoom::ChatLinkSelected(const std::string& target) {
    RunChatLink(target, MyUserId(), engine_, *linkTarget_);
}

// ---------------------------------------------------------------- frames

void TfrmRoom::SelectToChat(std::int32_t user, const std::string& nickName) {
    if (user == MyUserId())
        return;
    if (parts_.SelectChatTarget) {
        parts_.SelectChatTarget(user, nickName);
    } else {
        Missing("SelectChatTarget");
    }
}

void TfrmRoom::SelectToGift(std::int32_t user, const std::string& nickName) {
    if (user == MyUserId())
        return;
    if (parts_.AddRecipient) {
        parts_.AddRecipient(user, nickName);
    } else {
        Missing("AddRecipient");
    }
}

void TfrmRoom::FindInUserList(std::int32_t user) {
    pnlUserList->LocateUser(user);
}

void TfrmRoom::CaptureVideo(const std::string& path) {
    ShowSystemNotice(RoomText("您拍的照片路径是: ") + path);
}

void TfrmRoom::CancelMicOf(std::int32_t user) {
    if (MyRole() > 29 && engine_ != nullptr) {
        engine_->CancelMic(user);
    }
}

void TfrmRoom::GiveQuickGift(std::int32_t user) {
    if (!parts_.QuickGift) {
        Missing("QuickGift");
        return;
    }
    const auto [gift, count] = parts_.QuickGift();
    if (engine_ != nullptr)
        engine_->SendGift(user, gift, count, "", 0);
}

void TfrmRoom::SelectGift(const QPoint& at) {
    if (parts_.ShowQuickGift) {
        parts_.ShowQuickGift(at);
    } else {
        Missing("ShowQuickGift");
    }
}

// ---------------------------------------------------------------- mics

void TfrmRoom::OnMicRequest(int mode) {
    if (engine_ == nullptr)
        return;
    if (mode > 0) {
        engine_->RequestMic(mode);
        return;
    }
    engine_->ReleaseMic();
    if (myVideoFrame_ != nullptr) {
        if (myVideoFrame_->MicType < 2) {
            myVideoFrame_->ClearShow();
        } else {
            priMicMng_->CloseWindow(MyUserId());
        }
        myVideoFrame_ = nullptr;
        frameUserCtr->SetMicState(mode);
    }
}

void TfrmRoom::OnCloseVideo(std::int32_t user) {
    if (user == MyUserId()) {
        OnMicRequest(0);
        return;
    }
    priMicMng_->CloseWindow(user);
    if (engine_ != nullptr)
        engine_->DisconnectPrivateMic(user);
}

void TfrmRoom::btnPersonMicmanagerClick() {
    const TMyInfo* me = GetMyInfo();
    if (me == nullptr || me->MyMic.Get() <= 1) {
        ShowSystemNotice(RoomText("您没有上私麦，不能查看私麦管理。"));
        return;
    }
    if (!frmPersonMic_) {
        frmPersonMic_ = new TfrmPersonMic(this);
        frmPersonMic_->setWindowFlag(Qt::Dialog);
        frmPersonMic_->OnCut = [this](std::int32_t user) {
            if (engine_ != nullptr)
                engine_->CutPrivateMicViewer(user);
        };
    }
    frmPersonMic_->ShowViewers(*personMicManage_);
    frmPersonMic_->show();
    frmPersonMic_->raise();
}

void TfrmRoom::StopAllVideo() {
    if (priMicMng_)
        priMicMng_->CloseAll();
    for (TframeAVShow* frame : Frames)
        frame->ClearShow();
    myVideoFrame_ = nullptr;
    pnlUserList->ClearUsers();
}

// ---------------------------------------------------------------- user menu

TUserMenuContext TfrmRoom::MenuContext(const TRoomUser& target) const {
    TUserMenuContext c;
    if (const TMyInfo* me = GetMyInfo()) {
        c.MyRole = me->Role.Get();
        c.MyLevel = me->Level.Get();
    }
    c.MyUserId = MyUserId();
    if (const TRoomInfo* room = engine_ != nullptr ? engine_->GetRoomInfo() : nullptr) {
        c.OwnerId = room->OwnerID.Get();
        c.DeputyId1 = room->DeputyID1.Get();
        c.DeputyId2 = room->DeputyID2.Get();
    }
    c.TargetId = target.UserID;
    c.TargetRole = target.Role;
    c.TargetMic = target.Mic;
    c.TargetChatBanned = target.ChatBanned;
    c.TargetSealPicture = target.SealPicture;
    return c;
}

void TfrmRoom::popUserListPopup() {
    const TRoomUser* target = pnlUserList->SelectedUser();
    if (target == nullptr) {
        for (QAction* action : UserMenuItems)
            action->setEnabled(false);
        return;
    }
    userMenu_.Open(MenuContext(*target));
    for (std::size_t i = 0; i < kUserMenuItemCount; ++i) {
        const TMenuItemState& state = userMenu_[static_cast<TUserMenuItem>(i)];
        UserMenuItems[i]->setVisible(state.Visible);
        UserMenuItems[i]->setEnabled(state.Enabled);
        UserMenuItems[i]->setText(GbkToQt(state.Caption));
    }
}

void TfrmRoom::UserMenuClick(TUserMenuItem item) {
    const TRoomUser* target = pnlUserList->SelectedUser();
    if (target == nullptr)
        return;
    const TUserMenuContext c = MenuContext(*target);
    const std::int32_t id = target->UserID;
    const std::string nick = target->NickName;
    switch (item) {
        case TUserMenuItem::SelectGiveUser:
            SelectToGift(id, nick);
            return;
        case TUserMenuItem::SelectToChat:
            if (id == c.MyUserId)
                return;
            if (parts_.SelectChatTarget && parts_.FocusEditor) {
                parts_.SelectChatTarget(id, nick);
                parts_.FocusEditor();
            } else {
                Missing("SelectChatTarget");
            }
            return;
        case TUserMenuItem::GiftAttachMessage:
            parts_.OpenGiftMessage ? parts_.OpenGiftMessage(id, nick) : Missing("OpenGiftMessage");
            return;
        case TUserMenuItem::GiveWorldGiftProp:
            parts_.OpenWorldProp ? parts_.OpenWorldProp(id, nick) : Missing("OpenWorldProp");
            return;
        case TUserMenuItem::Seal:
            parts_.OpenSeal ? parts_.OpenSeal(id, nick) : Missing("OpenSeal");
            return;
        case TUserMenuItem::ClearSeal:
            if (!parts_.ConfirmClearSeal) {
                Missing("ConfirmClearSeal");
            } else if (parts_.ConfirmClearSeal(id, nick) && engine_ != nullptr) {
                // The nickname as the list's 31-byte field holds it.
                engine_->ClearSeal(id, nick.c_str());
            }
            return;
        default:
            if (engine_ != nullptr)
                SendUserMenuCommand(item, c, *engine_);
            return;
    }
}

// ---------------------------------------------------------------- shake

void TfrmRoom::ShakeSomeBody() {
    std::pair<std::int32_t, std::string> partner{0, {}};
    if (parts_.GetChatTarget) {
        partner = parts_.GetChatTarget();
    } else {
        Missing("GetChatTarget");
    }
    const std::int64_t now = Now();
    if (auto refusal = CheckShake(MyRole(), partner.first, now, lastShakeTick_)) {
        ShowSystemLine(ShakeRefusalText(*refusal));
        return;
    }
    lastShakeTick_ = now;
    ShowSystemLine(ShakeSentText(partner.second, partner.first));
    if (engine_ != nullptr)
        engine_->SendShake(partner.first);
    StartShake();
}

void TfrmRoom::StartShake() {
    // A shake already running keeps its home rectangle.
    if (!shake_.Running())
        shakeRect_ = geometry();
    shake_.Start(Now());
    TimerShake->start();
}

void TfrmRoom::TimerShakeTimer() {
    if (auto step = shake_.Tick(Now())) {
        move(pos() + QPoint(step->Dx, step->Dy));
        return;
    }
    TimerShake->stop();
    setGeometry(shakeRect_);
}

void TfrmRoom::ChangeFont(const std::string& font) {
    if (font == UserFonts.Chat)
        return;
    UserFonts.Chat = font;
    const std::string config = AppPath("Users/" + std::to_string(MyUserId()) + "/Config.dat");
    if (FileExists(config)) {
        IniFile(config).WriteString("Font", "Chat", font);
    }
}

// ---------------------------------------------------------------- window

void TfrmRoom::tmrReConnectTimer() {
    ShowSystemLine(RoomText("正在重连服务器...."));
    ConnectRoom();
}

void TfrmRoom::LeaveOnce() {
    // A final disconnection leaves before its message box; the close that
    // follows must not leave a second time.
    if (engine_ != nullptr && !left_) {
        left_ = true;
        engine_->LeaveRoom();
    }
}

void TfrmRoom::ReleaseEngine() {
    engine_ = nullptr;
    source_->CloseInstance();
    if (!source_->CreateInstance() || source_->Engine() == nullptr) {
        WriteLog("room " + std::to_string(roomId_) + ": the chat engine module did not reload");
        return;
    }
    engine_ = source_->Engine();
    engine_->SetViewSink(this);
}

void TfrmRoom::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    tmrReConnect->stop();
    reconnect_.Stop();
    LeaveOnce();
    for (TframeAVShow* frame : Frames)
        frame->ClearShow();
    myVideoFrame_ = nullptr;
    // The manager itself stays until the window is freed: engine calls may
    // still arrive before then.
    priMicMng_->CloseAll();
    if (closeHandler_)
        closeHandler_(*giftStatistic_);
    HideHint();
    event->accept();
}

void TfrmRoom::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FirstShow();
    }
}

void TfrmRoom::FirstShow() {
    const TMyInfo* me = GetMyInfo();
    if (me != nullptr && gResModule != nullptr) {
        const QPixmap face = gResModule->FaceList.Pixmap(me->Face.Get());
        if (!face.isNull())
            imgHead->setPixmap(face);
    }
    if (me != nullptr)
        lblName->setText(GbkToQt(me->NickName.Get()));
    hcvPublic->InitPage();
    if (parts_.ApplyChatFont) {
        parts_.ApplyChatFont(UserFonts.Chat);
    } else {
        Missing("ApplyChatFont");
    }
    HideHint();
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const TRectI place = PlaceRoomWindow({area.left(), area.top(), area.width(), area.height()},
                                             screen->geometry().width(), width(), height());
        setGeometry(place.Left, place.Top, place.Width, place.Height);
    }
}

bool TfrmRoom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlTop || watched == pnlCaption || watched == lblCaption) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && windowState() == Qt::WindowNoState &&
                windowHandle() != nullptr) {
                windowHandle()->startSystemMove();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            isMaximized() ? showNormal() : showMaximized();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmRoom::mousePressEvent(QMouseEvent* event) {
    // The frameless window resizes from its margins.
    const QPoint p = event->position().toPoint();
    Qt::Edges edges;
    if (p.x() < kResizeMargin)
        edges |= Qt::LeftEdge;
    if (p.x() >= width() - kResizeMargin)
        edges |= Qt::RightEdge;
    if (p.y() >= height() - kResizeMargin)
        edges |= Qt::BottomEdge;
    if (event->button() == Qt::LeftButton && edges && windowHandle() != nullptr &&
        windowState() == Qt::WindowNoState) {
        windowHandle()->startSystemResize(edges);
        return;
    }
    QWidget::mousePressEvent(event);
}

long TfrmRoom::QueryInterface(const TGuid& iid, void** object) {
    if (object == nullptr)
        return kE_NOINTERFACE;
    if (iid == IID_IClientViewSink) {
        *object = static_cast<IClientViewSink*>(this);
        return kS_OK;
    }
    *object = nullptr;
    return kE_NOINTERFACE;
}

// ---------------------------------------------------------------- sink

void TfrmRoom::OnMessage(const char* html, std::uint8_t isPublic, std::uint16_t kind) {
    ShowLine(Str(html), isPublic != 0, kind);
}

void TfrmRoom::OnRoomEntered(const char* roomName, std::int32_t, std::int32_t roomId,
                             std::int32_t gold, std::int32_t points, std::uint16_t role,
                             std::int32_t) {
    SetHint("连接成功,正在加载数据...");
    const TMyInfo* me = GetMyInfo();
    const std::string nick = me != nullptr ? me->NickName.Get() : std::string();
    setWindowTitle(GbkToQt(RoomCaption(roomId, nick)));
    lblRoomName->setText(GbkToQt(RoomNameLabel(roomId, Str(roomName))));
    if (parts_.SetBalance) {
        parts_.SetBalance(gold, points);
    } else {
        Missing("SetBalance");
    }
    pnlUserList->SetUserID(me != nullptr ? me->UserID.Get() : entryUserId_);
    const TRoomInfo* room = engine_ != nullptr ? engine_->GetRoomInfo() : nullptr;
    pnlUserList->SetRoomOwnerID(room != nullptr ? room->OwnerID.Get() : 0);
    lbID->setText(QString::number(me != nullptr ? me->UserID.Get() : entryUserId_));
    lbName->setText(GbkToQt(nick));
    frameUserCtr->btnPersonMicmanager->setEnabled(false);
    if (role == 49 || role == 50 || role == 235 || role == 255) {
        btnRoomOwnerSetting->show();
    }
    show();
    entryTick_ = Now();
    if (parts_.RoomEntered)
        parts_.RoomEntered();
    tmrReConnect->stop();
    reconnect_.Entered();
    EnterCount += 1;
}

void TfrmRoom::OnBalance(std::int32_t gold, std::int32_t points) {
    if (parts_.SetBalance) {
        parts_.SetBalance(gold, points);
    } else {
        Missing("SetBalance");
    }
    if (parts_.SetGroupGiftMoney)
        parts_.SetGroupGiftMoney(gold);
}

void TfrmRoom::OnEnterFailed(const char* text) {
    DebugLine("room " + std::to_string(roomId_) + " entry failed: " + Str(text));
    HideHint();
    if (closing_ || reconnect_.Reconnecting()) {
        return;
    }
    ShowBox(owner_, Str(text), "登录失败", TBoxIcon::Error);
    close();
}

void TfrmRoom::OnRollingTip(const char* text, std::uint16_t kind) {
    if (kind == 0) {
        parts_.ShowTemporaryTip ? parts_.ShowTemporaryTip(Str(text)) : Missing("ShowTemporaryTip");
    } else if (kind == 1) {
        parts_.ShowPermanentTip ? parts_.ShowPermanentTip(Str(text)) : Missing("ShowPermanentTip");
    }
}

void TfrmRoom::OnRoomNote(const char* text) {
    parts_.ShowRoomNote ? parts_.ShowRoomNote(Str(text)) : Missing("ShowRoomNote");
}

void TfrmRoom::OnHorn(const char* html) {
    ChatHorn->AppendLine(Str(html) + "<BR>");
}

int TfrmRoom::SealPicture(std::int32_t sealKey) {
    return SealCatalogue().PictureIndex(sealKey, [](const std::string& path) {
        if (gResModule == nullptr)
            return -1;
        QImage png(QString::fromLocal8Bit(path.c_str()));
        if (png.isNull())
            return -1;
        // PNG seals carry their own transparency; no colour is cleared.
        return gResModule->PngSeal.Add(png, QColor(1, 2, 3));
    });
}

void TfrmRoom::OnUserEnter(std::int32_t user, const char* nickName, std::uint16_t face,
                           std::uint16_t role, std::uint16_t level, std::uint16_t star,
                           std::int16_t micType, std::uint8_t camera, std::uint8_t hidden,
                           std::uint8_t chatBanned, std::int32_t sealKey) {
    if (hidden != 0) {
        const int myRole = MyRole() & 0xFF;
        if (myRole != 235 && myRole != 255)
            return;
    }
    pnlUserList->AddUser(user, Str(nickName), role, level, star, micType, face, camera != 0,
                         hidden != 0, chatBanned != 0, SealPicture(sealKey));
}

void TfrmRoom::OnUserLeave(std::int32_t user) {
    pnlUserList->RemoveUser(user);
    parts_.RemoveChatTarget ? parts_.RemoveChatTarget(user) : Missing("RemoveChatTarget");
    parts_.RemoveRecipient ? parts_.RemoveRecipient(user) : Missing("RemoveRecipient");
    personMicManage_->RemoveViewer(user);
    if (frmPersonMic_)
        frmPersonMic_->ShowViewers(*personMicManage_);
    priMicMng_->CloseWindow(user);
    for (TframeAVShow* frame : Frames) {
        if (frame->ShownUserId == user) {
            frame->ClearShow();
            if (myVideoFrame_ == frame)
                myVideoFrame_ = nullptr;
        }
    }
}

void TfrmRoom::OnUserMic(std::int32_t user, std::int32_t, std::int32_t, std::int32_t,
                         std::int16_t micType) {
    pnlUserList->SetUserMic(user, micType);
    if (user == MyUserId()) {
        if (micType == -1) {
            frameUserCtr->btnPersonMicmanager->setEnabled(false);
        } else if (micType > 1) {
            frameUserCtr->btnPersonMicmanager->setEnabled(true);
        }
    }
}

void TfrmRoom::OnUserRole(std::int32_t user, std::uint16_t role) {
    pnlUserList->SetUserRole(user, role);
}

void TfrmRoom::OnUserChanged(std::int32_t user, const char* nickName, std::uint16_t face) {
    const std::string nick = Str(nickName);
    pnlUserList->SetUserNameFace(user, nick, face);
    if (user == MyUserId())
        lbName->setText(GbkToQt(nick));
    parts_.RenameRecipient ? parts_.RenameRecipient(user, nick) : Missing("RenameRecipient");
    parts_.RenameChatTarget ? parts_.RenameChatTarget(user, nick) : Missing("RenameChatTarget");
    priMicMng_->RenameWindow(user, nick);
    for (TframeAVShow* frame : Frames) {
        if (frame->ShownUserId == user)
            frame->SetShownNick(nick);
    }
}

void TfrmRoom::OnUserDetails(std::int32_t user, std::int32_t points, std::int32_t gold,
                             std::int32_t ipAddress) {
    const TRoomUser* record = pnlUserList->FindUser(user);
    if (record == nullptr)
        return;
    if (!frmUserInfo_) {
        // Its own window on the desktop; the room frees it.
        frmUserInfo_ = new TfrmUserInfo(nullptr);
        frmUserInfo_->setWindowModality(Qt::ApplicationModal);
    }
    TUserDetails details;
    details.UserId = record->UserID;
    details.NickName = record->NickName;
    details.Points = points;
    details.Gold = gold;
    details.Address = IpToText(static_cast<std::uint32_t>(ipAddress));
    details.Role = static_cast<std::uint8_t>(record->Role & 0xFF);
    details.Level = static_cast<std::uint16_t>(record->Level);
    if (gResModule != nullptr)
        details.Face = gResModule->FaceList.Pixmap(record->Face);
    frmUserInfo_->Fill(details);
    // Modal without a nested loop: the engine's callback returns at once.
    frmUserInfo_->show();
    frmUserInfo_->raise();
}

void TfrmRoom::OnRoomName(std::int32_t roomId, const char* name) {
    lblRoomName->setText(GbkToQt(RoomNameLabel(roomId, Str(name))));
}

void TfrmRoom::OnVideoOpen(std::uint8_t self, std::int32_t user, const char* nickName,
                           std::uint16_t role, std::uint16_t level, std::int16_t micType,
                           std::uint16_t frameIndex, std::int32_t address1, std::int32_t address2,
                           std::uint16_t port) {
    if (closing_)
        return;
    if (self != 0)
        frameUserCtr->SetMicState(micType);
    const std::int32_t address = UserLineType != 0 && address2 != 0 ? address2 : address1;
    const std::string addressText = IpToText(static_cast<std::uint32_t>(address));
    const std::string nick = Str(nickName);
    if (micType == 1) {
        if (frameIndex >= Frames.size()) {
            WriteLog("room: video for frame " + std::to_string(frameIndex) + " ignored");
            return;
        }
        TframeAVShow* frame = Frames[frameIndex];
        frame->StartShow(self != 0, user, nick, role, level, micType, addressText, port, 100,
                         self != 0);
        if (self != 0)
            myVideoFrame_ = frame;
        return;
    }
    if (micType <= 1) {
        return;
    }
    auto* frame = new TframeAVShow(this);
    frame->setObjectName(QString("f%1").arg(user));
    frame->resize(Frames[0]->size());
    frame->MakeFloating();
    SetFrameEvents(frame, true);
    const int slot = priMicMng_->AddWindow(user, frame);
    if (slot < 0) {
        // Already watched, or no place left: nothing new is shown.
        delete frame;
        return;
    }
    frame->move(priMicMng_->SlotLeft(slot), priMicMng_->SlotTop(slot));
    frame->show();
    frame->raise();
    frame->StartShow(self != 0, user, nick, role, level, micType, addressText, port, 100,
                     self != 0);
    if (self != 0)
        myVideoFrame_ = frame;
}

void TfrmRoom::OnVideoClose(std::int32_t user, std::uint16_t frameIndex) {
    if ((frameIndex & 0x8000) != 0) {
        if (myVideoFrame_ != nullptr && myVideoFrame_ == priMicMng_->FindWindow(user)) {
            myVideoFrame_ = nullptr;
        }
        priMicMng_->CloseWindow(user);
        return;
    }
    if (frameIndex >= Frames.size()) {
        WriteLog("room: close of frame " + std::to_string(frameIndex) + " ignored");
        return;
    }
    Frames[frameIndex]->ClearShow();
    if (myVideoFrame_ == Frames[frameIndex])
        myVideoFrame_ = nullptr;
}

void TfrmRoom::OnPrivateMicCut(std::int32_t user, const char* nickName) {
    if (myVideoFrame_ != nullptr && myVideoFrame_ == priMicMng_->FindWindow(user)) {
        myVideoFrame_ = nullptr;
    }
    priMicMng_->CloseWindow(user);
    ShowSystemLine(PrivateMicCutText(Str(nickName), user));
}

void TfrmRoom::OnDisconnected(const char* text, std::int32_t mode) {
    if (closing_)
        return;
    StopAllVideo();
    if (mode == 0) {
        LeaveOnce();
        ShowBox(this, Str(text), "提示", TBoxIcon::Information);
        close();
    } else if (mode == 1) {
        ShowSystemLine(Str(text));
        // The engine is in its own callback: it is closed and its module
        // unloaded only once the callback has returned.
        engine_ = nullptr;
        if (!reloadPending_) {
            reloadPending_ = true;
            QTimer::singleShot(0, this, [this] {
                reloadPending_ = false;
                if (!closing_)
                    ReleaseEngine();
            });
        }
        if (reconnect_.Begin()) {
            tmrReConnect->setInterval(reconnect_.Interval());
            tmrReConnect->start();
        }
    }
}

void TfrmRoom::OnChatToMe(std::int32_t user, const char* nickName, std::int32_t) {
    parts_.OnChatToMe ? parts_.OnChatToMe(user, Str(nickName)) : Missing("OnChatToMe");
}

void TfrmRoom::OnColorWord(const char* senderNick, const char* receiverNick, const char* message,
                           std::int32_t sender, std::int32_t receiver, std::uint16_t senderRole,
                           std::uint16_t senderLevel, std::uint16_t receiverRole,
                           std::uint16_t receiverLevel, std::int32_t senderSealKey,
                           std::int32_t receiverSealKey) {
    const int number = ColorWordNumberOf(Str(message));
    if (!parts_.ColorWordHtml) {
        Missing("ColorWordHtml");
        return;
    }
    const std::optional<std::string> fragment = parts_.ColorWordHtml(number);
    if (!fragment)
        return;
    const TColorWordParty from{Str(senderNick), sender, senderRole, senderLevel, senderSealKey};
    const TColorWordParty to{Str(receiverNick), receiver, receiverRole, receiverLevel,
                             receiverSealKey};
    ShowLine(FormatColorWordLine(from, to, *fragment), true, 1);
}

void TfrmRoom::OnUserBanChat(std::int32_t user, std::int32_t, std::uint8_t banned) {
    pnlUserList->SetUserBanChat(user, banned != 0);
}

void TfrmRoom::OnGiftRecord(std::int32_t giver, std::int32_t receiver, const char* giverNick,
                            const char* receiverNick, std::int32_t gift, std::int32_t giftKind,
                            std::int32_t count, const char* giftName, std::int32_t cost,
                            std::int32_t gain) {
    TGiftStatRecord record;
    record.GiftID = gift;
    record.GiftKind = giftKind;
    record.Count = count;
    record.GiftName = Str(giftName);
    record.Cost = cost;
    record.Gain = gain;
    const bool sent = giver == MyUserId();
    record.PeerID = sent ? receiver : giver;
    record.PeerNick = Str(sent ? receiverNick : giverNick);
    giftStatistic_->Add(record, !sent);
    if (parts_.RefreshMyGifts)
        parts_.RefreshMyGifts();
}

void TfrmRoom::OnPrivateMicViewer(std::int32_t user, const char* nickName, std::uint16_t level,
                                  std::uint16_t second, std::uint16_t operation) {
    if (operation == 0) {
        personMicManage_->RemoveViewer(user);
    } else if (operation == 1) {
        TPrivateMicViewer viewer;
        viewer.UserID = user;
        viewer.NickName = Str(nickName);
        viewer.Level = static_cast<std::int16_t>(level);
        viewer.Second = static_cast<std::int16_t>(second);
        viewer.ConnectedAt = QDateTime::currentDateTime();
        personMicManage_->AddViewer(viewer);
    }
    if (frmPersonMic_)
        frmPersonMic_->ShowViewers(*personMicManage_);
}

void TfrmRoom::OnUserSeal(std::int32_t user, std::int32_t sealKey) {
    pnlUserList->SetUserSeal(user, SealPicture(sealKey));
}

void TfrmRoom::OnShake() {
    StartShake();
}

std::uint8_t TfrmRoom::IsTopGift(std::int32_t gift) {
    if (!parts_.IsTopGift) {
        Missing("IsTopGift");
        return 0;
    }
    return parts_.IsTopGift(gift) ? 1 : 0;
}

const char* TfrmRoom::GetGiftUnit(std::int32_t gift) {
    if (!parts_.GetGiftUnit) {
        Missing("GetGiftUnit");
        return RoomText("个").c_str();
    }
    return parts_.GetGiftUnit(gift);
}

void TfrmRoom::OnRankReset() {
    pnlUserList->ResetCityRanks();
}

std::uint8_t TfrmRoom::IsMasked(std::int32_t maskKind) {
    if (!parts_.IsMasked) {
        Missing("IsMasked");
        return 0;
    }
    return parts_.IsMasked(maskKind) ? 1 : 0;
}

// ---------------------------------------------------------------- registration

void RegisterRoomWindow() {
    SetRoomWindowFactory([](QWidget* owner) -> IRoomWindow* {
        auto* room = new TfrmRoom(owner);
        if (!room->Created()) {
            delete room;
            return nullptr;
        }
        return room;
    });
}
