#pragma once

namespace vog {

// Ends the event loop normally when the session or a package script asks the program to stop
// (SIGTERM, SIGINT, SIGHUP), so that the windows are closed and destroyed as on File > exit.
void quitOnTerminationSignals();

} // namespace vog
