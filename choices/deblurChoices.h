#pragma once

// What a person chose for a deblur, the same record in every front end (the panel, the batch
// tool, the GIMP plug-in), and the one way from it to a checked set of choices and a kernel.
// Each front end fills a DeblurChoices from its own controls or arguments, and puts the typed
// failures it gets back into its own words. No Qt.

#include "engine/abort.h"
#include "engine/deblurParams.h"
#include "image/imageBuffer.h"
#include "image/motionPoint.h"
#include "image/ownedImage.h"

#include <memory>
#include <vector>

// Where the kernel comes from.
enum class KernelSource {
    Built, // the out-of-focus spot of `detail`, or the motion path through `points`
    Picture, // `psf`, read from a picture by the front end
    Estimated, // found in the picture first: the level of details, or a straight motion path
};

struct DeblurChoices {
    int method = DefaultMethod;
    int power = DefaultPower;
    int noise = DefaultNoise;
    int detail = DefaultDetail; // MinDetail .. MaxDetail
    bool motionMode = false;
    std::vector<MotionPoint> points; // the motion path, in pixels of the picture deblurred
    KernelSource kernelSource = KernelSource::Built;
    std::shared_ptr<const OwnedImage> psf; // Picture: one channel of floats summing to 1
    ImageRect estimateRegion {0, 0, 0, 0}; // Estimated: the part looked at; empty for all of it
};

// Why a deblur did not give a result; every front end words each one its own way.
enum class DeblurFailure {
    None,
    MethodOutOfRange,
    PowerOutOfRange,
    NoiseOutOfRange,
    DetailOutOfRange,
    PointsWithoutMotion, // a motion path given out of the motion mode would be ignored
    TooFewPoints, // a motion path needs two points
    TooSmall, // the picture is under MinTileEdge pixels a side
    NoPathFound, // the motion path was to be estimated, and the picture shows none
    KernelNotBuilt, // no memory for the kernel, points too far apart, or stopped while building
    KernelTooLarge, // the kernel does not fit the processing canvas of every tile
    OutOfMemory, // the job could not run at all
    TilesNotDone, // some tiles could not be deblurred (memory): the result is not whole
    Aborted,
};

// Whether the choices can be used at all, before any picture is looked at: values in range, a
// motion path only in the motion mode, and one of two points at least where it gives the kernel.
DeblurFailure checkChoices(const DeblurChoices& choices);

// A preview's kernel is softened a little less than a job's, and its motion tiles are laid on a
// compact canvas: a 300-pixel area padded as widely as a job's tile does not need the power of
// two a job's tiles are laid on, and gives the same pixels in half the time.
enum class RunKind { Job, Preview };

// The parameters of one run from checked choices whose kernel is built (not Estimated): the
// kernel built (or a copy of the picture's), the engine's abort token. KernelNotBuilt, or None.
[[nodiscard]] DeblurFailure paramsFromChoices(
    const DeblurChoices& choices, RunKind kind, AbortToken abort, DeblurParams* params);
