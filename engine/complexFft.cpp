#include "engine/complexFft.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int MaxThreads = 4;
constexpr double ThreadedFromDoubles = 131072.0;

// The table covers the largest complex length L it was built for: w holds cos and sin of
// 2 pi k / L for k < L / 4, from which the butterflies of any length up to L take their factors.
struct TwiddleTable {
    const double* w;
    int length; // the largest complex length the table serves
};

// exp(sign * 2 pi i * k / L) for 0 <= k < L / 2.
void twiddle(const TwiddleTable& table, int k, int sign, double* re, double* im)
{
    const int quarter = table.length / 4;
    double c;
    double s;
    if (quarter == 0) { // L = 2: only k = 0
        c = 1.0;
        s = 0.0;
    } else if (k < quarter) {
        c = table.w[2 * k];
        s = table.w[2 * k + 1];
    } else { // a quarter turn further: cos(x + pi/2) = -sin x, sin(x + pi/2) = cos x
        c = -table.w[2 * (k - quarter) + 1];
        s = table.w[2 * (k - quarter)];
    }
    *re = c;
    *im = sign * s;
}

void buildTable(int length, int* ip, double* w)
{
    ip[0] = length / 2; // doubles in w, as the size check of later calls reads it
    ip[1] = length;
    for (int k = 0; k < length / 4; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / length;
        w[2 * k] = std::cos(angle);
        w[2 * k + 1] = std::sin(angle);
    }
}

// In-place radix-2 transform of n complex values (interleaved), decimation in time.
void transform1d(double* a, int n, int sign, const TwiddleTable& table)
{
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(a[2 * i], a[2 * j]);
            std::swap(a[2 * i + 1], a[2 * j + 1]);
        }
    }
    for (int span = 1; span < n; span <<= 1) {
        const int step = table.length / (2 * span);
        for (int k = 0; k < span; ++k) {
            double wr;
            double wi;
            twiddle(table, k * step, sign, &wr, &wi);
            for (int start = k; start < n; start += 2 * span) {
                double* even = a + 2 * start;
                double* odd = a + 2 * (start + span);
                const double re = odd[0] * wr - odd[1] * wi;
                const double im = odd[0] * wi + odd[1] * wr;
                odd[0] = even[0] - re;
                odd[1] = even[1] - im;
                even[0] += re;
                even[1] += im;
            }
        }
    }
}

struct Transform2d {
    int rows;
    int columns; // complex columns, rowLen / 2
    int sign;
    double** a;
    TwiddleTable table;
};

void transformRows(const Transform2d& f, int first, int stride)
{
    for (int r = first; r < f.rows; r += stride)
        transform1d(f.a[r], f.columns, f.sign, f.table);
}

// Gathers groups of `groupSize` complex columns into `scratch`, transforms them and scatters
// them back; group g is handled when g = first (mod stride).
void transformColumns(const Transform2d& f, int groupSize, int first, int stride, double* scratch)
{
    const int groups = f.columns / groupSize;
    for (int g = first; g < groups; g += stride) {
        const int column = g * groupSize;
        for (int c = 0; c < groupSize; ++c) {
            double* line = scratch + std::size_t(2) * f.rows * c;
            for (int r = 0; r < f.rows; ++r) {
                line[2 * r] = f.a[r][2 * (column + c)];
                line[2 * r + 1] = f.a[r][2 * (column + c) + 1];
            }
            transform1d(line, f.rows, f.sign, f.table);
            for (int r = 0; r < f.rows; ++r) {
                f.a[r][2 * (column + c)] = line[2 * r];
                f.a[r][2 * (column + c) + 1] = line[2 * r + 1];
            }
        }
    }
}

// Runs body(k) for k = 0 .. count - 1 on threads of their own and waits for them. Returns true
// when a thread could not be started; the threads that did start are waited for.
template <typename Body> bool runOnThreads(int count, Body body)
{
    std::vector<std::thread> threads;
    bool failed = false;
    try {
        threads.reserve(std::size_t(count));
        for (int k = 0; k < count; ++k)
            threads.emplace_back(body, k);
    } catch (const std::system_error&) {
        failed = true;
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    for (std::thread& thread : threads)
        thread.join();
    return failed;
}

} // namespace

std::size_t complexFftIndexSize(int rows, int rowLen)
{
    return std::size_t(std::sqrt(double(std::max(rows, rowLen / 2)) + 0.5)) + 2;
}

std::size_t complexFftTableSize(int rows, int rowLen)
{
    return std::size_t(std::max(rows / 2, rowLen / 4)) + 2;
}

std::size_t complexFftScratchSize(int rows)
{
    return std::size_t(8) * MaxThreads * rows;
}

bool complexFft2d(int rows, int rowLen, int isgn, double** a, double* t, int* ip, double* w)
{
    const int columns = rowLen / 2;
    if (rows < 1 || columns < 1)
        return true;
    const int longest = std::max(rows, columns);
    if (longest > 2 * ip[0])
        buildTable(longest, ip, w);
    const Transform2d f {rows, columns, isgn >= 0 ? 1 : -1, a, {w, ip[1]}};

    double* scratch = t;
    if (!scratch) {
        scratch = static_cast<double*>(std::malloc(complexFftScratchSize(rows) * sizeof(double)));
        if (!scratch)
            return true;
    }

    // Columns in groups of 4, or fewer when the array is narrow.
    const int groupSize = rowLen > 16 ? 4 : (rowLen == 16 ? 2 : 1);
    bool failed = false;
    if (double(rows) * rowLen >= ThreadedFromDoubles) {
        const int rowThreads = std::min(MaxThreads, rows);
        failed = runOnThreads(rowThreads, [&](int k) { transformRows(f, k, rowThreads); });
        const int columnThreads = rowLen >= 16 ? MaxThreads : columns;
        const std::size_t slice = std::size_t(2) * rows * groupSize;
        if (!failed)
            failed = runOnThreads(columnThreads, [&](int k) {
                transformColumns(f, groupSize, k, columnThreads, scratch + slice * k);
            });
    } else {
        transformRows(f, 0, 1);
        transformColumns(f, groupSize, 0, 1, scratch);
    }
    if (!t)
        std::free(scratch);
    return failed;
}

int* allocateInts(std::size_t count)
{
    return static_cast<int*>(std::calloc(count, sizeof(int)));
}

double* allocateDoubles(std::size_t count)
{
    return static_cast<double*>(std::calloc(count, sizeof(double)));
}

namespace {

template <typename Value> Value** allocate2d(std::size_t height, std::size_t width)
{
    auto** rows
        = static_cast<Value**>(std::malloc(std::max<std::size_t>(height, 1) * sizeof(Value*)));
    auto* block
        = static_cast<Value*>(std::calloc(std::max<std::size_t>(height * width, 1), sizeof(Value)));
    if (!rows || !block) {
        std::free(rows);
        std::free(block);
        return nullptr;
    }
    rows[0] = block; // also for no rows, so the release finds the block
    for (std::size_t r = 0; r < height; ++r)
        rows[r] = block + r * width;
    return rows;
}

template <typename Value> void free2d(Value** rows)
{
    if (!rows)
        return;
    std::free(rows[0]);
    std::free(rows);
}

} // namespace

double** allocateDoubles2d(std::size_t height, std::size_t width)
{
    return allocate2d<double>(height, width);
}

float** allocateFloats2d(std::size_t height, std::size_t width)
{
    return allocate2d<float>(height, width);
}

void freeInts(int* values)
{
    std::free(values);
}
void freeDoubles(double* values)
{
    std::free(values);
}
void freeDoubles2d(double** rows)
{
    free2d(rows);
}
void freeFloats2d(float** rows)
{
    free2d(rows);
}
