#include "session/HallConnection.h"

namespace {
// {00000000-0000-0000-C000-000000000046}
constexpr TGuid kIID_IUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace

// Every callback arrives on the UI thread and goes to the session.
class THallConnection::TSink final : public IClientSocketSink {
  public:
    explicit TSink(THallConnection& owner) : owner_(owner) {}
    long QueryInterface(const TGuid& iid, void** object) override {
        if (!object)
            return kE_NOINTERFACE;
        if (iid == IID_IClientSocketSink || iid == kIID_IUnknown) {
            *object = static_cast<IClientSocketSink*>(this);
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    // Owned by the connection, which closes the socket before it goes.
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }
    long OnConnected(long error, std::uint32_t, IUnknownBase*) override {
        if (owner_.session_)
            owner_.session_->OnConnected(error);
        return -1;
    }
    long OnReceive(const void* data, std::uint32_t size, IUnknownBase*) override {
        if (owner_.session_)
            owner_.session_->OnReceive(std::string_view(static_cast<const char*>(data), size));
        return -1;
    }
    long OnClosed(IUnknownBase*, std::uint32_t reason) override {
        if (owner_.session_)
            owner_.session_->OnClosed(static_cast<long>(reason));
        return -1;
    }

  private:
    THallConnection& owner_;
};

THallConnection::THallConnection() : sink_(std::make_unique<TSink>(*this)) {}

THallConnection::~THallConnection() {
    Close();
}

bool THallConnection::Open(IApplication* application) {
    Close();
    if (!application || !helper_.CreateInstance(application))
        return false;
    helper_.Socket->SetSink(sink_.get());
    return true;
}

void THallConnection::Close() {
    if (helper_.Socket)
        helper_.Socket->Close(0);
    helper_.CloseInstance();
}

void THallConnection::Connect(const std::string& host, std::uint16_t port) {
    if (helper_.Socket)
        helper_.Socket->Connect(host.c_str(), port);
}

void THallConnection::Send(std::string_view record) {
    if (helper_.Socket)
        helper_.Socket->Send(record.data(), static_cast<std::uint32_t>(record.size()));
}
