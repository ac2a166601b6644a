#pragma once
// Reads a scrambled, compressed data file into an image piece by piece, so that loading needs no
// buffer for the whole compressed file: the result is the same as reading the file whole, unscrambling
// it and inflating it.

#include "app/MV_Pub.h"

// Appends the inflated content to image; false when the file cannot be read or is no valid zlib stream
// (whatever was inflated before stays in the image).
bool InflateDataFile(const QString &nativePath, const QString &key, TMemoryStream &image);
