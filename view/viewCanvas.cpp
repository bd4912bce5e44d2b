#include "view/viewCanvas.h"

bool createCanvas(ViewCanvas* canvas, void* ownerWindow, std::uint32_t workspaceColor)
{
    canvas->ownerWindow = ownerWindow;
    canvas->width = CanvasWidth;
    canvas->height = CanvasHeight;
    resetImage(&canvas->inputImage);
    resetImage(&canvas->resultImage);
    resetImage(&canvas->overlayImage);
    resetImage(&canvas->canvasPixels);
    if (allocateImage(&canvas->canvasPixels, CanvasWidth, CanvasHeight, 3, 8) != 0) {
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
    if (rect.right > CanvasWidth || rect.bottom > CanvasHeight)
        return BlitOutsideCanvas;
    if (!copy || copy(context, &canvas->canvasPixels, rect))
        return BlitCopyFailed;
    return BlitDone;
}
