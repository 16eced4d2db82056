#pragma once
// Everything a memory-card page needs: the card layout, the file operations,
// the directory reader, titles and icons.

#include "common/memcard/card_layout.h"
#include "common/memcard/icon.h"
#include "common/memcard/memcard_file.h"
#include "common/memcard/memcard_ops.h"
#include "common/memcard/title_text.h"
