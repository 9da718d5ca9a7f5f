// The program's binary resources (bitmaps, world pictures), compiled in at
// build time from the files under resources/ that the folders' index.txt list.
#pragma once

#include <cstddef>

namespace OBResources {

struct EmbeddedFile {
    const wchar_t* type;  // "BITMAP", or a custom resource type such as "IMAGE"
    unsigned id;
    const unsigned char* bytes;
    std::size_t size;
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

}  // namespace OBResources
