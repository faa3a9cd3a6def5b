// Undoes the conversions that a folder's restore_backup.bat lists as the script does: for each
// conversion whose backup is there, the backup over the page, then the backup and the sheets
// that no other conversion lists deleted; a sheet that several list goes at the end, with the
// script, once every copy succeeded.
#pragma once

#include "tests/support/scratch_folder.h"

void RestoreAsTheScriptDoes(const ScratchFolder& folder);
