// Prepared texts kept in "Reply.dat" beside the program: shortcut phrases
// (section "ShortCut") and auto replies (section "Auto"), keys "1", "2", ...
// in list order. Texts are message text (emoticon codes, brackets escaped).
#pragma once

#include <string>
#include <vector>

class QMenu;
class QListWidget;

class TReply {
  public:
    enum Kind { kShortCut = 0, kAuto = 1 };

    // Chooses the section and loads it; the file defaults to the program's.
    explicit TReply(int kind, std::string fileName = {});

    const std::string& Section() const { return section_; }
    const std::string& FileName() const { return fileName_; }
    const std::vector<std::string>& Texts() const { return texts_; }

    // A missing file leaves the list as it is.
    void LoadReplies();
    // The section is rewritten from the list; false when the file cannot be.
    bool SaveReplies() const;
    // Empty for an index outside the list.
    std::string GetReplyText(int index) const;
    // Replaces the texts and saves them.
    bool TakeTexts(std::vector<std::string> texts);

    // One radio item per text (cut to 24 bytes), "-" and "编辑回复...".
    void FillReplyMenu(QMenu* menu) const;
    void FillReplyList(QListWidget* list) const;
    bool TakeReplyList(const QListWidget* list);

  private:
    std::string section_;
    std::string fileName_;
    std::vector<std::string> texts_;
};

// The menu caption of a text.
std::string ReplyMenuCaption(const std::string& text);

// The auto-reply button and its menu, owned by the chat frame. The reply is
// on while one item is checked; the button then reads "取消回复".
class TAutoReplyState {
  public:
    bool Active() const { return checked_ >= 0; }
    const std::string& Text() const { return text_; }
    int CheckedItem() const { return checked_; }
    // The button's caption for the current state.
    const std::string& Caption() const;

    enum class TPress { MemberNotice, OpenMenu, SwitchedOff };
    // The button was pressed by a user of this level.
    TPress PressButton(int level);
    // Item `index` (not the last, "编辑回复...") of the auto-reply menu.
    void ChooseItem(int index, const TReply& store);
    // Leaving the room ends the auto reply.
    void SwitchOff();

    // The body to answer somebody who spoke to the user, when a reply is on.
    std::string ReplyBody(const std::string& fontStyle) const;

  private:
    int checked_ = -1;
    std::string text_;
};

// Row to focus after deleting row `deleted` of a list that had `count` rows:
// the row now at the same position, else the new last; -1 when none is left.
int RowAfterDelete(int count, int deleted);
