#pragma once

// Where things are on disk: the folder of the loaded module and the user's configuration folder.

#include <string>

// The folder of the shared library (or program) that contains this code, without a trailing
// slash; empty when it cannot be found.
std::string moduleDirectory();

// $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config (the home folder taken
// from the password database when HOME is unset).
std::string userConfigDirectory();

// Creates `path` and any missing parent folders. Returns true when the folder is not there
// afterwards.
[[nodiscard]] bool createDirectory(const std::string& path);
