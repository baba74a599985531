// What the program and its outside modules share at the binary boundary: the
// reference-counted interface base and the application object through which
// a module posts work to the UI thread.
#pragma once

#include <cstdint>
#include <functional>

struct TGuid {
    std::uint32_t D1;
    std::uint16_t D2, D3;
    std::uint8_t D4[8];
    friend bool operator==(const TGuid&, const TGuid&) = default;
};

// Query by interface id, add and release a reference: slots 0 to 2 of every
// module interface.
class IUnknownBase {
public:
    virtual long QueryInterface(const TGuid& iid, void** object) = 0;
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;

protected:
    ~IUnknownBase() = default;
};

inline constexpr long kS_OK = 0;
inline constexpr long kE_NOINTERFACE = static_cast<long>(0x80004002L);

// Handed to the engine module by SetApplication. Post may be called from any
// thread; the task runs later on the UI thread, in posting order.
class IApplication {
public:
    virtual void Post(std::function<void()> task) = 0;

protected:
    ~IApplication() = default;
};
