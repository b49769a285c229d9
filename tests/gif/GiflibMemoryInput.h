#pragma once
// giflib reading from bytes in memory, for the GIF suites (giflib is their
// independent reader) and the codec benchmark (giflib is its peer):
//   GiflibMemoryInput input{&bytes, 0};
//   GifFileType* file = SlurpGiflibMemory(input);

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

struct GiflibMemoryInput {
    const std::vector<uint8_t>* Data;
    size_t Offset;
};

inline int ReadGiflibMemory(GifFileType* file, GifByteType* buffer, int count) {
    auto* input = static_cast<GiflibMemoryInput*>(file->UserData);
    const size_t n = std::min<size_t>(size_t(count), input->Data->size() - input->Offset);
    std::memcpy(buffer, input->Data->data() + input->Offset, n);
    input->Offset += n;
    return int(n);
}

// Opens the input and reads all of it; nullptr when giflib refuses it.  The
// caller closes the file with DGifCloseFile.
inline GifFileType* SlurpGiflibMemory(GiflibMemoryInput& input) {
    int error = 0;
    GifFileType* file = DGifOpen(&input, ReadGiflibMemory, &error);
    if (file && DGifSlurp(file) != GIF_OK) {
        DGifCloseFile(file, &error);
        return nullptr;
    }
    return file;
}
