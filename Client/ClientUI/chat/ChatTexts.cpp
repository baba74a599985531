#include "chat/ChatTexts.h"

#include <QString>
#include <unordered_map>

#include "common/GbkText.h"

const std::string& GbkText(const char* utf8Literal) {
    static std::unordered_map<const char*, std::string> cache;
    auto it = cache.find(utf8Literal);
    if (it == cache.end()) {
        it = cache.emplace(utf8Literal, Utf8ToGbk(utf8Literal)).first;
    }
    return it->second;
}

QString GbkToQString(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

std::string QStringToGbk(const QString& text) {
    return Utf8ToGbk(text.toStdString());
}
