#pragma once
// How paths are written on this system and where its files go: the program's own folder, the
// user's configuration and state folders, and a library's file name; and the program's words as
// UTF-8, paths among them. Paths are UTF-8.
//
// POSIX: $XDG_CONFIG_HOME and $XDG_STATE_HOME, else under $HOME; the program's folder from
// /proc/self/exe. Windows: %APPDATA% and %LOCALAPPDATA%; the words from CommandLineToArgvW.
// Not provided: a system-wide configuration place.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The words of this program's command line, `argv[0]` first, in UTF-8 (on Windows read from the
// wide-character command line: `argv` there holds the words in the system's narrow code page).
std::vector<std::string> programWords(int argc, char** argv);

// `path` as the standard library's file streams and file system functions take it.
std::filesystem::path filePath(const std::string& path);

// The characters that end a folder's name in a path ("/"; on Windows "/" and "\").
std::string_view pathSeparators();

// The separator this system puts between folders in the paths it makes.
char pathSeparator();

// True when `path` does not depend on the current folder.
bool isAbsolutePath(std::string_view path);

// The folder this program's file is in; "." when the system cannot tell.
std::string programFolder();

// The file name of the shared library `name`: "libname.so"; on Windows "name.dll".
std::string libraryFileName(std::string_view name);

// `name` in the program's folder `folder` of the user's configuration: $XDG_CONFIG_HOME/`folder`,
// else $HOME/.config/`folder`; on Windows %APPDATA%\`folder`. Empty when no such folder is known.
std::string userConfigFile(std::string_view folder, std::string_view name);

// Where userConfigFile looks, as a help text says it: "$XDG_CONFIG_HOME/`folder`/`name` (else
// ~/.config/`folder`/`name`)"; on Windows "%APPDATA%\`folder`\`name`".
std::string userConfigPlace(std::string_view folder, std::string_view name);

// `name` in the program's folder `folder` of the user's state: $XDG_STATE_HOME/`folder`, else
// $HOME/.local/state/`folder`; on Windows %LOCALAPPDATA%\`folder`. Empty when none is known.
std::string userStateFile(std::string_view folder, std::string_view name);

} // namespace platform
