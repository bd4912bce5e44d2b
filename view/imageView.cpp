#include "view/imageView.h"

#include <cstdlib>

void attachView(ImageView* view, void* window, ViewCanvas* canvas)
{
    *view = ImageView {};
    view->window = window;
    view->canvas = &canvas->canvasPixels;
}

void detachView(ImageView* view)
{
    releaseImage(&view->inputCopy);
    releaseImage(&view->resultCopy);
    releaseImage(&view->overlayCopy);
    std::free(view->screenPoints);
    view->screenPoints = nullptr;
    view->screenPointCount = 0;
    view->screenPointCapacity = 0;
}

void setResamplingMode(ImageView* view, int mode)
{
    view->resamplingMode = mode;
}
