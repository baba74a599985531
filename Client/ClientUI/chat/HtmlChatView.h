// The read-only chat pane: finished HTML lines appended to a rich-text page,
// one text block per line, the page started over after 150 lines with the 5
// most recent ones put back. Links never navigate; their raw target goes to
// OnSelect. Text crosses this class as GBK bytes.
#pragma once

#include <QTextBrowser>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "chat/ChatFormat.h"

class QMenu;
class QMovie;
class QAction;

// The most recent lines, oldest first, at most `capacity` of them.
class TMsgArray {
  public:
    explicit TMsgArray(std::size_t capacity = 5) : capacity_(capacity) {}
    void Add(std::string line);
    // Rewrites the first entry equal to `from`; false when none is.
    bool ReplaceFirst(const std::string& from, const std::string& to);
    const std::deque<std::string>& Lines() const { return lines_; }
    std::size_t Capacity() const { return capacity_; }

  private:
    std::size_t capacity_;
    std::deque<std::string> lines_;
};

// Pictures come from files named by their source; everything else is refused
// (the pane never loads anything from the network).
class TChatBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override;
};

// Opens a stored page as text: UTF-8 when it is valid UTF-8, else GBK.
QString DecodePageBytes(const QByteArray& bytes);
// The style sheets of a page (every <style> element's content, joined).
QString PageStyleSheet(const QString& page);

class THtmlChatView : public QWidget {
    Q_OBJECT

  public:
    using TSelectEvent = std::function<void(const std::string& context)>;
    using TSelectLinkEvent = std::function<void(int id, const std::string& nickName)>;

    static constexpr int kRebuildAfter = 150;
    static constexpr std::size_t kRecentLines = 5;

    explicit THtmlChatView(QWidget* parent = nullptr);
    ~THtmlChatView() override;

    // The "template" page of the resource pack: its style classes and look.
    void InitPage();
    // The same from a page given as text (no template: the built-in classes).
    void InitPageFrom(const QString& page);

    // Adds a line (which ends with "<BR>") at the end of the page.
    void AppendLine(const std::string& html);
    // Empties the page; the line count and the recent lines stay.
    void ClearLines();
    void SelectAll();
    void CopySelection();

    bool EnableScroll() const { return enableScroll_; }
    void SetEnableScroll(bool on);

    // Rewrites the first shown element with this id and shows its line again.
    bool RewriteElement(const std::string& id, TElementRewrite how);

    // The key table: true when the key was handled (and must go no further).
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    // Prepares the menu for a right click at a point of the page and returns
    // it (the user menu over a user link, else the selection menu).
    QMenu* ContextMenuAt(const QPoint& viewportPos);
    // Raises OnSelect with the link target at that point, if there is one.
    bool NavigateAt(const QPoint& viewportPos);

    TSelectEvent OnSelect;
    TSelectLinkEvent OnSelectToGift;
    TSelectLinkEvent OnSelectToChat;
    TSelectLinkEvent OnFindinUserList;

    int LineCount() const { return lineCount_; }
    const TMsgArray& RecentLines() const { return recent_; }
    // The HTML of the lines the page shows, oldest first.
    std::vector<std::string> ShownLines() const;
    int LinkUserId() const { return linkUserId_; }
    const std::string& LinkNickName() const { return linkNickName_; }
    QTextBrowser* Browser() const { return wb_; }
    QMenu* SelectionMenu() const { return selectionMenu_; }
    QMenu* UserMenu() const { return userMenu_; }
    // Animations kept for the pictures of the shown lines, running or not.
    int MovieCount() const { return static_cast<int>(movies_.size()); }
    int RunningMovieCount() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct TShownLine {
        int Id = 0;
        std::string Html;
    };
    struct TMovieSlot {
        QMovie* Movie = nullptr;
        int Uses = 0;
    };

    void InsertLine(const std::string& html);
    void InsertBlocks(QTextCursor& cursor, const std::string& html, int id);
    void UseMovies(const std::string& html, int delta);
    void ScrollToEnd();
    void CopyText(const std::string& gbk);

    TChatBrowser* wb_;
    QMenu* selectionMenu_;
    QMenu* userMenu_;
    QAction* miSelectAll_;
    QAction* miCopy_;
    QAction* miClear_;
    bool enableScroll_ = true;
    bool pageEmpty_ = true;
    int lineCount_ = 0;
    int nextLineId_ = 1;
    TMsgArray recent_{kRecentLines};
    std::deque<TShownLine> shown_;
    std::map<QString, TMovieSlot> movies_;
    int linkUserId_ = 0;
    std::string linkNickName_;
    QString pressedAnchor_;
};
