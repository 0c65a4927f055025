#pragma once

namespace lugatim::skin {

// Whether a compositing manager owns the _NET_WM_CM_S<n> selection of the X
// display's default screen. False where the application does not run on X11.
bool X11CompositingManagerRuns();

}  // namespace lugatim::skin
