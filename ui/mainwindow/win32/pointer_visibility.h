// Showing and hiding the mouse pointer regardless of how often others have
// shown or hidden it: the display counter is driven to the wanted side.
#pragma once

// Until the pointer's display count is 0 or more (pointer visible).
void ShowPointer();
// Until the pointer's display count is negative (pointer hidden).
void HidePointer();
