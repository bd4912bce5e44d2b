// Compares two pictures of one size sample by sample: how many samples differ, by how much at
// most, and what share of all samples differ.
//
//   comparePictures A B   (exit status 0 when identical, 1 when they differ, 2 when unreadable)

#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: comparePictures A B\n", stderr);
        return 2;
    }
    QImage a(QString::fromLocal8Bit(argv[1]));
    QImage b(QString::fromLocal8Bit(argv[2]));
    if (a.isNull() || b.isNull() || a.size() != b.size()) {
        std::fputs("cannot read both pictures, or their sizes differ\n", stderr);
        return 2;
    }
    // 16 bits a sample, so that deep pictures compare at their own depth.
    const bool deep = a.depth() > 32 || b.depth() > 32;
    a.convertTo(QImage::Format_RGBA64);
    b.convertTo(QImage::Format_RGBA64);
    const int shift = deep ? 0 : 8;
    long long differing = 0;
    long long histogram[3] = {}; // 1 level, 2 levels, more
    int largest = 0;
    const long long samples = 3LL * a.width() * a.height();
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const quint16*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const quint16*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                const int difference
                    = std::abs((rowA[4 * x + c] >> shift) - (rowB[4 * x + c] >> shift));
                if (difference == 0)
                    continue;
                ++differing;
                ++histogram[difference == 1 ? 0 : difference == 2 ? 1 : 2];
                largest = difference > largest ? difference : largest;
            }
        }
    }
    std::printf("%lld of %lld samples differ (%.4f %%): %lld by 1 level, %lld by 2, %lld by more; "
                "largest difference %d\n",
        differing, samples, 100.0 * double(differing) / double(samples), histogram[0], histogram[1],
        histogram[2], largest);
    return differing == 0 ? 0 : 1;
}
