#include "chat/ChatBoxes.h"

#include <QMessageBox>

#include "chat/ChatTexts.h"

namespace {
TChatBoxHook& Hook() {
    static TChatBoxHook hook;
    return hook;
}
}  // namespace

void ShowChatBox(QWidget* parent, const std::string& text, const std::string& caption,
                 TBoxIcon icon) {
    if (Hook()) {
        Hook()(text, caption, icon);
        return;
    }
    const QMessageBox::Icon shown = icon == TBoxIcon::Error     ? QMessageBox::Critical
                                    : icon == TBoxIcon::Warning ? QMessageBox::Warning
                                                                : QMessageBox::Information;
    QMessageBox box(shown, GbkToQString(caption), GbkToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

void SetChatBoxHook(TChatBoxHook hook) {
    Hook() = std::move(hook);
}
