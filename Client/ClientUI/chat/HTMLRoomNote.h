// The room note: an HTML strip the engine fills with the room's note. Its
// first page is an empty body over the note's background picture or colour;
// each note replaces the whole page. Links in it do nothing and it has no
// context menu.
#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

// The empty styled page of a note: the picture tiles the body when given,
// otherwise the colour fills it.
std::string RoomNotePage(const std::string& picture, const std::string& colour);

class THTMLRoomNote : public QWidget {
    Q_OBJECT

  public:
    explicit THTMLRoomNote(QWidget* parent = nullptr);

    void InitRoomNote(const std::string& picture, const std::string& colour);
    void ShowRoomNote(const std::string& html);

    QTextBrowser* Browser() const { return wb_; }
    // The page shown now (GBK).
    const std::string& Page() const { return page_; }

  private:
    QTextBrowser* wb_;
    std::string page_;
};
