#pragma once

// What any picture taken in may cost, wherever it comes from: a drop, a project or the command
// line.
namespace PictureLimits {

// Largest file read, checked before a byte of it is: a picture file, or a project with its
// pictures.
inline constexpr long long maxFileBytes = 512LL * 1024 * 1024;

// Largest side of a picture and of a layer's scaled and turned image.
inline constexpr int maxSide = 16384;
// Most pixels of one picture: a square of the largest side.
inline constexpr long long maxPixels = (long long)maxSide * maxSide;

// Largest decoded picture Qt's readers may allocate, in megabytes (16000 x 16000 ARGB): Qt's
// default budget (128 MB) refuses an ordinary 10000 x 10000 photo.
inline constexpr int allocationLimitMB = 1024;

} // namespace PictureLimits
