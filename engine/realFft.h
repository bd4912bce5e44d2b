#pragma once

// Unscaled real 2-D FFTs of float canvases through FFTW, and the spectral products the
// deconvolution needs. A canvas is `width` x `height` floats, row-major without gaps; its
// spectrum is `height` rows of width / 2 + 1 complex values. A forward transform followed by an
// inverse one multiplies the canvas by width * height.
//
// Plans are made once per canvas size and transform thread count, under one lock, and reused by
// every tile and preview of that size; executing them is thread-safe. Arrays passed to the
// transforms must come from allocateFftFloats / allocateSpectrum (FFTW's alignment).

#include <complex>
#include <cstddef>
#include <string>

using SpectrumValue = std::complex<float>;

struct RealFft2d {
    int width = 0;
    int height = 0;
    void* forwardPlan = nullptr; // owned by the plan cache, alive until the process ends
    void* inversePlan = nullptr;
};

// Finds or makes the plans for a canvas size, with transformThreadsFor(width * height) threads.
// Returns true when it failed.
[[nodiscard]] bool prepareRealFft(RealFft2d* fft, int width, int height);

std::size_t spectrumSize(const RealFft2d& fft);

// spectrum := FFT(canvas); the canvas is kept.
void forwardFft(const RealFft2d& fft, const float* canvas, SpectrumValue* spectrum);
// canvas := inverse FFT(spectrum); the spectrum is overwritten.
void inverseFft(const RealFft2d& fft, SpectrumValue* spectrum, float* canvas);

// target := target * factor, element by element.
void multiplySpectra(SpectrumValue* target, const SpectrumValue* factor, std::size_t count);
// target := target * conj(factor), element by element.
void multiplySpectraConjugate(
    SpectrumValue* target, const SpectrumValue* factor, std::size_t count);

// Aligned blocks for the transforms; null when memory is exhausted. Large blocks are mapped
// from the system and given back to it when freed, so the tiles of a job running side by side
// do not leave freed canvases behind in each thread's heap.
float* allocateFftFloats(std::size_t count);
SpectrumValue* allocateSpectrum(std::size_t count);
void freeFftMemory(void* block);

// Loads FFTW wisdom from `path`; measured plans are then saved back there, through a temporary
// file beside it, whenever new ones were measured. A file that is missing, not a regular file,
// over 64 MiB, damaged or written by another FFTW is ignored (and replaced by the next save).
// Empty: nowhere.
void loadFftWisdom(const std::string& path);

// How the plans of this process were made so far, one count per transform direction.
struct FftPlanCounts {
    int measured = 0; // by timing the candidates: seconds for a large canvas
    int fromWisdom = 0; // measured by an earlier run
    int estimated = 0;
};
FftPlanCounts fftPlanCounts();
