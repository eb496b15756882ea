# Settings of the Windows build cross-compiled with mingw-w64 (see
# scripts/build-windows.sh).

# Debian's host rcc compresses with zstd, which this Qt for Windows cannot
# read back; zlib it is.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

# The mingw-w64 runtime the executables and Qt's DLLs need beside them.
set(DW_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    get_filename_component(path "${path}" REALPATH)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "${dll} of mingw-w64 not found")
    endif()
    list(APPEND DW_MINGW_RUNTIME_DLLS "${path}")
endforeach()

# CTest runs the Windows executables through Wine, with Qt's and the runtime's
# DLLs on Wine's search path (Wine shows the Linux root as drive Z:).
set(dll_dirs "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
foreach(dll IN LISTS DW_MINGW_RUNTIME_DLLS)
    get_filename_component(dir "${dll}" DIRECTORY)
    list(APPEND dll_dirs "${dir}")
endforeach()
list(REMOVE_DUPLICATES dll_dirs)
list(TRANSFORM dll_dirs PREPEND "Z:")
list(JOIN dll_dirs ";" DW_WINEPATH)
string(REPLACE "/" "\\" DW_WINEPATH "${DW_WINEPATH}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
