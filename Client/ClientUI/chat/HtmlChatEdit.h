// The chat editor: a small rich-text box holding text and emoticon pictures.
// Its content is read back through the body HTML a browser would write for
// it, so emoticon pictures turn into codes, Ctrl+Enter into a blank and angle
// brackets into entities (ConvertEditorHtml). Text crosses as GBK bytes.
#pragma once

#include <QTextEdit>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class QMenu;
class QAction;
class QMimeData;

// Clipboard and dropped text longer than this is cut (whole characters).
inline constexpr std::size_t kPasteLimit = 2048;

// Style bits of SetChatFont.
enum TChatFontStyle : int { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4 };

// The "font:..." string of a font, as the editor builds it around messages.
std::string BuildFontStyle(int styles, const std::string& name, std::uint32_t color, int size);
// The editor's initial style, before any font was applied.
const std::string& DefaultFontStyle();

// The text box itself: pastes and drops take plain text only, within the
// paste limit, with line breaks turned into blanks.
class TChatEditBox : public QTextEdit {
    Q_OBJECT
  public:
    using QTextEdit::QTextEdit;
    std::function<void(const std::string& gbk)> OnPasteText;

    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

class THtmlChatEdit : public QWidget {
    Q_OBJECT

  public:
    explicit THtmlChatEdit(QWidget* parent = nullptr);
    ~THtmlChatEdit() override;

    // The "editor" page of the resource pack gives the box its look. Run by
    // the constructor; OnNavigateComplete2 follows from the event loop.
    void InitPage();

    int MaxLength = 1000;
    std::string FontStyle = DefaultFontStyle();
    std::function<void()> OnEnterChat;
    std::function<void()> OnNavigateComplete2;

    // The message text of the content; the editor is emptied. Empty when
    // there is nothing to send, and when a picture cannot be read (the
    // content then stays).
    std::string ReadChatInfo();
    // ReadChatInfo wrapped in FontStyle; empty when there is no text.
    std::string GetChatMessage();
    // Bytes ReadChatInfo would return, without emptying; -1 when the content
    // holds a picture whose number cannot be read.
    int MessageLength() const;

    void InsertEmoticon(const std::string& folder, const std::string& fileName);
    void PasteHtml(const std::string& html);
    // Plain text at the caret (line breaks become blanks).
    void PasteText(const std::string& text);
    void SetPlainText(const std::string& text);
    void SetHtml(const std::string& html);
    void ClearEditor();
    void FocusEditor();
    void SetChatFont(int styles, const std::string& name, std::uint32_t color, int size);

    // The body as a browser writes it: "<BODY>" content "</BODY>", pictures
    // as <IMG src="...">, Ctrl+Enter breaks as the editor's marker.
    std::string BodyHtml() const;

    // The key table; true when handled.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    QMenu* ContextMenu();
    // Clipboard text, unless empty or starting with a carriage return.
    void PasteClipboard();

    TChatEditBox* Editor() const { return wb_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PressEnter();

    TChatEditBox* wb_;
    QMenu* menu_;
    QAction* miSelectAll_;
    QAction* miCopy_;
    QAction* miPaste_;
    QAction* miCut_;
    QAction* miClear_;
    std::string emotionFolder_;
};
