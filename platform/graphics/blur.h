#pragma once
// A Gaussian blur of one 8-bit channel, separable, with edges treated as empty.
#include <cstdint>
#include <vector>

// Blurs `values` (width x height, row-major) in place with the given sigma in pixels.
// A sigma of zero or less leaves the values as they are.
void gaussianBlur(std::vector<float>& values, int width, int height, double sigma);

// The kernel radius used for a sigma: beyond it the weights are negligible.
int gaussianRadius(double sigma);
