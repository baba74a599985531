#include "chat/CatalogueText.h"

#include "common/GbkText.h"
#include "common/TextUtils.h"
#include "common/XMLTag.h"

std::string ChildText(const XMLTag& parent, std::string_view child, std::size_t width) {
    const XMLTag* tag = parent.Child(child);
    if (tag == nullptr || tag->Content.empty()) {
        return {};
    }
    const std::string text = TrimBlanks(tag->Content.front().Text);
    return text.substr(0, GbkSafePrefix(text, width));
}
