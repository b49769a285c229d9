#pragma once
// The item object of an image combo entry: what the entries of such a
// combo box hold as the objects of their item list.  It carries nothing
// of its own; the program has no image combo box, only the item and the
// accessor below.

#include "platform/base/Strings.h"

class TPTImageComboItem {
public:
    TPTImageComboItem();
    virtual ~TPTImageComboItem();
    TPTImageComboItem(const TPTImageComboItem&) = delete;
    TPTImageComboItem& operator=(const TPTImageComboItem&) = delete;
};

// The item object of entry `index` of a combo's item list: nullptr when
// the entry has none; EInvalidCast when its object is anything other
// than a living TPTImageComboItem; EStringListError for an index outside
// the list.
TPTImageComboItem* ImageComboItemOf(const TStrings& items, int index);
