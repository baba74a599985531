// The chat's fixed user texts. Sources hold them as UTF-8 literals; the
// program works with GBK bytes, so each literal is converted once and kept.
#pragma once

#include <string>

// GBK bytes of a UTF-8 string literal, converted on first use and cached by
// the literal's address (so only pass literals, never temporaries).
const std::string& GbkText(const char* utf8Literal);

// Widget edge: GBK bytes to a QString and back are in common/GbkText.h
// (GbkToUtf8/Utf8ToGbk); these wrap them for Qt.
class QString;
QString GbkToQString(const std::string& gbk);
std::string QStringToGbk(const QString& text);
