#include "gimp/regionDeblur.h"

#include "engine/engine.h"
#include "gimp/regionPixels.h"
#include "kernelOptions/kernelOptions.h"

bool deblurRegion(ImageBuffer* region, bool alpha, const KernelOptions& options,
    const ProgressSink& progress, std::string* message)
{
    if (region->width < MinTileEdge || region->height < MinTileEdge) {
        *message = "the image or selection must be at least 50 x 50 pixels to be deblurred";
        return true;
    }
    OwnedImage source;
    OwnedImage target;
    if (engineColourOf(*region, alpha, &source)
        || copyImageHeader(target.get(), source.get()) != 0) {
        *message = "not enough memory for the image";
        return true;
    }
    // A level or path to be estimated is found in the region's own pixels.
    KernelOptions choices = options;
    const std::string estimated = estimateKernelChoices(&choices, *source.get());
    if (choices.motionMode && choices.psf.empty() && choices.points.size() < 2) {
        *message = estimated;
        return true;
    }
    DeblurParams params; // owns the kernel
    if (buildKernelFromOptions(choices, &params, message))
        return true;
    const TileCanvas canvas = smallestTileCanvas(region->width, region->height, choices.motionMode);
    const ImageBuffer& kernel = params.kernel.image;
    if (kernel.width > canvas.width || kernel.height > canvas.height) {
        *message = "the point-spread function (" + std::to_string(kernel.width) + " x "
            + std::to_string(kernel.height) + ") is larger than the processing canvas ("
            + std::to_string(canvas.width) + " x " + std::to_string(canvas.height) + ")";
        return true;
    }
    configureEngineForBatch();
    JobReport report;
    const JobStatus status = isAbortRequested()
        ? JobAborted
        : runDeblurJob(target.get(), source.get(), params, progress, &report);
    if (status == JobAborted) {
        *message = "cancelled";
        return true;
    }
    if (status != JobDone) {
        *message = "the job could not run: not enough memory";
        return true;
    }
    if (report.tilesNotDone > 0) {
        *message = std::to_string(report.tilesNotDone) + " of " + std::to_string(report.tiles)
            + " tiles could not be deblurred (not enough memory)";
        return true;
    }
    putEngineColour(region, alpha, target.image);
    return false;
}
