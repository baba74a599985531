#include "room/RoomTexts.h"

#include <map>

#include "common/GbkText.h"

const std::string& RoomText(const char* utf8Literal) {
    // Everything runs on the UI thread; no lock needed.
    static std::map<const char*, std::string> cache;
    auto it = cache.find(utf8Literal);
    if (it == cache.end()) {
        it = cache.emplace(utf8Literal, Utf8ToGbk(utf8Literal)).first;
    }
    return it->second;
}

QString GbkToQt(std::string_view gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

std::string QtToGbk(const QString& text) {
    return Utf8ToGbk(text.toStdString());
}
