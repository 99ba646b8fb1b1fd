#pragma once
// What the file-type icon lookups answer.

namespace icon_lookup {

// Icons found, valid for every file of the type.
constexpr int kForType = 0;
// Nothing found.
constexpr int kNone = 1;
// Icons found, or to be found, in each file: they differ per file.
constexpr int kPerFile = 2;

}  // namespace icon_lookup
