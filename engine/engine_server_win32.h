// tovengine.exe's server: the COM class object, the resident engine's thread and schedule, and
// its registration.
#pragma once

namespace engine {

// The resident engine until the user logs off or it is asked to quit. embedding: started by COM.
int RunServer(bool embedding);
// /RegServer and /UnregServer: the class's local server and the interface's proxy/stub DLL.
int Register(bool add);
// /Quit: ends the running engine of this user and waits for it.
int QuitRunning();
// /BackupNow: "Back up now" in the running engine of this user; 1 when none runs.
int BackUpNowRunning();

} // namespace engine
