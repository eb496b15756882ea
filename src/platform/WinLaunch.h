#pragma once

// The Windows start of the programmer tool, in plain Win32 so that it builds
// with any Windows C++ compiler (and, for the tests, with mingw-w64 on Linux).

namespace platform {

// Starts `application` (a full path; it is not searched for) with
// `commandLine` exactly as it stands: no splitting, no re-quoting; the tool
// reads the very same line from GetCommandLine. The process gets a console
// of its own, shown normally, and is left to run. Returns false when Windows
// refused to start it.
bool startWin32Process(const wchar_t *application, const wchar_t *commandLine);

} // namespace platform
