#pragma once
#include <filesystem>

namespace lineage_test {

// The project's source folder (LINEAGE_SOURCE_DIR, set by ctest) as a Windows path; empty
// when the variable is not set.
std::filesystem::path SourceFolder();

} // namespace lineage_test
