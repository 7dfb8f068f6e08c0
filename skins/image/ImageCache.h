#pragma once
// Decoded skin images kept on disk. A start then reads the pixels of the
// images it decoded last time instead of decoding them again, the largest
// part of building the first keypad. An entry is used only while its image
// file has the same size, time and inode as when it was decoded and its
// checksum holds; anything else (a missing, foreign, short, damaged or stale
// entry) is decoded again and the entry rewritten. The pixels are copied,
// so nothing done to an entry later reaches an image in use. Entries are
// written whole under a temporary name and renamed into place, so a reader
// never sees half of one.

#include <cstdint>
#include <string>

#include "skins/image/SkinImage.h"

// The cache is bounded: an entry unused for kSkinImageCacheDays goes, and so
// do the longest unused ones while all take more than kSkinImageCacheBytes.
constexpr int64_t kSkinImageCacheDays = 30;
constexpr uint64_t kSkinImageCacheBytes = 10u << 20;

// The folder of the entries; empty (the default) keeps no cache, and
// LoadSkinImageFile then only decodes. Created when first written. Setting
// it prunes what is there (PruneSkinImageCache).
void SetSkinImageCacheFolder(const std::string& folder);

// Removes the entries (and left-over temporary files) of the folder that
// were not used for kSkinImageCacheDays, then the longest unused ones while
// the rest take more than maxBytes on disk; an entry read or written since
// the folder was set stays. Also run after each entry written.
void PruneSkinImageCache(uint64_t maxBytes = kSkinImageCacheBytes);
// Removes the entries of a cache folder no longer used, and the folder when
// nothing else is in it.
void RemoveSkinImageCache(const std::string& folder);

// The image at path, from its cache entry when it is current, else decoded
// (as DecodeImageFile) and entered. 1 on success, 0 (out empty) otherwise;
// fromCache, when given, tells whether the pixels came from the entry.
int LoadSkinImageFile(const std::string& path, CSkinImage& out, bool* fromCache = nullptr);
