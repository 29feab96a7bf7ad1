// Where the runtime and the product assemblies are looked for below the configured roots.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace morvax::host {

// Parses a runtime subdirectory name "netcore<major>.<minor>" (digits only on both sides
// of exactly one '.'). Other names give nothing; a number beyond 32 bits throws
// std::out_of_range("stoi argument out of range").
std::optional<std::pair<int, int>> ParseRuntimeDirName(const std::string& name);

// The newest "netcore<major>.<minor>" subdirectory of root that holds the wrapper library,
// walking from the highest version down; nothing when none qualifies.
std::optional<std::string> FindNewestRuntimeDir(const std::string& root, const std::string& wrapperFileName);

// Orders the assembly subdirectory names of one directory: every name except "pydrawing"
// in the reverse of the given order, then "pydrawing" where present.
std::vector<std::string> OrderAssemblySubdirectories(const std::vector<std::string>& names);

// The assembly search directories below a directory, in the order above. With debug,
// each entry is its "debug" subdirectory and is kept only where that exists.
std::vector<std::string> AssemblySubdirectories(const std::string& directory, bool debug);

// The list joined with ':' (no separator after the last entry, duplicates kept).
std::string JoinSearchPath(const std::vector<std::string>& directories);

}  // namespace morvax::host
