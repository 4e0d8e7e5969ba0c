// Texture images inside the toolkit: the image file readers, the load status their failures
// leave, bringing an image to a size OpenGL takes, and the display-list id allocator.
//
// Images are RGBA, 8 bits a channel, rows from the bottom of the picture up (row 0 is the
// lowest), in blocks from the toolkit's allocator.
#pragma once

#include <stddef.h>

#include "toolkit/wt.h"

extern "C" {

// ---- Image files ------------------------------------------------------------------------------

// The path of the named image along "WTIMAGES"; a name without an extension is also tried with
// ".tga", ".rgb" and ".jpg".  Null (status 1, failure reported) when nothing is found.  The
// result is the file search's shared buffer.
char *_WTimage_findfile(const char *name);
// Finds the named image and decodes it by its content (JPEG, SGI RGB, else Targa).
unsigned char *_WTimage_read(const char *name, int *width, int *height);
unsigned char *_WTjpeg_read(const char *path, int *width, int *height);
// Converts a GIF image file into a Targa file (the first image, 32-bit, rows from the bottom
// up); false, with nothing left behind, when the GIF cannot be read or the Targa not written.
int _WTgif_totga(const char *gif, const char *tga);
// The same on memory: RGBA pixels, rows from the bottom up, in a block to free with
// _WTmem_free; null for data that is no readable GIF image.
unsigned char *_WTgif_decode(const unsigned char *data, size_t size, int *width, int *height);

// The largest image in bytes (width x height x 4) that the readers and the sizing allocate;
// larger ones are refused as too large before anything is allocated.  Returns the previous
// ceiling; 0 restores the default (2 GB less one byte).  Tests and fuzz targets lower it.
size_t _WTimage_setceiling(size_t bytes);
// True when a w x h image fits the ceiling (sides above 0).
int _WTimage_fits(long long w, long long h);

// ---- Load status ------------------------------------------------------------------------------
// 1 not found, 2 no texture memory, 3 not an image file in the right format, 4 read error,
// 5 too large, 6 not square, 7 unsupported size, 8 loaded, 9 colour map unsupported.

int _WTtexture_getstatus(void);
void _WTtexture_setstatus(int status);
// Prints the status's warning for the name unless the name is among the last seven reported;
// sets the status back to 1.
void _WTtexture_reportfailure(const char *name);
// Forgets the names reported so far.
void _WTtexture_forgetfailures(void);

// ---- Sizes OpenGL takes -----------------------------------------------------------------------

// The power of two a side is brought to: the smallest one not below n, or half of it when n is
// below five eighths of it.
int _WTtexture_pow2size(int n);
// New blocks of W x H texels from a w x h image: bilinear resampling, box reduction by whole
// blocks (w and h multiples of W and H).  The source is left alone.
unsigned char *_WTtexture_resample(const unsigned char *pixels, int w, int h, int W, int H);
unsigned char *_WTtexture_reduce(const unsigned char *pixels, int w, int h, int W, int H);
// Takes the image over and gives it back with power-of-two sides within maxsize (square when
// square is set), resampled or reduced as needed, updating *w and *h.  Null, with the image
// freed, for a side of 0 or below or an image too large to size.
unsigned char *_WTtexture_fitsize(unsigned char *pixels, int *w, int *h, int maxsize, int square);

// ---- Display-list ids -------------------------------------------------------------------------

// Creates the allocator once: ids 0 and 1 are never handed out.
void _WTidblock_init(void);
// Frees the allocator; the next init starts afresh.
void _WTidblock_exit(void);
// The first id of a run of count free ids, now in use; 0 for a count outside 1..512.
unsigned _WTidblock_alloc(int count);
void _WTidblock_free(unsigned id, int count);
}
