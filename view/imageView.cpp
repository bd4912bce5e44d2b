#include "view/imageView.h"

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
    view->screenPoints.reset();
    view->screenPointCount = 0;
    view->screenPointCapacity = 0;
}

void setResamplingMode(ImageView* view, int mode)
{
    view->resamplingMode = mode;
}
