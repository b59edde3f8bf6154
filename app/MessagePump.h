// Lets the calling thread's window messages run from inside a long operation on the
// user-interface thread.
#pragma once

// Dispatches every message waiting for the calling thread and returns when none is left. A
// WM_QUIT ends it at once and stays in the queue for the message loop that owns it; the answer
// is then true, so that a loop of the caller's own can end too instead of spinning on it.
bool PumpMessages();
