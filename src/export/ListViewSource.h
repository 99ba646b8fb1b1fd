#pragma once
// The list part of an export read from a report-view list control as it shows now.
#include <windows.h>

#include "export/FileListExport.h"

class CListCtrl;

// Fills `source`'s headings (each cut to 99 characters, as read into a 100-character buffer),
// row count and cell reader from `list`. Cells are read when written, in display order, so an
// owner-data list is asked through its parent like any paint would ask it; `list` must
// outlive the export.
void ReadListView(const CListCtrl& list, ExportSource& source);
