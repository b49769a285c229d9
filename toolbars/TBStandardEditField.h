#pragma once
// The edit field of edit items in the program: the platform's standard
// single-line edit (TEdit) without a border, which keeps the item's letter
// case as the user types.  It is the field factory edit items use unless
// another one is installed (SetTBEditFieldFactory).

#include "toolbars/TBEditItem.h"

#include <memory>

std::unique_ptr<TTBEditField> MakeStandardEditField(TWinControl* parent);
