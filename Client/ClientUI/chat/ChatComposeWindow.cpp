#include "chat/ChatComposeWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPushButton>

#include "chat/ChatTexts.h"
#include "chat/EmotionForm.h"
#include "chat/FontFrame.h"
#include "chat/HtmlChatEdit.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"

std::string StoredFontString(TFontKey key) {
    const std::string* stored = &UserFonts.Chat;
    switch (key) {
        case TFontKey::Chat:
            break;
        case TFontKey::Laba:
            stored = &UserFonts.Laba;
            break;
        case TFontKey::RoomNotice:
            stored = &UserFonts.RoomNotice;
            break;
        case TFontKey::SystemNotice:
            stored = &UserFonts.SystemNotice;
            break;
    }
    return stored->empty() ? DefaultFontText() : *stored;
}

TChatComposeWindow::TChatComposeWindow(QWidget* owner, TFontKey fontKey, int maxLength,
                                       int fixedSize)
    : QWidget(owner, Qt::Window), fontKey_(fontKey), fixedSize_(fixedSize) {
    htmlchtdt = new THtmlChatEdit(this);
    htmlchtdt->MaxLength = maxLength;
    pnlFont = new QWidget(this);
    frmFont = new TframeFont(pnlFont);
    btn2 = new QPushButton(GbkToQString(GbkText("字体")), this);
    btnEmotion = new QPushButton(GbkToQString(GbkText("表情")), this);
    btnEmotion->installEventFilter(this);
    connect(btn2, &QPushButton::clicked, this,
            [this] { pnlFont->setVisible(!pnlFont->isVisible()); });
    connect(btnEmotion, &QPushButton::clicked, this, [this] { ChooseEmotion(emotionAt_); });
    htmlchtdt->OnNavigateComplete2 = [this] { PrepareEditor(); };
}

void TChatComposeWindow::StyleEditor(const TChatFont& font) {
    htmlchtdt->SetChatFont(font.Styles(), font.Name, font.Color,
                           fixedSize_ > 0 ? fixedSize_ : font.Size);
}

void TChatComposeWindow::PrepareEditor() {
    htmlchtdt->ClearEditor();
    frmFont->LoadFontString(StoredFontString(fontKey_));
    frmFont->OnChange = [this](const TChatFont& font, const std::string& text) {
        FontChanged(font, text);
    };
    StyleEditor(frmFont->CurrentFont());
}

void TChatComposeWindow::FontChanged(const TChatFont& font, const std::string& fontString) {
    StyleEditor(font);
    StoreUserFont(fontKey_, fontString);
}

void TChatComposeWindow::ChooseEmotion(const QPoint& at) {
    TfrmEmotion* picker = SharedEmotionPicker();
    picker->SetReceiver(
        this, [this](const std::string& file, const std::string&) { InsertChosenFace(file); });
    picker->ShowEmotionPicker(at);
}

void TChatComposeWindow::InsertChosenFace(const std::string& file) {
    htmlchtdt->InsertEmoticon(AppPath("emotions/"), file);
}

void TChatComposeWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides: the same window comes back next time.
    event->ignore();
    hide();
}

bool TChatComposeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btnEmotion && event->type() == QEvent::MouseButtonPress) {
        emotionAt_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    }
    return QWidget::eventFilter(watched, event);
}
