#pragma once
// Decoded skin images kept on disk. A start then reads the pixels of the
// images it decoded last time instead of decoding them again, the largest
// part of building the first keypad. An entry is used only while its image
// file has the same size, time and inode as when it was decoded and its
// checksum holds; anything else (a missing, foreign, short, damaged or stale
// entry) is decoded again and the entry rewritten. The pixels are copied,
// so nothing done to an entry later reaches an image in use. Entries are written whole under a temporary name and
// renamed into place, so a reader never sees half of one.

#include <string>

#include "skins/image/SkinImage.h"

// The folder of the entries; empty (the default) keeps no cache, and
// LoadSkinImageFile then only decodes. Created when first written.
void SetSkinImageCacheFolder(const std::string& folder);

// The image at path, from its cache entry when it is current, else decoded
// (as DecodeImageFile) and entered. 1 on success, 0 (out empty) otherwise;
// fromCache, when given, tells whether the pixels came from the entry.
int LoadSkinImageFile(const std::string& path, CSkinImage& out, bool* fromCache = nullptr);
