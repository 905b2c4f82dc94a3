// Entry point of tovManager.exe: the application object does all of its work in start-up.
#include <windows.h>

#include "app/manager_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ManagerApp app;
    app.InitInstance(); // false: there is no message loop to run
    return 0;
}
