#pragma once
// Enhanced metafiles (.emf) played record by record onto a painter of ours,
// as the system that makes them plays them: the device context (mapping
// modes, window and viewport, world transform, objects, paths, clipping,
// saved states), shapes, text, bitmaps and pattern brushes.  EMF+ records
// (in comments) are left to the EMF records that come with them, as that
// system's own player does.  (Windows metafiles: WmfPlayer.h.)

#include "platform/gfx/MetafileRecording.h"

#include <memory>
#include <string_view>

// What the data starts with: the header record with its signature.
bool IsEnhancedMetafile(std::string_view data);

// Plays the metafile once.  Raises EInvalidGraphic "Metafile is not valid"
// for data that is no enhanced metafile, has no size, or holds a record
// whose size or contents reach past the bytes the data holds.
std::unique_ptr<TMetafileRecording> PlayEnhancedMetafile(std::string_view data);
