#pragma once

// Double-precision complex 2-D FFT, in place and unnormalised, for the smoothing of motion
// kernels. Radix-2 butterflies over a shared cosine/sine table, a row pass and a column pass in
// groups of 4 columns gathered into scratch, on up to 4 threads for large arrays.
//
// A complex array of `rows` rows and rowLen / 2 columns is held as `rows` row pointers into one
// contiguous block of rows * rowLen doubles, real and imaginary parts interleaved. Both rows and
// rowLen / 2 are powers of two.

#include <cstddef>

// In place: isgn = +1 computes X[k1][k2] = sum x[j1][j2] exp(+2 pi i (j1 k1 / rows + j2 k2 /
// (rowLen / 2))), isgn = -1 the same with exp(-...). A +1 transform followed by a -1 transform
// multiplies the array by rows * rowLen / 2.
//
// Work areas, owned by the caller and reusable between calls of the same or smaller sizes:
//   ip  at least complexFftIndexSize(rows, rowLen) integers; ip[0] = 0 before the first call
//       (the table in w is then built on demand and ip[0] records its size);
//   w   at least complexFftTableSize(rows, rowLen) doubles;
//   t   at least 8 * 4 * rows doubles of scratch, or null to have the call allocate its own.
// Returns true when it failed (scratch or threads not available); the array is then unchanged
// or partly transformed, never outside its bounds.
[[nodiscard]] bool complexFft2d(
    int rows, int rowLen, int isgn, double** a, double* t, int* ip, double* w);

std::size_t complexFftIndexSize(int rows, int rowLen);
std::size_t complexFftTableSize(int rows, int rowLen);
std::size_t complexFftScratchSize(int rows);

// Allocation helpers: null on exhausted memory, never an exit. A 2-D array is one block of
// height * width values plus height row pointers into it; its release frees both.
int* allocateInts(std::size_t count);
double* allocateDoubles(std::size_t count);
double** allocateDoubles2d(std::size_t height, std::size_t width);
float** allocateFloats2d(std::size_t height, std::size_t width);
void freeInts(int* values);
void freeDoubles(double* values);
void freeDoubles2d(double** rows);
void freeFloats2d(float** rows);
