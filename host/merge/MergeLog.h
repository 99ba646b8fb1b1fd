#pragma once
// For tests: every accepted merge request, one line each, appended as UTF-8 to the file named by
// LINEAGE_MERGE_LOG: the vault name, the count, then branchDocId/branchFolderId per record,
// separated by tabs. Nothing is written when the variable is unset.
#include <string>

#include "contracts/MergeComponent.h"

void AppendToMergeLog(const std::wstring& vaultName, const MergeSelection* items, long count);
