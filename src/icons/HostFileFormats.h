#pragma once
// The host product's own file formats.

// The formats as one string, each between bars: "|bfprt|prt|...|".
extern const wchar_t kHostFileFormats[];

// True when `extension` (without the dot, letter case as given) is one of the host's own
// formats. Their icon handlers are never loaded: the host's icons come from "DefaultIcon".
bool IsHostFileFormat(const wchar_t* extension);
