// The hall socket module ("libClientSocket.so", loaded by bare name): one
// asynchronous record connection to a hall server. The program hands the
// module its application object through the export "SetApplication" (as with
// the engine module) before calling "CreateClientSocket", and calls
// SetApplication(nullptr) before unloading it. Every sink callback runs on the
// UI thread, posted through that application object.
//
// Records: Send takes one whole record and the module frames it on the wire
// (common/Framing.h); OnReceive gets one whole record without its frame.
#pragma once

#include <cstdint>

#include "common/ModuleApi.h"

// {8B0E3918-5139-48DA-BF40-BA95ADCE5964}
inline constexpr TGuid IID_IClientSocket = {
    0x8B0E3918, 0x5139, 0x48DA, {0xBF, 0x40, 0xBA, 0x95, 0xAD, 0xCE, 0x59, 0x64}};
// {55FCF8AA-526A-44C2-9AD1-040E07D68A2A}
inline constexpr TGuid IID_IClientSocketSink = {
    0x55FCF8AA, 0x526A, 0x44C2, {0x9A, 0xD1, 0x04, 0x0E, 0x07, 0xD6, 0x8A, 0x2A}};

inline constexpr long kE_FAIL = static_cast<long>(0x80004005L);
inline constexpr long kE_INVALIDARG = static_cast<long>(0x80070057L);

// Error codes of OnConnected and reasons of OnClosed (0 = none). Other values
// are the system's errno of the failure (refused, unreachable, reset).
inline constexpr long kSocketTimedOut = 110;    // connect or reply time-out (ETIMEDOUT)
inline constexpr long kSocketCancelled = 125;   // superseded by Connect, Disconnect or Close
inline constexpr long kSocketBadStream = 74;    // oversized or impossible record length (EBADMSG)
inline constexpr long kSocketPeerClosed = 104;  // the server ended the connection
inline constexpr long kSocketUnresolved = 113;  // host name could not be resolved

// Implemented by the hall; slots 3-5. Each returns -1.
class IClientSocketSink : public IUnknownBase {
  public:
    // Once per Connect: 0 = connected, else an error code above.
    virtual long OnConnected(long error, std::uint32_t value, IUnknownBase* ref) = 0;
    // One complete record; `size` is its length in bytes. The data is valid
    // during the call only.
    virtual long OnReceive(const void* data, std::uint32_t size, IUnknownBase* ref) = 0;
    // Once when an established connection ends other than by Disconnect or
    // Close: the server closed it, the stream was garbled, or no reply came.
    virtual long OnClosed(IUnknownBase* ref, std::uint32_t reason) = 0;

  protected:
    ~IClientSocketSink() = default;
};

enum class ClientSocketState : long { Idle = 0, Connecting = 1, Connected = 2 };

// Slots 3-12. Methods return kS_OK or a failure code unless said otherwise.
// Call them on the UI thread only.
class IClientSocket : public IUnknownBase {
  public:
    // 3: the sink is obtained from `sink` by QueryInterface(IID_IClientSocketSink)
    // and held until replaced, Close or release; nullptr clears it.
    virtual long SetSink(IUnknownBase* sink) = 0;
    // 4: connect time-out in milliseconds; 0 restores the default (5000).
    virtual long SetConnectTimeout(std::uint32_t milliseconds) = 0;
    // 5: end the connection when no record arrives within this many
    // milliseconds after a Send; 0 switches it off (the default is 15000).
    virtual long SetReplyTimeout(std::uint32_t milliseconds) = 0;
    // 6: the largest record accepted from the server; 0 restores the default
    // (65536). A larger length ends the connection (kSocketBadStream).
    virtual long SetMaxRecordSize(std::uint32_t bytes) = 0;
    // 7: a ClientSocketState value.
    virtual long GetState() = 0;
    // 8: ends the current connection or attempt; a pending attempt is still
    // reported (kSocketCancelled), an established connection is not.
    virtual long Disconnect() = 0;
    // 9: starts connecting to `host` (dotted address or host name) and
    // `port`; any earlier connection is ended first as by Disconnect. The
    // outcome arrives once through OnConnected.
    virtual long Connect(const char* host, std::uint32_t port) = 0;
    // 10: the error code of the last failed attempt or the reason the last
    // connection ended; 0 when none.
    virtual long GetLastError() = 0;
    // 11: queues one record; fails when not connected or `size` is 0.
    virtual long Send(const void* data, std::uint32_t size) = 0;
    // 12: ends the connection, releases the sink and stops the worker; no
    // callback runs afterwards (not even one already posted). `flags` is 0.
    virtual long Close(std::uint32_t flags) = 0;

  protected:
    ~IClientSocket() = default;
};

// Exports of the module.
extern "C" {
using SetApplicationProc = void (*)(IApplication* app);
// A new socket holding one reference for the caller; nullptr when no
// application object was set.
using CreateClientSocketProc = IClientSocket* (*)();
}
// The module's Windows name; ModuleFileName turns it into "libClientSocket.so".
inline constexpr const char* kClientSocketModule = "ClientSocket.dll";
