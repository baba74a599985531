// What the horn and notice windows share: a chat editor with its stored font
// (a font bar that shows or hides, its changes written to the profile) and
// an emoticon button opening the shared picker without the member rule.
#pragma once

#include <QPoint>
#include <QWidget>
#include <string>

#include "chat/FontString.h"

class QPushButton;
class THtmlChatEdit;
class TframeFont;

class TChatComposeWindow : public QWidget {
    Q_OBJECT

  public:
    // `fixedSize` > 0 keeps the editor at that size whatever the font says.
    TChatComposeWindow(QWidget* owner, TFontKey fontKey, int maxLength, int fixedSize);

    // Empties the editor and styles it with the stored font (run when the
    // editor's page has loaded).
    void PrepareEditor();
    // The font bar reported a change.
    void FontChanged(const TChatFont& font, const std::string& fontString);
    // The picker's choice goes into this window's editor.
    void ChooseEmotion(const QPoint& at);
    void InsertChosenFace(const std::string& file);

    THtmlChatEdit* htmlchtdt;
    QWidget* pnlFont;
    TframeFont* frmFont;
    QPushButton* btn2;        // "字体"
    QPushButton* btnEmotion;  // "表情"

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void StyleEditor(const TChatFont& font);

    TFontKey fontKey_;
    int fixedSize_;
    QPoint emotionAt_;
};

// The stored font string of a key (UserFonts), the default when empty.
std::string StoredFontString(TFontKey key);
