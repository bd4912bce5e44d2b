#include "engine/complexFft.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

// A complex array with its work areas.
struct ComplexArray {
    int rows;
    int rowLen;
    double** a;
    std::vector<int> ip;
    std::vector<double> w;
    std::vector<double> t;

    ComplexArray(int rows, int rowLen)
        : rows(rows)
        , rowLen(rowLen)
        , a(allocateDoubles2d(std::size_t(rows), std::size_t(rowLen)))
        , ip(complexFftIndexSize(rows, rowLen), 0)
        , w(complexFftTableSize(rows, rowLen))
        , t(complexFftScratchSize(rows))
    {
    }
    ~ComplexArray() { freeDoubles2d(a); }
    bool transform(int sign)
    {
        return complexFft2d(rows, rowLen, sign, a, t.data(), ip.data(), w.data());
    }
    std::complex<double> at(int r, int c) const { return {a[r][2 * c], a[r][2 * c + 1]}; }
    void fill()
    {
        for (int r = 0; r < rows; ++r)
            for (int i = 0; i < rowLen; ++i)
                a[r][i] = std::sin(0.7 * r + 1.3 * i) + 0.25 * ((r * 7 + i * 3) % 5);
    }
};

TEST(ComplexFft, ImpulseTransformsToAllOnesEitherWay)
{
    for (int sign : {1, -1}) {
        ComplexArray array(8, 32);
        array.a[0][0] = 1.0;
        ASSERT_FALSE(array.transform(sign));
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 16; ++c)
                ASSERT_NEAR(std::abs(array.at(r, c) - std::complex<double>(1.0, 0.0)), 0.0, 1e-12);
    }
}

TEST(ComplexFft, MatchesTheDirectTransformOnSmallSizes)
{
    struct {
        int rows, rowLen;
    } const sizes[] = {{1, 2}, {2, 4}, {4, 16}, {8, 8}, {16, 64}};
    for (const auto& size : sizes) {
        for (int sign : {1, -1}) {
            ComplexArray array(size.rows, size.rowLen);
            array.fill();
            const int columns = size.rowLen / 2;
            std::vector<std::complex<double>> input;
            for (int r = 0; r < size.rows; ++r)
                for (int c = 0; c < columns; ++c)
                    input.push_back(array.at(r, c));
            ASSERT_FALSE(array.transform(sign));
            for (int k1 = 0; k1 < size.rows; ++k1) {
                for (int k2 = 0; k2 < columns; ++k2) {
                    std::complex<double> expected = 0.0;
                    for (int j1 = 0; j1 < size.rows; ++j1)
                        for (int j2 = 0; j2 < columns; ++j2)
                            expected += input[std::size_t(j1 * columns + j2)]
                                * std::polar(1.0,
                                    sign * 2.0 * std::numbers::pi
                                        * (double(j1 * k1) / size.rows
                                            + double(j2 * k2) / columns));
                    ASSERT_NEAR(std::abs(array.at(k1, k2) - expected), 0.0, 1e-9)
                        << size.rows << "x" << size.rowLen << " sign " << sign;
                }
            }
        }
    }
}

TEST(ComplexFft, ThreadedRoundTripScalesByTheElementCount)
{
    // 256 x 512 doubles reach the threaded passes; the tables built by the first call serve
    // the later ones.
    ComplexArray array(256, 512);
    array.fill();
    const std::vector<double> input(array.a[0], array.a[0] + 256 * 512);
    ASSERT_FALSE(array.transform(1));
    const int builtFor = array.ip[0];
    EXPECT_GT(builtFor, 0);
    ASSERT_FALSE(array.transform(-1));
    EXPECT_EQ(array.ip[0], builtFor);
    const double scale = 256.0 * 256.0;
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_NEAR(array.a[0][i] / scale, input[i], 1e-10) << i;

    // Without caller scratch the transform brings its own.
    ASSERT_FALSE(complexFft2d(256, 512, 1, array.a, nullptr, array.ip.data(), array.w.data()));
}

} // namespace
