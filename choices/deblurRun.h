#pragma once

// The one call from a person's choices to deblurred pixels: the choices checked, what is left to
// the picture estimated, the kernel built and checked against the processing canvas, and the
// engine's job (or preview) run. The panel's workers, the batch tool and the GIMP plug-in all
// deblur through it, so that the same choices give the same pixels everywhere.

#include "choices/choiceEstimate.h"
#include "choices/deblurChoices.h"
#include "engine/jobDriver.h"
#include "engine/progress.h"

struct DeblurOutcome {
    DeblurFailure failure = DeblurFailure::None;
    DeblurChoices used; // the choices as run: an estimate's findings written in
    bool estimated = false; // the kernel was Estimated; `estimate` says what was found
    ChoiceEstimate estimate;
    int kernelWidth = 0; // the kernel built
    int kernelHeight = 0;
    TileCanvas canvas {0, 0, 0}; // KernelTooLarge: the smallest tile canvas, which it missed
    JobReport report;
};

// Deblurs `source` (1 or 3 channels, 8 or 16 bits, at least MinTileEdge pixels a side) into
// `target` (allocated with the source's format and size). The target holds the result only
// when the outcome's failure is None; after any other failure its pixels mean nothing. `abort`
// stops the kernel's building and the job.
[[nodiscard]] DeblurOutcome deblurWithChoices(const DeblurChoices& choices,
    const ImageBuffer& source, ImageBuffer* target, RunKind kind, const ProgressSink& progress,
    AbortToken abort);
