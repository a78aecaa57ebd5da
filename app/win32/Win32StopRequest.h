#pragma once
// How the Windows shell asks a run to stop: the window procedure on the end of
// the session, the console handler on Ctrl+C or the console closing.

namespace brevonne {

// Makes IsStopRequested () true from now on.
void RequestStop();

} // namespace brevonne
