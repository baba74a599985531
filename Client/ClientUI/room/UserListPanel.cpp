#include "room/UserListPanel.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/GbkText.h"
#include "foundation/ImageList.h"
#include "foundation/SkinData.h"
#include "room/HintWindow.h"
#include "room/UserListView.h"

namespace {

QString FromGbk(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

const QColor kOddRow(234, 234, 234);
const QColor kSelectedRow(177, 225, 248);
const QColor kHiddenText(2, 154, 55);
constexpr int kBadgeSize = 12;

}  // namespace

// ---- TUserListView --------------------------------------------------------

TUserListView::TUserListView(TUserListPanel* panel) : QAbstractScrollArea(panel), panel_(panel) {
    setObjectName("lvList");
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setObjectName("sbV");
    verticalScrollBar()->setFixedWidth(20);
    verticalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setPageStep(50);
    SetSkinName(verticalScrollBar(), "vscrollbar");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

int TUserListView::RowAt(int y) const {
    if (y < 0)
        return -1;
    const int row = (y + verticalScrollBar()->value()) / kRowHeight;
    return row < panel_->model_.RowCount() ? row : -1;
}

int TUserListView::ColumnLeft(int column) {
    int x = 0;
    for (int c = 0; c < column && c < static_cast<int>(kUserListColumnWidths.size()); ++c)
        x += kUserListColumnWidths[static_cast<std::size_t>(c)];
    return x;
}

int TUserListView::ColumnAt(int x) {
    if (x < 0)
        return -1;
    int right = 0;
    for (std::size_t c = 0; c < kUserListColumnWidths.size(); ++c) {
        right += kUserListColumnWidths[c];
        if (x < right)
            return static_cast<int>(c);
    }
    return -1;
}

QRect TUserListView::RowRect(int row) const {
    return QRect(0, row * kRowHeight - verticalScrollBar()->value(), viewport()->width(),
                 kRowHeight);
}

void TUserListView::UpdateScrollRange() {
    const int content = panel_->model_.RowCount() * kRowHeight;
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

void TUserListView::ScrollToRow(int row) {
    if (row < 0)
        return;
    UpdateScrollRange();
    const int top = row * kRowHeight;
    QScrollBar* sb = verticalScrollBar();
    if (top < sb->value())
        sb->setValue(top);
    else if (top + kRowHeight > sb->value() + viewport()->height())
        sb->setValue(top + kRowHeight - viewport()->height());
}

void TUserListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void TUserListView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), Qt::white);
    const TUserListModel& m = panel_->model_;
    const int scroll = verticalScrollBar()->value();
    const int first = std::max(0, (event->rect().top() + scroll) / kRowHeight);
    const int last = std::min(m.RowCount() - 1, (event->rect().bottom() + scroll) / kRowHeight);
    // The selection is shown only while the list has the focus.
    const std::int32_t selected = hasFocus() ? panel_->selectedId_ : 0;
    for (int row = first; row <= last; ++row) {
        const TRoomUser& u = *m.RowUser(row);
        PaintRow(p, row, u, selected != 0 && u.UserID == selected, event->rect());
    }
}

void TUserListView::PaintRow(QPainter& p, int row, const TRoomUser& u, bool selected,
                             const QRect& exposed) {
    const QRect r = RowRect(row);
    p.fillRect(r, selected ? kSelectedRow : (row % 2 ? kOddRow : QColor(Qt::white)));
    const TImageList* images = panel_->userImages_;
    for (int col = kColRank; col <= kColFace; ++col) {
        const QRect cell(ColumnLeft(col), r.top(), kUserListColumnWidths[std::size_t(col)],
                         kRowHeight);
        const int image = u.Cells[std::size_t(col)].Current;
        if (images && image >= 0)
            images->Draw(p, cell.left() + (cell.width() - images->Width()) / 2,
                         cell.top() + (cell.height() - images->Height()) / 2, image);
        if (col == kColFace && u.Badge && panel_->badgePicture_ && !panel_->badgePicture_->isNull())
            p.drawImage(QRect(cell.left(), cell.top(), kBadgeSize, kBadgeSize),
                        *panel_->badgePicture_);
    }
    // The animation repaints the icon columns only.
    if (exposed.right() < ColumnLeft(kColNick))
        return;
    QColor text = u.Role < 30 ? QColor(Qt::black) : QColor(Qt::red);
    if (u.Hidden)
        text = kHiddenText;
    p.setPen(text);
    const QFontMetrics fm(font());
    const auto drawText = [&](int col, const QString& s) {
        const QRect cell(ColumnLeft(col) + 2, r.top(), kUserListColumnWidths[std::size_t(col)] - 4,
                         kRowHeight);
        p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   fm.elidedText(s, Qt::ElideRight, cell.width()));
    };
    drawText(kColNick, FromGbk(u.NickName));
    drawText(kColNumber, QString::number(u.UserID));
    const TImageList* seals = panel_->sealImages_;
    if (seals && u.SealPicture >= 0 && u.SealPicture < seals->Count()) {
        const int right = ColumnLeft(kColNick) + kUserListColumnWidths[kColNick];
        seals->Draw(p, right - seals->Width(), r.top() + (kRowHeight - seals->Height()) / 2,
                    u.SealPicture);
    }
}

void TUserListView::mousePressEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint().y());
    const TUserListModel& m = panel_->model_;
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        panel_->SelectRowUser(row >= 0 ? m.RowUser(row)->UserID : 0);
    }
    if (row >= 0 && event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        const TRoomUser* u = m.RowUser(row);
        const std::int32_t id = u->UserID;
        const std::string nick = u->NickName;
        // The handlers may change the list; each gets the row as it was.
        panel_->RaiseSelect(panel_->OnSelectUser, u, id, nick);
        panel_->RaiseSelect(panel_->OnSelectUserToGift, panel_->model_.FindUser(id), id, nick);
    }
    event->accept();
}

void TUserListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint().y());
    if (row >= 0 && event->button() == Qt::LeftButton) {
        const TRoomUser* u = panel_->model_.RowUser(row);
        panel_->RaiseSelect(panel_->OnSelectUserToGift, u, u->UserID, u->NickName);
    }
    event->accept();
}

void TUserListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = panel_->PopupMenu();
    if (menu && panel_->SelectedUser())
        menu->popup(event->globalPos());
    event->accept();
}

void TUserListView::keyPressEvent(QKeyEvent* event) {
    const TUserListModel& m = panel_->model_;
    if (m.RowCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int current = panel_->selectedId_ ? m.RowOf(panel_->selectedId_) : -1;
    const int pageRows = std::max(1, viewport()->height() / kRowHeight);
    int next = current;
    switch (event->key()) {
        case Qt::Key_Up:
            next = current < 0 ? 0 : current - 1;
            break;
        case Qt::Key_Down:
            next = current + 1;
            break;
        case Qt::Key_PageUp:
            next = current - pageRows;
            break;
        case Qt::Key_PageDown:
            next = current + pageRows;
            break;
        case Qt::Key_Home:
            next = 0;
            break;
        case Qt::Key_End:
            next = m.RowCount() - 1;
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    next = std::clamp(next, 0, m.RowCount() - 1);
    panel_->SelectRowUser(m.RowUser(next)->UserID);
    ScrollToRow(next);
}

void TUserListView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TUserListView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TUserListView::mouseMoveEvent(QMouseEvent* event) {
    UpdateHint(event->position().toPoint(), event->globalPosition().toPoint());
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TUserListView::leaveEvent(QEvent* event) {
    HideHint();
    QAbstractScrollArea::leaveEvent(event);
}

void TUserListView::UpdateHint(const QPoint& pos, const QPoint& globalPos) {
    const int row = RowAt(pos.y());
    const int col = ColumnAt(pos.x());
    if (row == hintRow_ && col == hintColumn_ && panel_->FHintWindow->isVisible())
        return;
    hintRow_ = row;
    hintColumn_ = col;
    std::string text;
    if (row >= 0 && col >= 0)
        text = UserHintText(*panel_->model_.RowUser(row), col);
    if (text.empty())
        panel_->FHintWindow->HideHint();
    else
        panel_->FHintWindow->ShowHintAt(globalPos, text);
}

void TUserListView::HideHint() {
    hintRow_ = hintColumn_ = -1;
    panel_->FHintWindow->HideHint();
}

// ---- TUserListPanel -------------------------------------------------------

TUserListPanel::TUserListPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pnlUserList");
    resize(145, 220);
    QFont listFont(QString::fromUtf8("宋体"));
    listFont.setPointSize(9);
    setFont(listFont);

    pcUserList = new QTabBar(this);
    pcUserList->setObjectName("pcUserList");
    pcUserList->setDrawBase(false);
    pcUserList->setExpanding(false);
    // 70 pixels a tab, wider only when a caption needs it ("全部/5000").
    pcUserList->setStyleSheet("QTabBar::tab { min-width: 58px; padding: 2px 4px; }");
    for (int tab = kTabAll; tab <= kTabMic; ++tab) {
        captions_[std::size_t(tab)] = model_.TabCaption(tab);
        pcUserList->addTab(FromGbk(captions_[std::size_t(tab)]));
    }
    SetSkinName(pcUserList, "tab");

    lvList = new TUserListView(this);

    pnlSearch = new QWidget(this);
    pnlSearch->setObjectName("pnlSearch");
    pnlSearch->setFixedHeight(26);
    SetSkinName(pnlSearch, "panel_userlist_search");
    lbSearch = new QLabel(QString::fromUtf8("查找用户"), pnlSearch);
    lbSearch->setObjectName("lbSearch");
    edtSearch = new QLineEdit(pnlSearch);
    edtSearch->setObjectName("edtSearch");
    edtSearch->setMaximumWidth(180);
    SetSkinName(edtSearch, "edit");
    btnSearch = new QToolButton(pnlSearch);
    btnSearch->setObjectName("btnSearch");
    btnSearch->setFixedSize(15, 15);
    btnSearch->hide();
    SetSkinName(btnSearch, "toolbutton");
    auto* searchLayout = new QHBoxLayout(pnlSearch);
    searchLayout->setContentsMargins(2, 2, 2, 2);
    searchLayout->setSpacing(3);
    searchLayout->addWidget(lbSearch);
    searchLayout->addWidget(edtSearch, 1);
    searchLayout->addWidget(btnSearch);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pcUserList);
    layout->addWidget(lvList, 1);
    layout->addWidget(pnlSearch);

    FHintWindow = new THK_HintWindow(this);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName("tmrUpdate");
    tmrUpdate->setInterval(250);
    connect(tmrUpdate, &QTimer::timeout, this, &TUserListPanel::TimerTick);
    tmrUpdate->start();

    connect(pcUserList, &QTabBar::currentChanged, this, &TUserListPanel::pcUserListChange);
    connect(edtSearch, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.SetSearchText(Utf8ToGbk(text.toStdString()));
        if (edtSearch->hasFocus() && !searching_)
            edtSearchChange();
    });
}

TUserListPanel::~TUserListPanel() = default;

void TUserListPanel::SetImages(const TImageList* userImages, const TImageList* sealImages,
                               const QImage* badgePicture) {
    userImages_ = userImages;
    sealImages_ = sealImages;
    badgePicture_ = badgePicture;
    lvList->viewport()->update();
}

void TUserListPanel::SyncView() {
    if (pcUserList->currentIndex() != model_.ActiveTab()) {
        syncingTabs_ = true;
        pcUserList->setCurrentIndex(model_.ActiveTab());
        syncingTabs_ = false;
    }
    lvList->viewport()->update();
    // Captions and the scroll range follow once per turn of the event loop:
    // a room filling with thousands of users relayouts the tabs once, not
    // once per user.
    if (!viewSyncPosted_) {
        viewSyncPosted_ = true;
        QMetaObject::invokeMethod(this, &TUserListPanel::FlushView, Qt::QueuedConnection);
    }
}

void TUserListPanel::FlushView() {
    viewSyncPosted_ = false;
    for (int tab = kTabAll; tab <= kTabMic; ++tab) {
        std::string caption = model_.TabCaption(tab);
        if (caption != captions_[std::size_t(tab)]) {
            pcUserList->setTabText(tab, FromGbk(caption));
            captions_[std::size_t(tab)] = std::move(caption);
        }
    }
    lvList->UpdateScrollRange();
}

TRoomUser* TUserListPanel::AddUser(std::int32_t user, const std::string& nickName, int role,
                                   int level, int star, int mic, int face, bool camera, bool hidden,
                                   bool chatBanned, std::int32_t sealPicture) {
    TRoomUser* u = model_.AddUser(user, nickName, role, level, star, mic, face, camera, hidden,
                                  chatBanned, sealPicture);
    if (u)
        SyncView();
    return u;
}

void TUserListPanel::RemoveUser(std::int32_t user) {
    if (user == selectedId_)
        selectedId_ = 0;
    model_.RemoveUser(user);
    SyncView();
}

void TUserListPanel::ClearUsers() {
    selectedId_ = 0;
    model_.ClearUsers();
    SyncView();
}

TRoomUser* TUserListPanel::SelectedUser() const {
    if (selectedId_ == 0 || model_.RowOf(selectedId_) < 0)
        return nullptr;
    return model_.FindUser(selectedId_);
}

void TUserListPanel::SelectRowUser(std::int32_t user) {
    if (selectedId_ == user)
        return;
    selectedId_ = user;
    lvList->viewport()->update();
}

void TUserListPanel::RaiseSelect(const TSelectUser& event, const TRoomUser* row,
                                 std::int32_t userId, const std::string& nickName) {
    if (event && userId != userId_)
        event(row, userId, nickName);
}

void TUserListPanel::LocateUser(std::int32_t user) {
    const int row = model_.RowOf(user);
    if (row < 0)
        return;
    lvList->setFocus(Qt::OtherFocusReason);
    SelectRowUser(user);
    lvList->ScrollToRow(row);
    lvList->viewport()->update();
}

void TUserListPanel::SelectUserById(std::int32_t user) {
    if (user == userId_)
        return;
    const TRoomUser* u = model_.FindUser(user);
    if (!u)
        return;
    const std::string nick = u->NickName;
    const int row = model_.RowOf(user);
    if (row < 0) {
        RaiseSelect(OnSelectUser, nullptr, user, nick);
        return;
    }
    LocateUser(user);
    RaiseSelect(OnSelectUser, u, user, nick);
}

void TUserListPanel::SetUserMic(std::int32_t user, int mic) {
    model_.SetUserMic(user, mic);
    SyncView();
}

void TUserListPanel::SetUserRole(std::int32_t user, int role) {
    model_.SetUserRole(user, role);
    SyncView();
}

void TUserListPanel::SetUserNameFace(std::int32_t user, const std::string& nickName, int face) {
    model_.SetUserNameFace(user, nickName, face);
    SyncView();
}

void TUserListPanel::SetUserBanChat(std::int32_t user, bool banned) {
    model_.SetUserBanChat(user, banned);
    SyncView();
}

void TUserListPanel::SetUserSeal(std::int32_t user, std::int32_t sealPicture) {
    model_.SetUserSeal(user, sealPicture);
    lvList->viewport()->update();
}

void TUserListPanel::ResetCityRanks() {
    model_.ResetCityRanks();
    SyncView();
}

void TUserListPanel::SetActiveTab(int tab) {
    pcUserList->setCurrentIndex(tab);
}

void TUserListPanel::pcUserListChange(int tab) {
    if (syncingTabs_ || tab < 0)
        return;
    model_.SetActiveTab(tab);
    SyncView();
}

void TUserListPanel::edtSearchChange() {
    Search();
}

void TUserListPanel::Search() {
    searching_ = true;
    model_.SetSearchText(Utf8ToGbk(edtSearch->text().toStdString()));
    model_.Search();
    SyncView();
    searching_ = false;
}

void TUserListPanel::TimerTick() {
    model_.Tick();
    if (model_.RowCount() > 0)
        lvList->viewport()->update(0, 0, TUserListView::ColumnLeft(kColNick),
                                   lvList->viewport()->height());
}
