# `cmake --build build --target format` rewrites every source in place;
# `--target format-check` fails when a file is not clang-format clean.
find_program(CLANG_FORMAT_EXE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXE)
    file(GLOB_RECURSE DW_FORMAT_SOURCES CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h
        ${CMAKE_SOURCE_DIR}/tests/*.cpp ${CMAKE_SOURCE_DIR}/tests/*.h
        ${CMAKE_SOURCE_DIR}/tools/*.cpp ${CMAKE_SOURCE_DIR}/tools/*.h
        ${CMAKE_SOURCE_DIR}/bench/*.cpp ${CMAKE_SOURCE_DIR}/bench/*.h
        ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
    add_custom_target(format COMMAND ${CLANG_FORMAT_EXE} -i ${DW_FORMAT_SOURCES}
        COMMENT "clang-format" VERBATIM)
    add_custom_target(format-check COMMAND ${CLANG_FORMAT_EXE} --dry-run --Werror ${DW_FORMAT_SOURCES}
        COMMENT "clang-format check" VERBATIM)
endif()
