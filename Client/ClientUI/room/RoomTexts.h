// The room's fixed user texts: sources hold them as UTF-8 literals, the
// program works with GBK bytes, so each literal is converted once and kept.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// GBK bytes of a UTF-8 literal, cached by the literal's address (pass
// literals only, never temporaries).
const std::string& RoomText(const char* utf8Literal);

// Widget edge: GBK bytes to Qt text and back.
QString GbkToQt(std::string_view gbk);
std::string QtToGbk(const QString& text);
