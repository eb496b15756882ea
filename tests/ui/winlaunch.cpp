// Windows side of the launch test, built with mingw-w64 and run under Wine.
// Started beside launch.txt (its path, a line feed, a command line; UTF-8),
// it removes the file and starts itself by that path with that line. Started
// without it, it writes the raw line it got to received.txt.
#include "WinLaunch.h"

#include <windows.h>

#include <string>

int main()
{
    static char bytes[65536];
    static wchar_t wide[65536];
    DWORD size = 0;
    HANDLE file = CreateFileW(L"launch.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const int n = WideCharToMultiByte(
            CP_UTF8, 0, GetCommandLineW(), -1, bytes, sizeof bytes, nullptr, nullptr);
        file = CreateFileW(L"received.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        WriteFile(file, bytes, n > 0 ? DWORD(n - 1) : 0, &size, nullptr);
        CloseHandle(file);
        return MoveFileW(L"received.tmp", L"received.txt") ? 0 : 1;
    }
    ReadFile(file, bytes, sizeof bytes, &size, nullptr);
    CloseHandle(file);
    DeleteFileW(L"launch.txt");
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes, int(size), wide, 65535);
    const std::wstring text(wide, n > 0 ? n : 0);
    const std::size_t eol = text.find(L'\n');
    const std::wstring program = text.substr(0, eol), line = text.substr(eol + 1);
    return platform::startWin32Process(program.c_str(), line.c_str()) ? 0 : 1;
}
