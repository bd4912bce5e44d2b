#include "view/bilinearBlend.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

#ifdef __SSE2__
// lerp16 on eight lanes. SSE2 multiplies 16-bit lanes only, signed, so the 32-bit product
// P = d * f (d signed, f unsigned) is rebuilt from its halves: the high half of d times f read as
// signed, plus d where f's top bit is set (f = signed f + 65536); then
// (P + 32768) >> 16 = high half + (low half >= 32768).
__m128i lerp16x8(__m128i a, __m128i b, __m128i f)
{
    const __m128i d = _mm_sub_epi16(b, a);
    const __m128i topBitSet = _mm_srai_epi16(f, 15);
    const __m128i high = _mm_add_epi16(_mm_mulhi_epi16(d, f), _mm_and_si128(d, topBitSet));
    const __m128i roundUp = _mm_srli_epi16(_mm_mullo_epi16(d, f), 15);
    return _mm_add_epi16(a, _mm_add_epi16(high, roundUp));
}

// Four bytes as the low 16-bit lanes of a vector.
std::uint32_t load4(const std::uint8_t* bytes)
{
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}
#endif

} // namespace

void blendRowHorizontally3(
    std::int16_t* values, const std::uint8_t* row, int count, std::int64_t start, std::int64_t step)
{
    int i = 0;
    std::int64_t x = start;
#ifdef __SSE2__
    // Two pixels a step: the six bytes a0 a1 a2 b0 b1 b2 of each are read as two overlapping
    // words, bytes 0-3 and 2-5, so nothing past the right neighbour is touched.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 2 <= count; i += 2) {
        const std::uint8_t* p0 = row + (x >> 16) * 3;
        const short f0 = short(x & 0xFFFF);
        x += step;
        const std::uint8_t* p1 = row + (x >> 16) * 3;
        const short f1 = short(x & 0xFFFF);
        x += step;
        const __m128i left = _mm_unpacklo_epi8(
            _mm_set_epi32(0, 0, int(load4(p1)), int(load4(p0))), zero); // a0 a1 a2 b0 per pixel
        const __m128i shifted = _mm_unpacklo_epi8(
            _mm_set_epi32(0, 0, int(load4(p1 + 2)), int(load4(p0 + 2))), zero); // a2 b0 b1 b2
        const __m128i right = _mm_srli_epi64(shifted, 16); // b0 b1 b2 0 per pixel
        const __m128i f = _mm_set_epi16(f1, f1, f1, f1, f0, f0, f0, f0);
        const __m128i blended = lerp16x8(left, right, f);
        // Four samples per pixel; the fourth is overwritten by the next pixel or is the one past
        // the end.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(values + 3 * i), blended);
        _mm_storel_epi64(
            reinterpret_cast<__m128i*>(values + 3 * i + 3), _mm_srli_si128(blended, 8));
    }
#endif
    for (; i < count; ++i, x += step) {
        const std::uint8_t* pixel = row + (x >> 16) * 3;
        const std::int32_t f = std::int32_t(x & 0xFFFF);
        for (int c = 0; c < 3; ++c)
            values[3 * i + c] = std::int16_t(lerp16(pixel[c], pixel[c + 3], f));
    }
}

void blendRowsVertically(std::uint8_t* out, const std::int16_t* top, const std::int16_t* bottom,
    int samples, std::int32_t fy)
{
    int k = 0;
#ifdef __SSE2__
    const __m128i f = _mm_set1_epi16(short(fy));
    for (; k + 8 <= samples; k += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + k));
        const __m128i blended = lerp16x8(a, b, f);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(blended, blended));
    }
#endif
    for (; k < samples; ++k)
        out[k] = std::uint8_t(lerp16(top[k], bottom[k], fy));
}
