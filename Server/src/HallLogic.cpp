#include "HallLogic.h"

#include <algorithm>

#include "Database.h"
#include "PasswordHash.h"
#include "ServerConfig.h"
#include "common/GbkText.h"
#include "common/HallProtocol.h"

const std::string& HallTextUnknownAccount() {
    static const std::string t = Utf8ToGbk("该帐号不存在，请检查您输入的帐号或用户号！");
    return t;
}
const std::string& HallTextWrongPassword() {
    static const std::string t = Utf8ToGbk("密码错误，请重新输入！");
    return t;
}
const std::string& HallTextLocked() {
    static const std::string t = Utf8ToGbk("该帐号已被锁定，请与客服联系！");
    return t;
}
const std::string& HallTextBanned() {
    static const std::string t = Utf8ToGbk("该帐号已被封禁，不能登录！");
    return t;
}

HallLogic::HallLogic(Database& db, const ServerConfig& config) : db_(db), config_(config) {}

HallLogic::Outcome HallLogic::Handle(std::string_view record, int& failedLogins) {
    auto code = HallRecordCode(record);
    if (!code)
        return {{}, true, "record too short"};
    if (*code == kHallRouteRequest) {
        auto route = DecodeRouteRequest(record);
        if (!route)
            return {{}, true, "malformed route request"};
        return {RecordBytes(MakeVersionReply(db_.RequiredVersion(),
                                             static_cast<std::int32_t>(++sessionCounter_))),
                false,
                {}};
    }
    if (*code == kHallLoginRequest)
        return Login(record, failedLogins);
    return {{}, true, "unknown record code " + std::to_string(*code)};
}

HallLogic::Outcome HallLogic::Login(std::string_view record, int& failedLogins) {
    auto request = DecodeLoginRequest(record);
    if (!request)
        return {{}, true, "malformed login request"};

    bool byName = request->ByName.Get() == 1;
    std::string who = byName ? "name " + request->AccountName.Get()
                             : "number " + std::to_string(request->UserNumber.Get());
    auto refuse = [&](const std::string& text, const char* why) {
        ++failedLogins;
        Outcome o{RecordBytes(MakeLoginError(text)), failedLogins >= kMaxFailedLogins,
                  std::string("login refused (") + why + ") for " + who};
        return o;
    };

    auto account = byName ? db_.FindAccountByName(request->AccountName.Get())
                          : db_.FindAccountByNumber(request->UserNumber.Get());
    if (!account)
        return refuse(HallTextUnknownAccount(), "unknown account");

    std::string digest = request->PasswordMd5.Get();
    std::transform(digest.begin(), digest.end(), digest.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!VerifyPassword(digest, account->passwordHash))
        return refuse(HallTextWrongPassword(), "wrong password");
    if (account->status == AccountStatus::Locked)
        return refuse(HallTextLocked(), "locked");
    if (account->status == AccountStatus::Banned)
        return refuse(HallTextBanned(), "banned");

    THallLoginReply reply = MakeLoginError("");
    reply.UserNumber.Set(account->number);
    reply.NickName.Set(Utf8ToGbk(account->nickname));
    reply.Face.Set(static_cast<std::int16_t>(account->face));
    reply.GiftPoints.Set(account->points);
    reply.Gold.Set(account->gold);
    reply.Role.Set(static_cast<std::int16_t>(std::clamp(account->role, 0, 255)));
    reply.Level.Set(static_cast<std::int16_t>(account->level));
    reply.Star.Set(static_cast<std::int16_t>(account->star));
    reply.LineType.Set(static_cast<std::int16_t>(account->lineType));
    std::size_t slot = 0;
    for (const auto& server : db_.RoomServers()) {
        std::string entry = server.address + "," + std::to_string(server.lineType);
        // An entry that does not fit would reach the client cut; leave it out.
        if (entry.size() > ShortString<21>::Capacity)
            continue;
        if (slot == kHallRoomServerCount)
            break;
        reply.RoomServers[slot++].Set(entry);
    }
    return {RecordBytes(reply), false,
            "login of " + who + " as " + std::to_string(account->number)};
}
