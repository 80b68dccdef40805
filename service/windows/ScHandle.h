#pragma once

#include "serial/platform/WindowsHeader.h"

#include <memory>
#include <type_traits>

// A handle of the Service Control Manager's (the manager's own or a
// service's), closed when it goes.
struct ScHandleClose {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ScHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ScHandleClose>;
