#include "WinLaunch.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace platform {

bool startWin32Process(const wchar_t *application, const wchar_t *commandLine)
{
    // CreateProcessW may write into the command line buffer: hand it a copy.
    std::vector<wchar_t> line(commandLine, commandLine + std::wcslen(commandLine) + 1);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
            nullptr, nullptr, &startup, &process))
        return false;
    // Nothing is waited for: the handles are only closed.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace platform
