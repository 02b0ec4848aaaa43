// The answer of every looping position source: a point (x, y, z).
#pragma once

namespace trovelin {

// Plain value record, returned by value. Coordinates are finite and within
// [-1, 1] by convention; the type itself checks nothing. Tables of positions
// are arrays laid out exactly like it: x, y, z, 24 bytes a row.
struct Offset3 {
    double x;
    double y;
    double z;
};

static_assert(sizeof(Offset3) == 3 * sizeof(double));

}  // namespace trovelin
