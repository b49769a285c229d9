#pragma once
// giflib reading through a TStream, for the GIF suites (giflib is their
// independent reader) and the codec benchmark (giflib is its peer):
//   TReadOnlyMemoryStream input(bytes.data(), int64_t(bytes.size()));
//   GifFileType* file = SlurpGiflib(input);

#include "platform/base/Stream.h"

#include <gif_lib.h>

inline int ReadGiflibInput(GifFileType* file, GifByteType* buffer, int count) {
    return int(static_cast<TStream*>(file->UserData)->Read(buffer, count));
}

// Opens the input and reads all of it; nullptr when giflib refuses it.  The
// caller closes the file with DGifCloseFile.
inline GifFileType* SlurpGiflib(TStream& input) {
    int error = 0;
    GifFileType* file = DGifOpen(&input, ReadGiflibInput, &error);
    if (file && DGifSlurp(file) != GIF_OK) {
        DGifCloseFile(file, &error);
        return nullptr;
    }
    return file;
}
