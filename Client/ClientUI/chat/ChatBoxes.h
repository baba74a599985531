// Message boxes of the chat windows. Tests replace the box by a recorder, so
// nothing modal ever waits for a click there.
#pragma once

#include <functional>
#include <string>

class QWidget;

enum class TBoxIcon { Information, Warning, Error };

// A modal box owned by `parent`; text and caption are GBK.
void ShowChatBox(QWidget* parent, const std::string& text, const std::string& caption,
                 TBoxIcon icon);

using TChatBoxHook =
    std::function<void(const std::string& text, const std::string& caption, TBoxIcon icon)>;
// While set, ShowChatBox calls the hook instead of showing a box.
void SetChatBoxHook(TChatBoxHook hook);
