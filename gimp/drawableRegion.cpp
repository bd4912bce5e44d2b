#include "gimp/drawableRegion.h"

#include <libgimp/gimp.h>

namespace {

const char* encodingOf(bool rgb, bool alpha, bool deep)
{
    if (rgb)
        return alpha ? (deep ? "R'G'B'A u16" : "R'G'B'A u8") : (deep ? "R'G'B' u16" : "R'G'B' u8");
    return alpha ? (deep ? "Y'A u16" : "Y'A u8") : (deep ? "Y' u16" : "Y' u8");
}

// The region's format in the drawable's colour space, so no colour is converted on the way.
const Babl* regionFormat(const DrawableRegion& region)
{
    const bool rgb = region.pixels.image.channels >= 3;
    const bool deep = region.pixels.image.bitsPerChannel == 16;
    return babl_format_with_space(
        encodingOf(rgb, region.alpha, deep), gimp_drawable_get_format(region.drawable));
}

bool eightBit(GimpPrecision precision)
{
    return precision == GIMP_PRECISION_U8_LINEAR || precision == GIMP_PRECISION_U8_GAMMA;
}

} // namespace

bool readDrawableRegion(
    std::int32_t image, std::int32_t drawable, DrawableRegion* region, std::string* message)
{
    if (gimp_drawable_is_indexed(drawable)
        || !(gimp_drawable_is_rgb(drawable) || gimp_drawable_is_gray(drawable))) {
        *message = "Morvanclarity deblurs RGB and grayscale layers; convert the image to RGB or "
                   "grayscale first";
        return true;
    }
    region->drawable = drawable;
    if (!gimp_drawable_mask_intersect(
            drawable, &region->x, &region->y, &region->width, &region->height)) {
        *message = "the selection does not cover any of the layer";
        return true;
    }
    int offsetX = 0;
    int offsetY = 0;
    gimp_drawable_offsets(drawable, &offsetX, &offsetY);
    region->originX = offsetX + region->x;
    region->originY = offsetY + region->y;
    region->alpha = gimp_drawable_has_alpha(drawable);
    const int components = (gimp_drawable_is_rgb(drawable) ? 3 : 1) + (region->alpha ? 1 : 0);
    const int bits = eightBit(gimp_image_get_precision(image)) ? 8 : 16;
    region->pixels = OwnedImage(region->width, region->height, components, bits);
    if (!region->pixels.image.data) {
        *message = "not enough memory for the image";
        return true;
    }
    GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
    const GeglRectangle rect = {region->x, region->y, region->width, region->height};
    gegl_buffer_get(buffer, &rect, 1.0, regionFormat(*region), region->pixels.image.data,
        region->pixels.image.stride, GEGL_ABYSS_NONE);
    g_object_unref(buffer);
    return false;
}

void writeDrawableRegion(std::int32_t image, const DrawableRegion& region)
{
    GeglBuffer* shadow = gimp_drawable_get_shadow_buffer(region.drawable);
    const GeglRectangle rect = {region.x, region.y, region.width, region.height};
    gegl_buffer_set(shadow, &rect, 0, regionFormat(region), region.pixels.image.data,
        region.pixels.image.stride);
    gegl_buffer_flush(shadow);
    g_object_unref(shadow);
    gimp_image_undo_group_start(image);
    gimp_drawable_merge_shadow(region.drawable, TRUE);
    gimp_image_undo_group_end(image);
    gimp_drawable_update(region.drawable, region.x, region.y, region.width, region.height);
}
