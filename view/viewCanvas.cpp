#include "view/viewCanvas.h"

#include <algorithm>

bool createCanvas(ViewCanvas* canvas, std::uint32_t workspaceColor, ImageSize screenSize)
{
    canvas->width = std::max(screenSize.width, CanvasWidth);
    canvas->height = std::max(screenSize.height, CanvasHeight);
    resetImage(&canvas->inputImage);
    resetImage(&canvas->resultImage);
    resetImage(&canvas->overlayImage);
    resetImage(&canvas->canvasPixels);
    if (allocateImage(&canvas->canvasPixels, canvas->width, canvas->height, 3, 8) != 0) {
        resetImage(&canvas->canvasPixels);
        return true;
    }
    fillImage(&canvas->canvasPixels, int(workspaceColor & 0xFF));
    return false;
}

void destroyCanvas(ViewCanvas* canvas)
{
    releaseImage(&canvas->canvasPixels);
    releaseImage(&canvas->inputImage);
    releaseImage(&canvas->resultImage);
    releaseImage(&canvas->overlayImage);
}

int blitCanvas(const ViewCanvas* canvas, ImageRect rect, CanvasCopy copy, void* context)
{
    if (!canvas->canvasPixels.data)
        return BlitNoCanvas;
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, canvas->canvasPixels.width);
    rect.bottom = std::min(rect.bottom, canvas->canvasPixels.height);
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return BlitOutsideCanvas;
    if (!copy || copy(context, &canvas->canvasPixels, rect))
        return BlitCopyFailed;
    return BlitDone;
}
