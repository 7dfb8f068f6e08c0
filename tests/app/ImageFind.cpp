// Exits 0 when the PNG NEEDLE (or its part at X,Y of W by H) appears pixel
// for pixel somewhere in the PNG HAYSTACK (a compositor's screenshot holding
// the window), 1 otherwise. Usage: image_find HAYSTACK NEEDLE [X Y W H]
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {
bool MatchesAt(const QImage& hay, const QImage& needle, int x0, int y0)
{
    for (int y = 0; y < needle.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(hay.constScanLine(y0 + y)) + x0;
        const QRgb* b = reinterpret_cast<const QRgb*>(needle.constScanLine(y));
        for (int x = 0; x < needle.width(); ++x)
            if ((a[x] & 0xFFFFFFu) != (b[x] & 0xFFFFFFu)) return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 7) {
        std::fprintf(stderr, "usage: image_find HAYSTACK NEEDLE [X Y W H]\n");
        return 2;
    }
    const QImage hay = QImage(argv[1]).convertToFormat(QImage::Format_RGB32);
    QImage needle = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    if (argc == 7)
        needle = needle.copy(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    if (hay.isNull() || needle.isNull()) {
        std::fprintf(stderr, "image_find: cannot read the images\n");
        return 2;
    }
    for (int y = 0; y + needle.height() <= hay.height(); ++y)
        for (int x = 0; x + needle.width() <= hay.width(); ++x)
            if (MatchesAt(hay, needle, x, y)) {
                std::printf("found at %d,%d\n", x, y);
                return 0;
            }
    return 1;
}
