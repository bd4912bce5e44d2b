#include "engine/realFft.h"

#include "engine/engineSettings.h"

#include <cstdio>
#include <fftw3.h>
#include <map>
#include <mutex>
#include <unistd.h>
#include <utility>
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
    std::map<std::pair<int, int>, Plans> current;
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
PlanCache planCache;
std::string wisdomPath;

void initialiseThreads()
{
    static const bool initialised = fftwf_init_threads() != 0;
    (void)initialised;
}

void saveWisdom()
{
    if (wisdomPath.empty())
        return;
    const std::string temporary = wisdomPath + ".partial";
    if (fftwf_export_wisdom_to_filename(temporary.c_str()) == 0
        || std::rename(temporary.c_str(), wisdomPath.c_str()) != 0)
        ::unlink(temporary.c_str());
}

// Plans with scratch arrays of the canvas' size, since measuring overwrites them. Returns false
// when planning was not possible with `flags` (no wisdom for a wisdom-only request, or memory).
bool makePlans(Plans* plans, int width, int height, unsigned flags)
{
    const std::size_t canvas = std::size_t(width) * height;
    const std::size_t spectrum = std::size_t(height) * (width / 2 + 1);
    float* real = fftwf_alloc_real(canvas);
    fftwf_complex* complex = fftwf_alloc_complex(spectrum);
    bool made = false;
    if (real && complex) {
        initialiseThreads();
        fftwf_plan_with_nthreads(threadsFor(static_cast<long long>(canvas)));
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
    fftwf_free(real);
    fftwf_free(complex);
    return made;
}

} // namespace

bool prepareRealFft(RealFft2d* fft, int width, int height)
{
    if (width < 1 || height < 1)
        return true;
    const bool patient = engineSettings().patientFftPlanning;
    std::lock_guard lock(planLock);
    Plans& plans = planCache.current[{width, height}];
    if (!plans.forward || (patient && !plans.measured)) {
        Plans made;
        if (makePlans(&made, width, height, FFTW_MEASURE | FFTW_WISDOM_ONLY)) {
            made.measured = true;
        } else if (patient) {
            made.measured = makePlans(&made, width, height, FFTW_MEASURE);
            if (made.measured)
                saveWisdom();
        }
        if (!made.forward && !plans.forward)
            makePlans(&made, width, height, FFTW_ESTIMATE);
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

float* allocateFftFloats(std::size_t count)
{
    return fftwf_alloc_real(count);
}

SpectrumValue* allocateSpectrum(std::size_t count)
{
    return reinterpret_cast<SpectrumValue*>(fftwf_alloc_complex(count));
}

void freeFftMemory(void* block)
{
    fftwf_free(block);
}

void loadFftWisdom(const std::string& path)
{
    std::lock_guard lock(planLock);
    wisdomPath = path;
    if (!path.empty())
        fftwf_import_wisdom_from_filename(path.c_str());
}
