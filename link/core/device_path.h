// Recognising the receiver in a device interface path.
#pragma once

#include <string>

#include "link/core/link_ports.h"

namespace pv::link {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, as the platform's
// GUID formatter writes it.
std::wstring FormatGuid(const HidClassGuid& guid);

// Upper-cases `path` in place (ASCII letters; the markers are ASCII) and
// returns true when "VID_0C45", "PID_8101" and the braced class GUID each
// occur in it after the first character.
bool PathNamesReceiver(wchar_t* path, const HidClassGuid& hidGuid);

// A removal notice concerns the receiver the link has open only when the
// removed interface is the open one: with two receivers plugged in, pulling
// the spare leaves the open one working. Paths compare without regard to
// case. With no path known (nothing open, or a transport without paths) any
// receiver interface counts, as the display then claims nothing it knows.
bool RemovalConcernsOpenReceiver(wchar_t* removedPath, const std::wstring& openPath,
                                 const HidClassGuid& hidGuid);

}  // namespace pv::link
