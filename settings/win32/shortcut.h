// Shell shortcuts (.lnk) through the shell link object.
#pragma once

#include <string>

namespace pv::settings {

// Saves "<folder>\<name>.lnk" pointing at target, started in the target's
// folder, shown normally, with the given description. Initialises and releases
// COM around its own use. False when target has no folder part or anything fails.
bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                    const std::wstring& description);

}  // namespace pv::settings
