// The room's user list: three tabs (everybody, managers, mic order), rows in
// rank order with three animated icons, the nickname and the user number, and
// the search box below. The rules live in TUserListModel (no widgets); the
// panel paints the model's rows and turns mouse input into selection events.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "room/UserSearch.h"

class QImage;
class QLabel;
class QLineEdit;
class QTabBar;
class QTimer;
class QToolButton;
class TImageList;
class THK_HintWindow;
class TUserListView;

// Image indexes into the user image list; -1 = no image. A static icon has
// First = Last = Current; an animated one runs Current from First to Last and
// wraps.
struct TIconCell {
    std::int16_t First = -1;
    std::int16_t Last = -1;
    std::int16_t Current = -1;

    static TIconCell None() { return {}; }
    static TIconCell Static(int image);
    static TIconCell Animated(int first, int last);
    void Advance() { Current = Current == Last ? First : static_cast<std::int16_t>(Current + 1); }
    friend bool operator==(const TIconCell&, const TIconCell&) = default;
};

// One listed user.
struct TRoomUser {
    std::int32_t UserID = 0;
    std::string NickName;  // GBK, at most 30 bytes
    std::int16_t Role = 0;
    std::int16_t Level = 0;
    std::int16_t Star = 0;
    std::int16_t Mic = 0;
    std::int16_t SortKey = 0;
    std::int16_t Face = 0;
    bool Camera = false;
    bool Hidden = false;
    bool ChatBanned = false;
    std::int32_t SealPicture = -1;  // index into the seal pictures, -1 none
    bool Badge = false;             // draw the manager badge
    std::array<TIconCell, 3> Cells;
};

// ---- Rules --------------------------------------------------------------

inline constexpr int kNickNameMaxBytes = 30;

std::int16_t UserSortKey(int role, int level, int star);
bool UserBadge(int role, int level);
// First of the four frames of the rank image, -1 none.
int UserRankImage(int role, int level, int star);
// Column 1: the mic image, or the camera image, or none. For privileged users
// only the mic image.
TIconCell UserMicCell(const TRoomUser& user);
std::array<TIconCell, 3> UserCells(const TRoomUser& user);

enum TUserListTab { kTabAll = 0, kTabManagers = 1, kTabMic = 2 };
bool UserInTab(const TRoomUser& user, int tab);

// Who the three counters count.
bool CountsAsUser(const TRoomUser& user);
bool CountsAsManager(int role);
bool CountsAsOnMic(int mic);

// Columns of a row.
enum TUserListColumn { kColRank = 0, kColMic = 1, kColFace = 2, kColNick = 3, kColNumber = 4 };
inline constexpr std::array<int, 5> kUserListColumnWidths = {20, 20, 20, 105, 70};
// The hint for a column of the user's row (GBK), empty for none.
std::string UserHintText(const TRoomUser& user, int column);

// ---- Model --------------------------------------------------------------

class TUserListModel {
  public:
    using TUsers = std::vector<std::unique_ptr<TRoomUser>>;

    // Ignored when the user is already listed. Returns the new record or null.
    TRoomUser* AddUser(std::int32_t user, const std::string& nickName, int role, int level,
                       int star, int mic, int face, bool camera, bool hidden, bool chatBanned,
                       std::int32_t sealPicture);
    void RemoveUser(std::int32_t user);
    void ClearUsers();
    TRoomUser* FindUser(std::int32_t user) const;

    void SetUserMic(std::int32_t user, int mic);
    void SetUserRole(std::int32_t user, int role);
    void SetUserNameFace(std::int32_t user, const std::string& nickName, int face);
    void SetUserBanChat(std::int32_t user, bool banned);
    void SetUserSeal(std::int32_t user, std::int32_t sealPicture);
    void ResetCityRanks();

    // Every listed user, in order of arrival.
    const TUsers& UserList() const { return users_; }

    // Rows of the active tab, highest key first.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    TRoomUser* RowUser(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int RowOf(std::int32_t user) const;  // -1 when the user has no row

    int ActiveTab() const { return activeTab_; }
    // Removes every row and builds them again for the tab's users.
    void SetActiveTab(int tab);

    int AllCount() const { return allCount_; }
    int ManagerCount() const { return managerCount_; }
    int MicCount() const { return micCount_; }
    // "全部/%d", "管理/%d", "麦序/%d" (GBK).
    std::string TabCaption(int tab) const;

    // The search box's text (GBK). Setting it stores it only; Search runs it.
    void SetSearchText(const std::string& text) { searchText_ = text; }
    const std::string& SearchText() const { return searchText_; }
    // Filters the rows by the search items: an empty text shows everybody on
    // tab 0.
    void Search();
    const TDataCollection& SearchItems() const { return search_; }

    // One animation step for every row's three icons.
    void Tick();

  private:
    void BuildRow(TRoomUser& user);
    void DropRow(std::int32_t user);
    void RebuildRows(bool filtered);
    std::size_t IndexOf(const TRoomUser& user) const;
    void UpdateSearchItem(const TRoomUser& user);
    void CountUser(const TRoomUser& user, int sign);

    TUsers users_;
    std::unordered_map<std::int32_t, TRoomUser*> byId_;
    std::vector<TRoomUser*> rows_;
    int activeTab_ = kTabAll;
    int allCount_ = 0;
    int managerCount_ = 0;
    int micCount_ = 0;
    std::string searchText_;
    TDataCollection search_;  // one item per user, in the order of users_
};

// ---- Panel --------------------------------------------------------------

class TUserListPanel : public QWidget {
    Q_OBJECT

  public:
    // row: the user's record when he has a row in the active tab, else null.
    using TSelectUser =
        std::function<void(const TRoomUser* row, std::int32_t userId, const std::string& nickName)>;

    explicit TUserListPanel(QWidget* parent = nullptr);
    ~TUserListPanel() override;

    // The user image list (rank, mic and face icons), the seal pictures and
    // the badge picture; none is owned and each must outlive the panel.
    void SetImages(const TImageList* userImages, const TImageList* sealImages,
                   const QImage* badgePicture);

    TRoomUser* AddUser(std::int32_t user, const std::string& nickName, int role, int level,
                       int star, int mic, int face, bool camera, bool hidden, bool chatBanned,
                       std::int32_t sealPicture);
    void RemoveUser(std::int32_t user);
    void ClearUsers();
    TRoomUser* FindUser(std::int32_t user) const { return model_.FindUser(user); }
    // The user of the selected row, or null.
    TRoomUser* SelectedUser() const;
    // Focus the list and select, and scroll to, the user's row in the active
    // tab; nothing when he has none.
    void LocateUser(std::int32_t user);
    // Like LocateUser, raising OnSelectUser; a listed user without a row
    // raises it with no row. Ignored for the current user.
    void SelectUserById(std::int32_t user);

    void SetUserMic(std::int32_t user, int mic);
    void SetUserRole(std::int32_t user, int role);
    void SetUserNameFace(std::int32_t user, const std::string& nickName, int face);
    void SetUserBanChat(std::int32_t user, bool banned);
    void SetUserSeal(std::int32_t user, std::int32_t sealPicture);
    void ResetCityRanks();

    const TUserListModel::TUsers& UserList() const { return model_.UserList(); }
    const TUserListModel& Model() const { return model_; }

    std::int32_t UserID() const { return userId_; }
    void SetUserID(std::int32_t user) { userId_ = user; }
    std::int32_t RoomOwnerID() const { return roomOwnerId_; }
    void SetRoomOwnerID(std::int32_t user) { roomOwnerId_ = user; }

    // The row menu, opened by a right click over a selected row; not owned.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    TSelectUser OnSelectUser;
    TSelectUser OnSelectUserToGift;

    // Components, for the room window and tests.
    QTabBar* pcUserList = nullptr;
    TUserListView* lvList = nullptr;
    QWidget* pnlSearch = nullptr;
    QLabel* lbSearch = nullptr;
    QLineEdit* edtSearch = nullptr;
    QToolButton* btnSearch = nullptr;
    QTimer* tmrUpdate = nullptr;
    THK_HintWindow* FHintWindow = nullptr;

    // Sets the active tab as a click on it would.
    void SetActiveTab(int tab);
    // Runs the search over the edit's current text.
    void Search();
    // One animation step (what tmrUpdate runs every 250 ms).
    void TimerTick();
    // Brings the tab captions and the scroll range up to date now; otherwise
    // they follow at the next turn of the event loop.
    void FlushView();

  private:
    friend class TUserListView;

    void SyncView();
    void SelectRowUser(std::int32_t user);
    void RaiseSelect(const TSelectUser& event, const TRoomUser* row, std::int32_t userId,
                     const std::string& nickName);
    void edtSearchChange();
    void pcUserListChange(int tab);

    TUserListModel model_;
    std::int32_t userId_ = 0;
    std::int32_t roomOwnerId_ = 0;
    std::int32_t selectedId_ = 0;
    bool searching_ = false;
    bool syncingTabs_ = false;
    bool viewSyncPosted_ = false;
    QPointer<QMenu> popupMenu_;
    std::array<std::string, 3> captions_;
    const TImageList* userImages_ = nullptr;
    const TImageList* sealImages_ = nullptr;
    const QImage* badgePicture_ = nullptr;
};
