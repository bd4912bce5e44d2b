#include "engine/realFft.h"

#include "engine/engineSettings.h"
#include "platform/wholeFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fftw3.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

struct Plans {
    fftwf_plan forward = nullptr;
    fftwf_plan inverse = nullptr;
    bool measured = false;
};

// FFTW: only execute is thread-safe; plans are made under planLock and kept until the process
// ends, since a tile on another thread may still be running an older plan of the same size.
struct PlanCache {
    std::map<std::tuple<int, int, int>, Plans> current; // by width, height, threads
    std::vector<Plans> replaced;

    ~PlanCache()
    {
        for (auto& [size, plans] : current)
            destroy(plans);
        for (Plans& plans : replaced)
            destroy(plans);
    }
    static void destroy(const Plans& plans)
    {
        if (plans.forward)
            fftwf_destroy_plan(plans.forward);
        if (plans.inverse)
            fftwf_destroy_plan(plans.inverse);
    }
};

std::mutex planLock;
PlanCache planCache; // under planLock
std::string wisdomPath; // under planLock
FftPlanCounts planCounts; // under planLock

constexpr off_t MaxWisdomBytes = off_t(64) << 20;

// Wisdom belongs to the planner's configuration, which the threads library changes: wisdom
// imported before it is initialised is refused, and plans made before it would not match the
// ones saved after. Called under planLock before any planning or import.
void initialiseThreads()
{
    static const bool initialised = fftwf_init_threads() != 0;
    (void)initialised;
}

// The whole file, when it is a regular file of a sane size; returns true when it is not or
// nothing could be read. Opened without blocking and checked on the open descriptor, so that a
// FIFO or a device in its place never stalls the engine.
[[nodiscard]] bool readWisdomText(const std::string& path, std::string* text)
{
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return true;
    struct stat status { };
    bool read = ::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0
        && status.st_size <= MaxWisdomBytes;
    if (read) {
        text->assign(std::size_t(status.st_size), '\0');
        std::size_t done = 0;
        while (done < text->size()) {
            const ssize_t got = ::read(file, text->data() + done, text->size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += std::size_t(got);
        }
        text->resize(done); // a file that shrank meanwhile is parsed as far as it goes
        read = done > 0;
    }
    ::close(file);
    return !read;
}

// Writes all wisdom all or nothing: a reader never sees half a file, and two processes saving
// at once never share a temporary. A wisdom file that cannot be written only costs the next run
// its measurements.
void saveWisdom()
{
    if (wisdomPath.empty())
        return;
    char* text = fftwf_export_wisdom_to_string();
    if (!text)
        return;
    std::string reason;
    (void)writeFileAtomically(wisdomPath, text, &reason);
    std::free(text);
}

// Plans with scratch arrays of the canvas' size, since measuring overwrites them. Returns true
// when planning was not possible with `flags` (no wisdom for a wisdom-only request, or memory).
[[nodiscard]] bool makePlans(Plans* plans, int width, int height, int threads, unsigned flags)
{
    const std::size_t canvas = std::size_t(width) * height;
    const std::size_t spectrum = std::size_t(height) * (width / 2 + 1);
    float* real = allocateFftFloats(canvas);
    auto* complex = reinterpret_cast<fftwf_complex*>(allocateSpectrum(spectrum));
    bool made = false;
    if (real && complex) {
        initialiseThreads();
        fftwf_plan_with_nthreads(threads);
        fftwf_plan forward = fftwf_plan_dft_r2c_2d(height, width, real, complex, flags);
        fftwf_plan inverse = fftwf_plan_dft_c2r_2d(height, width, complex, real, flags);
        made = forward && inverse;
        if (made) {
            plans->forward = forward;
            plans->inverse = inverse;
        } else {
            if (forward)
                fftwf_destroy_plan(forward);
            if (inverse)
                fftwf_destroy_plan(inverse);
        }
    }
    freeFftMemory(real);
    freeFftMemory(complex);
    return !made;
}

} // namespace

bool prepareRealFft(RealFft2d* fft, int width, int height)
{
    if (width < 1 || height < 1)
        return true;
    const bool patient = engineSettings().patientFftPlanning;
    const int threads = transformThreadsFor(static_cast<long long>(width) * height);
    std::lock_guard lock(planLock);
    Plans& plans = planCache.current[{width, height, threads}];
    if (!plans.forward || (patient && !plans.measured)) {
        Plans made;
        if (!makePlans(&made, width, height, threads, FFTW_MEASURE | FFTW_WISDOM_ONLY)) {
            made.measured = true;
            planCounts.fromWisdom += 2;
        } else if (patient) {
            made.measured = !makePlans(&made, width, height, threads, FFTW_MEASURE);
            if (made.measured) {
                planCounts.measured += 2;
                saveWisdom();
            }
        }
        if (!made.forward && !plans.forward
            && !makePlans(&made, width, height, threads, FFTW_ESTIMATE))
            planCounts.estimated += 2;
        if (made.forward) {
            if (plans.forward)
                planCache.replaced.push_back(plans);
            plans = made;
        }
    }
    if (!plans.forward)
        return true;
    fft->width = width;
    fft->height = height;
    fft->forwardPlan = plans.forward;
    fft->inversePlan = plans.inverse;
    return false;
}

std::size_t spectrumSize(const RealFft2d& fft)
{
    return std::size_t(fft.height) * (fft.width / 2 + 1);
}

void forwardFft(const RealFft2d& fft, const float* canvas, SpectrumValue* spectrum)
{
    // An r2c transform leaves its input unchanged.
    fftwf_execute_dft_r2c(static_cast<fftwf_plan>(fft.forwardPlan), const_cast<float*>(canvas),
        reinterpret_cast<fftwf_complex*>(spectrum));
}

void inverseFft(const RealFft2d& fft, SpectrumValue* spectrum, float* canvas)
{
    fftwf_execute_dft_c2r(static_cast<fftwf_plan>(fft.inversePlan),
        reinterpret_cast<fftwf_complex*>(spectrum), canvas);
}

// Written out rather than with std::complex's operator*, whose NaN handling costs a library
// call per element.
void multiplySpectra(SpectrumValue* target, const SpectrumValue* factor, std::size_t count)
{
    float* t = reinterpret_cast<float*>(target);
    const float* f = reinterpret_cast<const float*>(factor);
    for (std::size_t i = 0; i < 2 * count; i += 2) {
        const float re = t[i] * f[i] - t[i + 1] * f[i + 1];
        const float im = t[i] * f[i + 1] + t[i + 1] * f[i];
        t[i] = re;
        t[i + 1] = im;
    }
}

void multiplySpectraConjugate(SpectrumValue* target, const SpectrumValue* factor, std::size_t count)
{
    float* t = reinterpret_cast<float*>(target);
    const float* f = reinterpret_cast<const float*>(factor);
    for (std::size_t i = 0; i < 2 * count; i += 2) {
        const float re = t[i] * f[i] + t[i + 1] * f[i + 1];
        const float im = t[i + 1] * f[i] - t[i] * f[i + 1];
        t[i] = re;
        t[i + 1] = im;
    }
}

void loadFftWisdom(const std::string& path)
{
    std::lock_guard lock(planLock);
    initialiseThreads();
    wisdomPath = path;
    std::string text;
    // FFTW keeps the wisdom it had when the text does not parse.
    if (!path.empty() && !readWisdomText(path, &text))
        (void)fftwf_import_wisdom_from_string(text.c_str());
}

FftPlanCounts fftPlanCounts()
{
    std::lock_guard lock(planLock);
    return planCounts;
}
