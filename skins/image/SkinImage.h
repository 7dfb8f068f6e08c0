#pragma once
// CSkinImage: a decoded skin image held as our own 32-bit pixel buffer, the
// source and destination of the rectangle transfers that draw every keypad.
//
// Pixel layout: one uint32_t per pixel, 0x00RRGGBB (red in bits 16-23, green
// in 8-15, blue in 0-7, the top byte always 0). Rows are stored top-down,
// row y starting at Pixels() + y * Width(); there is no padding between rows.
// Black is 0x00000000 and white 0x00FFFFFF, so a mask area is "all bits 0"
// where a face is opaque and "all bits 1" where the background shows.
//
// No colour is transparent: decoders flatten any alpha over black, and
// transparency comes only from the mask areas inside the images.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class ERasterOp {
    Copy,  // destination = source
    Xor,   // destination = destination XOR source
    And,   // destination = destination AND source
};

class CSkinImage {
public:
    // Size limits: every decoder refuses a larger image before allocating.
    static constexpr int kMaxSide = 8192;
    static constexpr int64_t kMaxPixels = 16777216;  // 4096 x 4096

    static constexpr uint32_t kBlack = 0x00000000u;
    static constexpr uint32_t kWhite = 0x00FFFFFFu;

    CSkinImage() = default;
    ~CSkinImage();
    CSkinImage(const CSkinImage& other);
    CSkinImage& operator=(const CSkinImage& other);
    CSkinImage(CSkinImage&& other) noexcept;
    CSkinImage& operator=(CSkinImage&& other) noexcept;

    // True when width x height is a size Create accepts (both at least 1,
    // neither above kMaxSide, the product not above kMaxPixels).
    static bool SizeAllowed(int64_t width, int64_t height);

    // Allocates a width x height image filled with black. Returns 1, or 0
    // (and leaves the image empty) when the size is not allowed.
    int Create(int width, int height);
    // Releases the pixels; the image becomes empty (0 x 0).
    void Destroy();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_width == 0; }

    // Direct access; rows are Width() pixels, top-down. Null when empty.
    uint32_t* Pixels() { return m_data; }
    const uint32_t* Pixels() const { return m_data; }
    // Row y (0 <= y < Height(); not checked).
    uint32_t* Row(int y) { return m_data + static_cast<size_t>(y) * m_width; }
    const uint32_t* Row(int y) const { return m_data + static_cast<size_t>(y) * m_width; }

    // Checked pixel access: GetPixel returns 0 outside the image; SetPixel
    // ignores coordinates outside it. The top byte of the colour is dropped.
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t color);

    // Fills the rectangle (x, y, width, height), clipped to the image.
    void Fill(int x, int y, int width, int height, uint32_t color);

    // Rectangle transfer: combines the width x height area of src at (sx, sy)
    // into this image at (dx, dy) with op. The area is clipped at every edge
    // of both images (pixels outside either are skipped, the rest keep their
    // pairing); negative or zero sizes do nothing. src may be this image,
    // with overlapping areas: the result is as if the source were read first.
    void Transfer(int dx, int dy, int width, int height, const CSkinImage& src, int sx, int sy,
                  ERasterOp op);

    // Masked transfer in three transfers: XOR the source, AND the mask, XOR
    // the source again. Where the mask is white the destination is unchanged;
    // where it is black the destination becomes the source.
    void MaskedTransfer(int dx, int dy, int width, int height, const CSkinImage& src, int sx,
                        int sy, const CSkinImage& mask, int mx, int my);

private:
    int m_width = 0;
    int m_height = 0;
    uint32_t* m_data = nullptr;  // into m_pixels; null when empty
    std::vector<uint32_t> m_pixels;
};
