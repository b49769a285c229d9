#pragma once
// What the tag inspector offers for an attribute's value: how the value is
// edited (typed, picked from a list, or set through a dialog behind the
// row's button) and the fixed values of the lists.  Names compare exactly:
// they are the upper-case names of the tag attribute file.

#include "platform/ui/ValueListEditor.h"

#include <string>
#include <vector>

// How an attribute's value is edited in a tag.
TEditStyle AttributeEditStyle(const std::string& tag, const std::string& attribute);

// The values offered for an attribute of a tag (one empty item where
// nothing fixed fits).
const std::vector<std::string>& AttributePickList(const std::string& tag, const std::string& attribute);

// The dialog behind a row's button.
enum class TAttributeDialog { None, Color, File, Text };
TAttributeDialog AttributeDialogOf(const std::string& tag, const std::string& attribute);
