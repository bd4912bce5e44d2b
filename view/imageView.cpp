#include "view/imageView.h"

void attachView(ImageView* view, ViewCanvas* canvas)
{
    *view = ImageView {};
    view->canvas = &canvas->canvasPixels;
}

void detachView(ImageView* view)
{
    releaseImage(&view->inputCopy);
    releaseImage(&view->resultCopy);
    releaseImage(&view->overlayCopy);
    view->screenPoints = {};
    view->points = {};
    view->previewRect.reset();
}

void setResamplingMode(ImageView* view, int mode)
{
    view->resamplingMode = mode;
}
