// The download service of the engine module ("CreateDownLoadService" in
// "ClientModule.dll"): one background transfer per request, reported by
// messages posted to the window named in the request.
#pragma once

#include <cstdint>

#include "common/EngineRecords.h"
#include "common/ModuleApi.h"

// {1C91B402-2523-43DB-A810-8BE9159E395E}
inline constexpr TGuid IID_IDownLoadService = {
    0x1C91B402, 0x2523, 0x43DB, {0xA8, 0x10, 0x8B, 0xE9, 0x15, 0x9E, 0x39, 0x5E}};

// Progress messages; the value travels as the message's second parameter.
inline constexpr std::uint32_t kDownloadProgressMsg = 6578;  // bytes received so far
inline constexpr std::uint32_t kDownloadSizeMsg = 6579;      // total size in bytes
inline constexpr std::uint32_t kDownloadDoneMsg = 6580;      // file written
inline constexpr std::uint32_t kDownloadErrorMsg = 6581;     // 0 = failure

#pragma pack(push, 1)
// Passed by value; the text fields are zero-terminated and zero-filled.
struct TDownloadRequest {
    LeInt<std::uint32_t> Window;   // 0: receiver of the progress messages
    CharArray<256> FileName;       // 4
    CharArray<256> TargetFolder;   // 260: with the trailing separator
    CharArray<256> SourceAddress;  // 516
};
#pragma pack(pop)
static_assert(sizeof(TDownloadRequest) == 772);
static_assert(offsetof(TDownloadRequest, FileName) == 4);
static_assert(offsetof(TDownloadRequest, TargetFolder) == 260);
static_assert(offsetof(TDownloadRequest, SourceAddress) == 516);

// Slots 3-5 after the three IUnknownBase slots.
class IDownLoadService : public IUnknownBase {
  public:
    // 3: the number of tasks still running (the program does not call it).
    virtual long RunningTasks() = 0;
    // 4: starts the transfer in the background and returns its task value
    // (never 0). The file is written as target folder + file name; the
    // messages arrive in the order size, progress..., then done or error.
    virtual std::int32_t StartDownload(TDownloadRequest request) = 0;
    // 5: ends the task (finished or not); no message of it arrives later.
    virtual long StopDownload(std::int32_t task) = 0;

  protected:
    ~IDownLoadService() = default;
};

extern "C" {
// Fills `service` with a new service holding one reference for the caller.
using CreateDownLoadServiceProc = long (*)(IDownLoadService** service);
}

// Windows' PostMessage has no counterpart here: the program exports this
// function (found in the process with dlsym(RTLD_DEFAULT, ...)) and the
// service posts through it. It may be called from any thread; the message is
// delivered later on the UI thread, or dropped when the window is gone.
extern "C" {
using PostWindowMessageProc = bool (*)(std::uint32_t window, std::uint32_t message,
                                       std::intptr_t wParam, std::intptr_t lParam);
}
inline constexpr const char* kPostWindowMessageExport = "ChatRoomPostWindowMessage";
