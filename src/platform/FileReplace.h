#pragma once

// Replacing a file's contents so that, whenever the program stops, the file
// holds either all its old bytes or all its new ones. Plain C++ and operating
// system calls, without Qt, so that the Windows part can be built on its own
// with mingw-w64.

#include <cstddef>

namespace platform {

#ifdef _WIN32
using NativeChar = wchar_t; // a Windows path in UTF-16
#else
using NativeChar = char; // a POSIX path: the name's own bytes
#endif

// The new bytes go to a temporary file beside the target, named after it
// with ".dwsave-" and six letters or digits, are flushed to the disk, take
// the old file's permissions and are then renamed over the target in one
// step. A symbolic link is followed: its target is replaced. Where the folder
// does not allow a new file (permission denied, read-only) but the target
// exists and is writable, the bytes are written into it in place instead:
// saved, though not atomically. Such temporaries that earlier saves left when
// they were killed halfway are removed after a successful save, unless a save
// is still writing them; nothing else is touched.
//
// Returns false, leaving the old file as it was (apart from a failure midway
// through a write in place), when the target exists but is not writable or
// when any step fails.
bool replaceFileContents(const NativeChar *path, const char *data, std::size_t size);

} // namespace platform
