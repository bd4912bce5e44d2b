#include "view/resample.h"

#include "view/bilinearBlend.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double NearestMargin = 0.01;
constexpr double BilinearMargin = 0.51;

// How a resampler reads the source: the margin of its accepted source points, the shift applied
// before the conversion to fixed point, and the highest 16.16 values whose reads stay inside the
// source (the lowest is 0 for both resamplers).
struct Frame {
    double margin;
    double originShift;
    double sourceWidth;
    double sourceHeight;
    std::int64_t maxX;
    std::int64_t maxY;
    int rowWidth;
};

// Target columns [lo, hi) of one row.
struct Span {
    int lo;
    int hi;
};

// A run of target pixels to draw: its first column, length and 16.16 start values.
struct Run {
    int first;
    int count;
    std::int64_t x;
    std::int64_t y;
};

bool strictlyInside(double value, double margin, double size)
{
    return margin < value && value < size - margin;
}

bool accepted(double value, double margin, double size)
{
    return margin <= value && value < size - margin;
}

// Narrows [lo, hi) to the columns where coordinate p = p0 + column * pStep is accepted, taking
// an entry or exit only where the other coordinate q is accepted there too. The columns stay
// doubles until they are known to lie inside the row.
void narrowSpan(double& lo, double& hi, double p0, double pStep, double pSize, double q0,
    double qStep, double qSize, double margin)
{
    if (pStep > 0) {
        double entry = std::ceil((margin - p0) / pStep);
        if (0 < entry && entry < hi && accepted(q0 + entry * qStep, margin, qSize))
            lo = entry;
        double exit = std::ceil((pSize - margin - p0) / pStep);
        if (lo < exit && exit < hi && accepted(q0 + (exit - 1) * qStep, margin, qSize))
            hi = exit;
    } else if (pStep < 0) {
        // p falls along the row: both edges are crossed from above.
        double entry = std::floor((pSize - margin - p0) / pStep) + 1;
        if (0 < entry && entry < hi && accepted(q0 + entry * qStep, margin, qSize))
            lo = entry;
        double exit = std::floor((margin - p0) / pStep) + 1;
        if (lo < exit && exit < hi && accepted(q0 + (exit - 1) * qStep, margin, qSize))
            hi = exit;
    }
}

// The columns of the row starting at source point (sx0, sy0) whose source points are accepted,
// found in doubles from the row's ends; empty when the row misses the image.
Span rowSpan(double sx0, double sy0, const ViewTransform& transform, const Frame& frame)
{
    const double m = frame.margin;
    const double last = frame.rowWidth - 1;
    const double sxLast = sx0 + last * transform.scaleCos;
    const double syLast = sy0 + last * transform.scaleSin;
    const bool firstInside
        = strictlyInside(sx0, m, frame.sourceWidth) && strictlyInside(sy0, m, frame.sourceHeight);
    const bool lastInside = strictlyInside(sxLast, m, frame.sourceWidth)
        && strictlyInside(syLast, m, frame.sourceHeight);
    if (firstInside && lastInside)
        return {0, frame.rowWidth};

    double lo = 0;
    double hi = frame.rowWidth;
    narrowSpan(lo, hi, sx0, transform.scaleCos, frame.sourceWidth, sy0, transform.scaleSin,
        frame.sourceHeight, m);
    if (transform.scaleSin != 0)
        narrowSpan(lo, hi, sy0, transform.scaleSin, frame.sourceHeight, sx0, transform.scaleCos,
            frame.sourceWidth, m);
    if ((!firstInside && lo < 1) || (!lastInside && hi == frame.rowWidth))
        return {0, 0};
    return {int(lo), int(hi)};
}

// truncate(v * 65536 + 0.5) when it fits 32 bits.
bool toFixed(double v, std::int64_t* fixed)
{
    const double scaled = v * 65536.0 + 0.5;
    if (!(scaled > -2147483649.0 && scaled < 2147483648.0))
        return false;
    *fixed = std::int64_t(scaled);
    return true;
}

bool fits32(std::int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

// Narrows the steps [k0, k1) to those where start + k * step lies in [0, maxValue]. The 16.16
// step is rounded, so its error adds up along a row (up to half a unit per pixel) and can carry
// the last columns of a long run past a source edge that the span, found in doubles, respects.
void keepInside(std::int64_t start, std::int64_t step, std::int64_t maxValue, std::int64_t& k0,
    std::int64_t& k1)
{
    if (step > 0) {
        k0 = std::max(k0, ceilDiv(-start, step));
        k1 = std::min(k1, floorDiv(maxValue - start, step) + 1);
    } else if (step < 0) {
        k0 = std::max(k0, ceilDiv(start - maxValue, -step));
        k1 = std::min(k1, floorDiv(start, -step) + 1);
    } else if (start < 0 || start > maxValue) {
        k1 = k0;
    }
}

// The run of one row, in fixed point; false when nothing of the row is drawn.
bool rowRun(double sx0, double sy0, const ViewTransform& transform, const Frame& frame,
    std::int64_t stepX, std::int64_t stepY, Run* run)
{
    const Span span = rowSpan(sx0, sy0, transform, frame);
    if (span.lo >= span.hi)
        return false;
    const double sx = sx0 + span.lo * transform.scaleCos - frame.originShift;
    const double sy = sy0 + span.lo * transform.scaleSin - frame.originShift;
    std::int64_t x0;
    std::int64_t y0;
    if (!toFixed(sx, &x0) || !toFixed(sy, &y0))
        return false;
    const std::int64_t count = span.hi - span.lo;
    if (!fits32(x0 + (count - 1) * stepX) || !fits32(y0 + (count - 1) * stepY))
        return false;
    std::int64_t k0 = 0;
    std::int64_t k1 = count;
    keepInside(x0, stepX, frame.maxX, k0, k1);
    keepInside(y0, stepY, frame.maxY, k0, k1);
    if (k0 >= k1)
        return false;
    *run = {span.lo + int(k0), int(k1 - k0), x0 + k0 * stepX, y0 + k0 * stepY};
    return true;
}

// Calls drawRun(targetPixel, run, stepX, stepY) for every row of the target that shows part of
// the source. Rows start at (offsetX, offsetY) and move by (-scaleSin, +scaleCos), accumulated.
template <typename DrawRun>
void resampleRows(
    ImageBuffer* target, const ViewTransform& transform, const Frame& frame, DrawRun drawRun)
{
    if (!std::isfinite(transform.offsetX) || !std::isfinite(transform.offsetY)
        || !std::isfinite(transform.scaleCos) || !std::isfinite(transform.scaleSin))
        return;
    std::int64_t stepX;
    std::int64_t stepY;
    if (!toFixed(transform.scaleCos, &stepX) || !toFixed(transform.scaleSin, &stepY))
        return;
    double sx0 = transform.offsetX;
    double sy0 = transform.offsetY;
    for (int y = 0; y < target->height; ++y) {
        Run run;
        if (rowRun(sx0, sy0, transform, frame, stepX, stepY, &run)) {
            std::uint8_t* out = target->data + std::int64_t(y) * target->stride
                + std::int64_t(run.first) * target->channels;
            drawRun(out, run, stepX, stepY);
        }
        sx0 += -transform.scaleSin;
        sy0 += transform.scaleCos;
    }
}

// The accumulators are 64-bit only so that the step past a run's last pixel cannot overflow;
// every value read is a 32-bit 16.16 value, checked per row.
template <int Channels>
void nearestRun(std::uint8_t* out, const ImageBuffer* source, const Run& run, std::int64_t stepX,
    std::int64_t stepY)
{
    const std::uint8_t* data = source->data;
    const std::int64_t stride = source->stride;
    std::int64_t x = run.x;
    std::int64_t y = run.y;
    if (stepY == 0) {
        const std::uint8_t* row = data + (y >> 16) * stride;
        for (int i = 0; i < run.count; ++i, out += Channels, x += stepX) {
            const std::uint8_t* pixel = row + (x >> 16) * Channels;
            for (int c = 0; c < Channels; ++c)
                out[c] = pixel[c];
        }
        return;
    }
    for (int i = 0; i < run.count; ++i, out += Channels, x += stepX, y += stepY) {
        const std::uint8_t* pixel = data + (y >> 16) * stride + (x >> 16) * Channels;
        for (int c = 0; c < Channels; ++c)
            out[c] = pixel[c];
    }
}

template <int Channels>
inline void bilinearPixel(std::uint8_t* out, const std::uint8_t* top, const std::uint8_t* bottom,
    std::int32_t fx, std::int32_t fy)
{
    for (int c = 0; c < Channels; ++c) {
        const std::int32_t upper = lerp16(top[c], top[c + Channels], fx);
        const std::int32_t lower = lerp16(bottom[c], bottom[c + Channels], fx);
        out[c] = std::uint8_t(lerp16(upper, lower, fy));
    }
}

// Bilinear runs in any direction, pixel by pixel.
template <int Channels>
void bilinearRun(std::uint8_t* out, const ImageBuffer* source, const Run& run, std::int64_t stepX,
    std::int64_t stepY)
{
    const std::uint8_t* data = source->data;
    const std::int64_t stride = source->stride;
    std::int64_t x = run.x;
    std::int64_t y = run.y;
    for (int i = 0; i < run.count; ++i, out += Channels, x += stepX, y += stepY) {
        const std::uint8_t* top = data + (y >> 16) * stride + (x >> 16) * Channels;
        bilinearPixel<Channels>(
            out, top, top + stride, std::int32_t(x & 0xFFFF), std::int32_t(y & 0xFFFF));
    }
}

// Bilinear runs of a view that is not turned (no y step). Every row of such a view reads the same
// source columns with the same fractions, so the horizontal pass of a source row is the same for
// every target row that reads it: it is done once into a row buffer and kept while the following
// rows read that source row (about zoom times when magnifying, twice at zoom 1). The vertical
// pass then runs over contiguous buffers. The arithmetic is bilinearPixel's, in the same order.
template <int Channels> class BilinearRows {
public:
    static constexpr int MaxCount = 4096; // longer runs go pixel by pixel

    explicit BilinearRows(const ImageBuffer* source)
        : source(source)
    {
    }

    void draw(std::uint8_t* out, const Run& run, std::int64_t stepX)
    {
        if (run.first != first || run.count != count || run.x != x) {
            first = run.first;
            count = run.count;
            x = run.x;
            rows[0].sourceRow = -1;
            rows[1].sourceRow = -1;
        }
        const std::int64_t sourceRow = run.y >> 16;
        Row* top = cachedRow(sourceRow);
        Row* bottom = cachedRow(sourceRow + 1);
        if (!top) {
            top = bottom == &rows[0] ? &rows[1] : &rows[0];
            blendRow(top, sourceRow, stepX);
        }
        if (!bottom) {
            bottom = top == &rows[0] ? &rows[1] : &rows[0];
            blendRow(bottom, sourceRow + 1, stepX);
        }
        blendRowsVertically(
            out, top->values, bottom->values, count * Channels, std::int32_t(run.y & 0xFFFF));
    }

private:
    struct Row {
        std::int64_t sourceRow = -1; // -1: holds nothing
        std::int16_t values[MaxCount * Channels + 1]; // one spare for the fast horizontal pass
    };

    Row* cachedRow(std::int64_t sourceRow)
    {
        for (Row& row : rows)
            if (row.sourceRow == sourceRow)
                return &row;
        return nullptr;
    }

    void blendRow(Row* row, std::int64_t sourceRow, std::int64_t stepX)
    {
        const std::uint8_t* pixels = source->data + sourceRow * source->stride;
        row->sourceRow = sourceRow;
        if constexpr (Channels == 3) {
            blendRowHorizontally3(row->values, pixels, count, x, stepX);
            return;
        }
        std::int16_t* values = row->values;
        std::int64_t value = x;
        for (int i = 0; i < count; ++i, values += Channels, value += stepX) {
            const std::uint8_t* pixel = pixels + (value >> 16) * Channels;
            const std::int32_t fx = std::int32_t(value & 0xFFFF);
            for (int c = 0; c < Channels; ++c)
                values[c] = std::int16_t(lerp16(pixel[c], pixel[c + Channels], fx));
        }
    }

    const ImageBuffer* source;
    int first = -1;
    int count = 0;
    std::int64_t x = 0;
    Row rows[2];
};

template <int Channels>
void resampleBilinearRows(ImageBuffer* target, const ImageBuffer* source,
    const ViewTransform& transform, const Frame& frame)
{
    BilinearRows<Channels> rows(source); // 2 x 24 KiB of row buffers for 3 channels, on the stack
    resampleRows(target, transform, frame,
        [source, &rows](std::uint8_t* out, const Run& run, std::int64_t stepX, std::int64_t stepY) {
            if (stepY == 0 && run.count <= BilinearRows<Channels>::MaxCount)
                rows.draw(out, run, stepX);
            else
                bilinearRun<Channels>(out, source, run, stepX, stepY);
        });
}

bool canResample(const ImageBuffer* target, const ImageBuffer* source)
{
    return target && source && target->data && source->data && target->bitsPerChannel == 8
        && source->bitsPerChannel == 8 && target->channels == source->channels
        && (target->channels == 1 || target->channels == 3) && target->width > 0
        && target->height > 0 && source->width > 0 && source->height > 0;
}

Frame frameFor(const ImageBuffer* target, const ImageBuffer* source, double margin,
    double originShift, int readWidth)
{
    // A read reaches readWidth pixels right and down of the fixed-point value's integer part.
    return {margin, originShift, double(source->width), double(source->height),
        std::int64_t(source->width - readWidth + 1) * 65536 - 1,
        std::int64_t(source->height - readWidth + 1) * 65536 - 1, target->width};
}

} // namespace

void resampleNearest(ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform)
{
    if (!canResample(target, source))
        return;
    const Frame frame = frameFor(target, source, NearestMargin, 0.0, 1);
    if (source->channels == 1)
        resampleRows(target, transform, frame,
            [source](std::uint8_t* out, const Run& run, std::int64_t stepX, std::int64_t stepY) {
                nearestRun<1>(out, source, run, stepX, stepY);
            });
    else
        resampleRows(target, transform, frame,
            [source](std::uint8_t* out, const Run& run, std::int64_t stepX, std::int64_t stepY) {
                nearestRun<3>(out, source, run, stepX, stepY);
            });
}

void resampleBilinear(
    ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform)
{
    if (!canResample(target, source))
        return;
    if (source->width < 2 || source->height < 2) {
        resampleNearest(target, source, transform);
        return;
    }
    const Frame frame = frameFor(target, source, BilinearMargin, 0.5, 2);
    if (source->channels == 1)
        resampleBilinearRows<1>(target, source, transform, frame);
    else
        resampleBilinearRows<3>(target, source, transform, frame);
}

void resampleImage(
    ImageBuffer* target, const ImageBuffer* source, const ViewTransform& transform, int mode)
{
    if (mode == BilinearResampling)
        resampleBilinear(target, source, transform);
    else
        resampleNearest(target, source, transform);
}
