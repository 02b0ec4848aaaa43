// surface_: a path over a closed surface of varying radius.
//
// surface_a_b turns a times round in longitude while its latitude swings b
// times between north and south. The two are coupled: the longitude runs
// faster while the path climbs and slower while it falls, by a term in the
// latitude's own rhythm. The surface bulges towards one side and flattens
// at the poles, so the radius changes both round the path and up it.
// `low` paths keep to a band near the equator; `wide` ones swing far up and
// down.
#include <cmath>
#include <string>

#include "families.hpp"

namespace trovelin::recipes {

namespace {

constexpr int LOOP = 1024;

struct Band {
    const char* kind;
    double latitude;  // largest latitude reached, in radians
};

constexpr Band BANDS[2] = {{"low", 0.42}, {"wide", 1.05}};

}  // namespace

Shapes surface_family() {
    static constexpr int PAIRS[8][2] = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3}, {2, 5}, {3, 4}, {3, 5}};
    Shapes s;
    for (const Band band : BANDS) {
        for (const auto& pair : PAIRS) {
            const int a = pair[0];
            const int b = pair[1];
            Shape shape = make_shape(
                join("surface", {a, b}) + "_" + band.kind,
                "A varying-radius surface path with coupled longitude and latitude; all three coordinates are retained.",
                LOOP, 3, [a, b, band](int i) {
                    const double t = theta(i, LOOP);
                    const double rise = b * t + 0.3;
                    const double latitude = band.latitude * crmath::sin(rise);
                    // Longitude starts a sixth of a turn round. The coupling
                    // adds 0.15 b cos(rise) to its rate, at most 0.75 against
                    // a rate of at least 1, so it never turns back.
                    const double longitude = a * t + 1.05 + 0.15 * crmath::sin(rise);
                    const double radius =
                        1.0 + 0.16 * crmath::cos(longitude - 0.4) - 0.12 * crmath::sin(latitude) * crmath::sin(latitude);
                    const double ring = radius * crmath::cos(latitude);
                    return Point{ring * crmath::cos(longitude), ring * crmath::sin(longitude),
                                 radius * crmath::sin(latitude)};
                });
            scale_to_peak(shape.rows, 0.82, true);
            s.push_back(std::move(shape));
        }
    }
    return s;
}

}  // namespace trovelin::recipes
