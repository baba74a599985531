// Loads the hall socket module and holds the hall's one socket.
#pragma once

#include "engine/ModuleLibrary.h"
#include "session/ClientSocketInf.h"

class TClientSocketHelper {
  public:
    TClientSocketHelper() = default;
    ~TClientSocketHelper();
    TClientSocketHelper(const TClientSocketHelper&) = delete;
    TClientSocketHelper& operator=(const TClientSocketHelper&) = delete;

    // Drops what is held, loads the module, hands it the application object
    // and creates the socket. False when the module, an export or the socket
    // is missing.
    bool CreateInstance(IApplication* application);
    // Releases the socket, withdraws the application object and unloads the
    // module. The caller calls Close on the socket first.
    void CloseInstance();

    // Null while no socket is held.
    IClientSocket* Socket = nullptr;

  private:
    TModuleLibrary module_;
};
