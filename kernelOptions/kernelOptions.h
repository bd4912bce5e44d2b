#pragma once

// The deblur choices of the runs without the panel (the batch tool's command line, the GIMP
// plug-in's procedure arguments), and what those runs share to deblur the same way from the same
// choices: the motion points read from text, the kernel built from the choices, and the engine
// set up for a job without a window. No Qt.

#include "engine/deblurParams.h"
#include "image/motionPoint.h"

#include <string>
#include <vector>

// The choices start from the engine's own defaults.
struct KernelOptions {
    bool motionMode = false;
    int detail = DeblurParams {}.detail;
    int method = DeblurParams {}.method;
    int power = DeblurParams {}.power;
    int noise = DeblurParams {}.noise;
    std::vector<MotionPoint> points; // the motion path, in pixels of the picture deblurred
    std::string psf; // a point-spread function picture; empty for the built kernel
    bool estimateDetail = false; // find the level of details in the picture first
    bool estimatePoints = false; // find a straight motion path in the picture first
};

// Parses the whole of `text` as a finite number. Returns true when it is empty, has anything
// after the number, is out of range or is not finite.
[[nodiscard]] bool parseFiniteNumber(const std::string& text, double* value);

// Parses "X,Y;X,Y;..." into points. Returns true when a pair is malformed or not finite.
[[nodiscard]] bool parseMotionPoints(const std::string& text, std::vector<MotionPoint>* points);

// What makes motion choices unusable; each front end words its own message. Points outside the
// motion mode would be silently ignored; a motion path needs two points unless a picture gives
// the kernel.
enum class MotionPointsFault { None, PointsWithoutMotion, TooFewPoints };
MotionPointsFault motionPointsFault(const KernelOptions& options);

// Replaces the choices to be estimated (the level of details, the motion path) by what the
// picture shows, or by the default level and no path when the estimate is unsure. Returns a
// sentence saying what was found and how sure, for the run's summary. With no path, a motion
// run has nothing to deblur with: the caller says so and keeps the picture as it was.
std::string estimateKernelChoices(KernelOptions* options, const ImageBuffer& image);

// Fills params (choices and kernel) as the options say: the kernel from the PSF picture when
// one is named, else the motion path or the defocus spot. Returns true when no kernel could be
// made, with a sentence in `reason` that names the PSF picture where it was the cause.
[[nodiscard]] bool buildKernelFromOptions(
    const KernelOptions& options, DeblurParams* params, std::string* reason);

// Measured FFT plans, kept beside the settings between runs: every later transform of a size is
// faster, and two programs that share the settings folder plan (and so round) alike.
void configureEngineForBatch();
