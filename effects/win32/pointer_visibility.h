// Showing and hiding the mouse pointer regardless of how often others have
// shown or hidden it: the display count is driven to the wanted side, in a
// bounded number of passes.
#pragma once

namespace pv::effects {

// Until the pointer's display count is 0 or more (pointer visible); a count
// already there is left as it was.
void ShowPointerFully();
// Until the pointer's display count is negative (pointer hidden); a count
// already there is left as it was.
void HidePointerFully();

}  // namespace pv::effects
