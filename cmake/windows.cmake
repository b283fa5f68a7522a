# What a Windows build needs beyond the toolchain file: library names as Windows has them, the
# compiler's runtime beside the programs, CLI11's and nlohmann-json's headers without the rest of
# the build machine's /usr/include, and the Wine prefix the tests run in.

# Volanko.dll and pluginsdk.dll, as a Windows host names and finds them; no import-library name
# clash, since those end in .dll.a.
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_SHARED_MODULE_PREFIX "")

# One C++ runtime for the whole process: the plug-in, the runtime DLL and the programs hand each
# other std::string, std::function, shared_ptr and exceptions, which is sound only when all of them
# use the same libstdc++ (its allocator, its type information, its unwinder). MinGW links it shared
# by default; its DLLs go beside the programs so that Windows finds them there.
foreach(runtime_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime_dll}
    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}")
    # The compiler names only the files of its own directory; winpthread sits in the target's root.
    find_file(runtime_path_${runtime_dll} ${runtime_dll} PATH_SUFFIXES lib bin REQUIRED)
    set(runtime_path ${runtime_path_${runtime_dll}})
  endif()
  file(COPY ${runtime_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
endforeach()

# CLI11 is headers only, so the build machine's copy serves; its folder alone is copied, because
# an include path of /usr/include would let Linux headers into Windows programs.
find_path(cli11_root CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${cli11_root}/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/cli11)

# nlohmann-json likewise: headers only, its folder copied from the build machine's.
find_path(nlohmann_json_root nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${nlohmann_json_root}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/nlohmann_json)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
  ${CMAKE_BINARY_DIR}/nlohmann_json)

# The tests' Wine prefix, made now rather than by the first test (it takes a few seconds).
if(CMAKE_CROSSCOMPILING_EMULATOR)
  message(STATUS "Preparing the Wine prefix for the tests")
  execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} RESULT_VARIABLE prefix_made)
  if(NOT prefix_made EQUAL 0)
    message(FATAL_ERROR "Wine could not make its prefix (${CMAKE_CROSSCOMPILING_EMULATOR})")
  endif()
endif()
