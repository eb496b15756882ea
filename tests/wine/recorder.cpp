// A stand-in for the programmer tool that records the raw command line
// Windows hands it (GetCommandLineW, not split into words): each start
// appends it, in UTF-8 and ended by a line feed, to recorded.txt beside the
// recorder. Plain Win32, so it needs no DLL.
#include <windows.h>

int wmain()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\')
        --length;
    lstrcpyW(path + length, L"recorded.txt");

    static char line[65536];
    const int n = WideCharToMultiByte(
        CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line - 1, nullptr, nullptr);
    if (n <= 0)
        return 1;
    line[n - 1] = '\n';
    const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE
        && WriteFile(file, line, DWORD(n), &written, nullptr) && written == DWORD(n);
    CloseHandle(file);
    return ok ? 0 : 1;
}
