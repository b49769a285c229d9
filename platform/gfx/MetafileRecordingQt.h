#pragma once
// The toolkit side of a metafile's recording, for the two readers.

#include "platform/gfx/MetafileRecording.h"

#include <QPicture>
#include <QRectF>

struct TMetafileRecording::TQt {
    QPicture Picture;
    // The part of the recording's units that the picture's own size shows.
    QRectF Frame;
};
