#include "view/checkerboard.h"

#include <cstdint>

void blendCheckerboard(ImageBuffer* target, const ImageBuffer* alpha)
{
    if (!target->data || !alpha->data || target->bitsPerChannel != 8 || target->channels != 3
        || alpha->bitsPerChannel != 8 || alpha->channels != 1 || alpha->width < target->width
        || alpha->height < target->height)
        return;
    for (int y = 0; y < target->height; ++y) {
        std::uint8_t* pixel = target->data + std::int64_t(y) * target->stride;
        const std::uint8_t* weight = alpha->data + std::int64_t(y) * alpha->stride;
        const int rowSquare = y / CheckerSquare;
        for (int x = 0; x < target->width; ++x, pixel += 3) {
            const unsigned m = weight[x];
            if (m == 255)
                continue; // (q * 255 + 0) / 255 == q
            const unsigned c = (((x / CheckerSquare) ^ rowSquare) & 1) ? CheckerLight : CheckerDark;
            const unsigned under = (255 - m) * c;
            for (int i = 0; i < 3; ++i)
                pixel[i] = std::uint8_t((pixel[i] * m + under) / 255);
        }
    }
}
