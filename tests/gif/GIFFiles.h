#pragma once
// Whole GIF files as bytes, shared by the GIF suites and the codec
// benchmark: the outside files present on this machine, a file read whole,
// and an image loaded from or saved to bytes.

#include "gif/GIFImage.h"
#include "tests/support/OutsideData.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The outside GIF files present on this machine (Debian package data, read
// where it is installed or unpacked), sorted by name.
inline std::vector<std::string> OutsideGifFiles() {
    namespace fs = std::filesystem;
    const char* roots[] = {
        "/usr/share/apache2/icons",                       // apache2-data
        "/usr/share/xml/docbook/stylesheet/docbook-xsl",  // docbook-xsl
        "/usr/share/tcltk/tk8.6/images",                  // libtk8.6
        "/usr/share/qt6/doc/global/template/images",      // qt6-base-dev
        "/usr/share/javascript/jstree",                   // libjs-jquery-jstree
    };
    std::vector<std::string> files;
    for (const char* systemRoot : roots) {
        const std::string root = OutsideDataPath(systemRoot);
        std::error_code error;
        if (!fs::is_directory(root, error))
            continue;
        for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
             it.increment(error)) {
            if (it->is_regular_file(error) && it->path().extension() == ".gif")
                files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The file's bytes (the platform suites' ReadFile gives them as text).
inline Bytes ReadFileBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void LoadImage(TGIFImage& image, const Bytes& bytes) {
    TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    image.LoadFromStream(stream);
}

inline Bytes SaveImage(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return Bytes(stream.Memory(), stream.Memory() + stream.Size());
}
