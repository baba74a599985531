#include "room/RoomRules.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/GbkText.h"
#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "engine/ClientEngineInf.h"
#include "room/RoomTexts.h"

std::int32_t EnterCount = 0;

namespace {

// Decimal text to a number; anything that is not a whole number is 0.
std::int32_t NumberOr0(std::string_view text) {
    std::int32_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) {
        return 0;
    }
    return value;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

std::string ThreeDigits(std::int32_t id, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%.3d.%s", static_cast<int>(id), extension);
    return name;
}

}  // namespace

TChatLink ParseChatLink(std::string_view target) {
    TChatLink link;
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos) {
        return link;
    }
    const std::string_view scheme = target.substr(0, colon);
    const std::string_view rest = target.substr(colon + 1);
    auto splitAt = [](std::string_view text, char separator) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            return std::pair<std::string_view, std::optional<std::string_view>>(text, std::nullopt);
        }
        return std::pair<std::string_view, std::optional<std::string_view>>(text.substr(0, at),
                                                                            text.substr(at + 1));
    };
    if (EqualsNoCase(scheme, "id")) {
        link.Kind = TChatLinkKind::Id;
        // The number counts only when a second ":" closes it.
        auto [number, after] = splitAt(rest, ':');
        link.UserId = after ? NumberOr0(number) : 0;
    } else if (EqualsNoCase(scheme, "rm")) {
        link.Kind = TChatLinkKind::Rm;
        auto [action, number] = splitAt(rest, '_');
        link.Action = std::string(action);
        link.Tail = std::string(number.value_or(std::string_view()));
        link.UserId = NumberOr0(link.Tail);
    } else if (EqualsNoCase(scheme, "mic") || EqualsNoCase(scheme, "mic1")) {
        link.Kind = scheme.size() == 3 ? TChatLinkKind::Mic : TChatLinkKind::Mic1;
        auto [number, tail] = splitAt(rest, '_');
        link.UserId = NumberOr0(number);
        link.Tail = std::string(tail.value_or(std::string_view()));
    }
    return link;
}

void RunChatLink(std::string_view target, std::int32_t myUserId, IClientEngine* engine,
                 IChatLinkTarget& view) {
    const TChatLink link = ParseChatLink(target);
    const bool other = link.UserId > 0 && link.UserId != myUserId;
    switch (link.Kind) {
        case TChatLinkKind::Id:
            if (other)
                view.SelectUserById(link.UserId);
            break;
        case TChatLinkKind::Rm:
            if (other && engine != nullptr) {
                if (EqualsNoCase(link.Action, "agree")) {
                    engine->AnswerMicRequest(link.UserId, 1);
                } else if (EqualsNoCase(link.Action, "refuse")) {
                    engine->AnswerMicRequest(link.UserId, 0);
                }
            }
            // Answered or not, the request's links become plain text.
            view.PrivateElementToText("action_" + link.Tail);
            break;
        case TChatLinkKind::Mic:
        case TChatLinkKind::Mic1:
            if (other && engine != nullptr)
                engine->ConnectPrivateMic(link.UserId);
            if (link.Kind == TChatLinkKind::Mic1)
                view.PrivateElementEmpty("need_arrow_" + link.Tail);
            break;
        case TChatLinkKind::None:
            break;
    }
}

std::optional<TShakeMotion::TStep> TShakeMotion::Tick(std::int64_t now) {
    if (!running_) {
        return std::nullopt;
    }
    if (count_ <= 16 && now - start_ <= 2000) {
        static constexpr TStep kSteps[4] = {{3, 0}, {0, -3}, {-3, 0}, {0, 3}};
        const TStep step = kSteps[count_ % 4];
        ++count_;
        return step;
    }
    running_ = false;
    return std::nullopt;
}

TRectI PlaceRoomWindow(const TRectI& area, int screenWidth, int windowWidth, int windowHeight) {
    if (screenWidth > 1024) {
        return {area.Left + (area.Width - windowWidth) / 2,
                area.Top + (area.Height - windowHeight) / 2, windowWidth, windowHeight};
    }
    return area;
}

std::string RoomCaption(std::int32_t roomId, const std::string& nickName) {
    return std::to_string(roomId) + RoomText("房间") + "(" + nickName + ")";
}

std::string RoomNameLabel(std::int32_t roomId, const std::string& roomName) {
    return "(" + std::to_string(roomId) + ")" + roomName;
}

std::string PrivateMicCutText(const std::string& nickName, std::int32_t userId) {
    return nickName + "(" + std::to_string(userId) + ")" + RoomText(" 主动断开了您的私麦连接。");
}

void TSealCatalogue::Load(const std::string& sealFolder, const TAddPicture& addBitmap) {
    if (!entries_.empty()) {
        return;
    }
    folder_ = sealFolder;
    const IniFile ini(sealFolder + "seal.ini");
    const int count = ini.ReadInteger("Count", "Count", 0);
    for (int i = 1; i <= count; ++i) {
        const std::string section = std::to_string(i);
        TSealEntry entry;
        entry.ID = ini.ReadInteger(section, "ID", 101);
        entry.Type = ini.ReadInteger(section, "Type", 1);
        const std::string name = ini.ReadString(section, "Name", "");
        entry.Name = name.substr(0, GbkSafePrefix(name, 20));
        entry.Value = ini.ReadInteger(section, "Value", 500);
        entry.Time = ini.ReadInteger(section, "Time", 50);
        entry.Picture = -1;
        entry.Key = entry.Type * 1000 + entry.ID;
        // The first entry of a key wins, as a lookup by key finds it first.
        entries_.emplace(entry.Key, entry);
        const std::string bitmap = sealFolder + ThreeDigits(entry.ID, "bmp");
        if (addBitmap && FileExists(bitmap)) {
            addBitmap(bitmap);
        }
    }
}

const TSealEntry* TSealCatalogue::Find(std::int32_t key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

int TSealCatalogue::PictureIndex(std::int32_t key, const TAddPicture& addPng) {
    if (key <= 0) {
        return -1;
    }
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        return -1;
    }
    TSealEntry& entry = it->second;
    if (entry.Picture == -1) {
        const std::string png = folder_ + ThreeDigits(entry.ID, "png");
        if (addPng && FileExists(png)) {
            entry.Picture = static_cast<std::int16_t>(addPng(png));
        }
    }
    return entry.Picture;
}

TSealCatalogue& SealCatalogue() {
    static TSealCatalogue catalogue;
    return catalogue;
}
