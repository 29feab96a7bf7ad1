// The few operating-system services the runtime host needs: environment, paths, directories.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvax::host {

// The value of an environment variable; absent and empty both count as not set.
std::optional<std::string> ReadEnvironment(const std::string& name);

// Joins a path component to a base with one '/' between them. An empty base gives the
// component itself. Throws std::length_error when the result would not fit a path buffer.
std::string AppendPath(const std::string& base, const std::string& component);

// Everything before the file name, including the trailing '/'; a path without a
// directory part is returned whole.
std::string DirectoryPart(const std::string& path);

// Full path of the process's executable (not of this module).
std::string ExecutablePath();

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Names of the subdirectories of a directory, in enumeration order, without "." and "..".
// A directory that cannot be read has none.
std::vector<std::string> ListSubdirectories(const std::string& directory);

// Throws std::range_error("bad conversion") unless the text is well-formed UTF-8.
void RequireUtf8(const std::string& text);

}  // namespace morvax::host
