#include "engine/complexFft.h"
#include "engine/pointSpread.h"
#include "image/catmullRom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Pixel {
    long long x;
    long long y;
};

struct Segment {
    CatmullRomCubic x;
    CatmullRomCubic y;
    Pixel at(double t) const
    {
        return {static_cast<long long>(std::floor(x.at(t) + 0.5)),
            static_cast<long long>(std::floor(y.at(t) + 0.5))};
    }
};

void setPixel(ImageBuffer* image, Pixel p)
{
    if (p.x >= 0 && p.x < image->width && p.y >= 0 && p.y < image->height)
        image->data[p.y * image->stride + p.x] = 255;
}

bool touching(Pixel a, Pixel b)
{
    return std::llabs(a.x - b.x) <= 1 && std::llabs(a.y - b.y) <= 1;
}

// Bisects [t0, t1] until neighbouring curve pixels touch, setting each midpoint's pixel. The
// depth bound only matters for curves whose coordinates are not finite.
void rasterise(
    ImageBuffer* image, const Segment& segment, double t0, Pixel p0, double t1, Pixel p1, int depth)
{
    if (touching(p0, p1) || depth > 60)
        return;
    const double middle = (t0 + t1) / 2.0;
    const Pixel pm = segment.at(middle);
    setPixel(image, pm);
    rasterise(image, segment, t0, p0, middle, pm, depth + 1);
    rasterise(image, segment, middle, pm, t1, p1, depth + 1);
}

int powerOfTwoAtLeast(int value)
{
    int size = 1;
    while (size < value)
        size <<= 1;
    return size;
}

// Everything the convolution of the curve with the spot needs; released on every path.
struct MotionWork {
    ImageBuffer line {};
    double* spot = nullptr;
    float** spotLayout = nullptr; // the spot placed on the line's power-of-two canvas
    float** curve = nullptr; // the drawn curve on the same canvas
    double** spotSpectrum = nullptr; // the spot's spectrum
    double** curveSpectrum = nullptr; // the curve's spectrum, then the convolution
    int* ip = nullptr;
    double* w = nullptr;
    double* scratch = nullptr;
    ~MotionWork()
    {
        releaseImage(&line);
        std::free(spot);
        freeFloats2d(spotLayout);
        freeFloats2d(curve);
        freeDoubles2d(spotSpectrum);
        freeDoubles2d(curveSpectrum);
        freeInts(ip);
        freeDoubles(w);
        freeDoubles(scratch);
    }
};

} // namespace

void drawMotionCurve(ImageBuffer* image, const MotionPoint* points, int count)
{
    for (int i = 0; i + 1 < count; ++i) {
        const MotionPoint& p0 = points[std::max(i - 1, 0)];
        const MotionPoint& p1 = points[i];
        const MotionPoint& p2 = points[i + 1];
        const MotionPoint& p3 = points[std::min(i + 2, count - 1)];
        const Segment segment {
            catmullRom(p0.x, p1.x, p2.x, p3.x), catmullRom(p0.y, p1.y, p2.y, p3.y)};
        const Pixel start = segment.at(0.0);
        const Pixel end = segment.at(1.0);
        setPixel(image, end);
        setPixel(image, start);
        rasterise(image, segment, 0.0, start, 1.0, end, 0);
    }
}

bool buildMotionKernel(DeblurParams* params, const MotionPoint* points, int count, double spread)
{
    if (params->importedKernel)
        return false;
    if (count <= 1)
        return true;

    std::vector<MotionPoint> shifted(points, points + count);
    double minX = shifted[0].x, maxX = shifted[0].x, minY = shifted[0].y, maxY = shifted[0].y;
    for (const MotionPoint& p : shifted) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return true;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // The curve keeps a margin of about 128 pixels on every side.
    const double originX = std::trunc(minX) - MotionKernelMargin;
    const double originY = std::trunc(minY) - MotionKernelMargin;
    const double lineWidth = std::trunc(maxX) - originX + MotionKernelMargin;
    const double lineHeight = std::trunc(maxY) - originY + MotionKernelMargin;
    if (lineWidth > MaxMotionKernelSize || lineHeight > MaxMotionKernelSize)
        return true;
    for (MotionPoint& p : shifted) {
        p.x -= originX;
        p.y -= originY;
    }

    MotionWork work;
    if (allocateImage(&work.line, int(lineWidth), int(lineHeight), 1, 8) != 0)
        return true;
    clearImage(&work.line);
    drawMotionCurve(&work.line, shifted.data(), count);

    work.spot = static_cast<double*>(std::calloc(std::size_t(SpotSize) * SpotSize, sizeof(double)));
    if (!work.spot)
        return true;
    exponentialKernel(work.spot, SpotSize, spread);

    // The convolution's canvas: the drawn line's size rounded up to powers of two.
    const int width = powerOfTwoAtLeast(work.line.width);
    const int height = powerOfTwoAtLeast(work.line.height);
    const int rowLen = 2 * width;
    work.spotLayout = allocateFloats2d(std::size_t(height), std::size_t(width));
    work.curve = allocateFloats2d(std::size_t(height), std::size_t(width));
    work.spotSpectrum = allocateDoubles2d(std::size_t(height), std::size_t(rowLen));
    work.curveSpectrum = allocateDoubles2d(std::size_t(height), std::size_t(rowLen));
    work.ip = allocateInts(complexFftIndexSize(height, rowLen));
    work.w = allocateDoubles(complexFftTableSize(height, rowLen));
    work.scratch = allocateDoubles(complexFftScratchSize(height));
    if (!work.spotLayout || !work.curve || !work.spotSpectrum || !work.curveSpectrum || !work.ip
        || !work.w || !work.scratch)
        return true;
    // A kernel built while a stop was requested would be empty; report it as not built.
    if (params->abort.requested())
        return true;

    // The spot with its centre moved to the origin, wrapping around the edges.
    constexpr int half = SpotSize / 2;
    for (int dy = -half; dy < half; ++dy) {
        for (int dx = -half; dx < half; ++dx)
            work.spotLayout[(dy + height) % height][(dx + width) % width]
                = float(work.spot[std::size_t(half + dy) * SpotSize + std::size_t(half + dx)]);
    }
    for (int y = 0; y < work.line.height; ++y) {
        const std::uint8_t* samples = work.line.data + std::int64_t(y) * work.line.stride;
        for (int x = 0; x < work.line.width; ++x)
            work.curve[y][x] = float(samples[x]);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            work.spotSpectrum[y][2 * x] = work.spotLayout[y][x];
            work.curveSpectrum[y][2 * x] = work.curve[y][x];
        }
    }

    // Circular convolution of the curve with the spot, scaled by height * width.
    work.ip[0] = 0;
    if (complexFft2d(height, rowLen, 1, work.spotSpectrum, work.scratch, work.ip, work.w)
        || complexFft2d(height, rowLen, 1, work.curveSpectrum, work.scratch, work.ip, work.w))
        return true;
    for (int y = 0; y < height; ++y) {
        double* b = work.curveSpectrum[y];
        const double* a = work.spotSpectrum[y];
        for (int x = 0; x < rowLen; x += 2) {
            const double re = b[x] * a[x] - b[x + 1] * a[x + 1];
            const double im = b[x] * a[x + 1] + b[x + 1] * a[x];
            b[x] = re;
            b[x + 1] = im;
        }
    }
    if (complexFft2d(height, rowLen, -1, work.curveSpectrum, work.scratch, work.ip, work.w))
        return true;

    float sum = 0.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            work.curve[y][x] = float(work.curveSpectrum[y][2 * x]);
            sum += work.curve[y][x];
        }
    }
    if (!(sum > 0.0f) || !std::isfinite(sum))
        return true;
    ImageBuffer kernel {};
    if (allocateImage(&kernel, width, height, 1, 32) != 0)
        return true;
    for (int y = 0; y < height; ++y) {
        auto* samples = reinterpret_cast<float*>(kernel.data + std::int64_t(y) * kernel.stride);
        for (int x = 0; x < width; ++x)
            samples[x] = work.curve[y][x] / sum;
    }
    params->kernel = OwnedImage();
    params->kernel.image = kernel;
    return false;
}
