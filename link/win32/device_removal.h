// The receiver's removal as WM_DEVICECHANGE reports it: the path of the
// device interface that went, read from the message's broadcast record.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace pv::link::win32 {

// The interface path of a DBT_DEVICEREMOVECOMPLETE about a device interface;
// nothing for any other event or record. The path is copied out within the
// size the record gives (a name without its terminator ends there), so a
// short or unterminated record is never read past its end.
std::optional<std::wstring> RemovedInterfacePath(WPARAM event, LPARAM header);

}  // namespace pv::link::win32
