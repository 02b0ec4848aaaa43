# SHA-256 digests for the noise_ control points, taken from CMake's own
# string(SHA256) at configure time. Control point K of lane LANE of entry
# ENTRY is named by the text "ENTRY/LANE/K" (for example "noise_drift_5/x/3");
# noise_digests.hpp, written into NOISE_DIGESTS_DIR, pairs every such text
# with its digest in hexadecimal. noise.cpp turns a digest into a value.
set(NOISE_DIGESTS_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/recipes)

# kind : control-point counts : lanes
set(noise_paths
  "drift:5,7,9,11:x,y"
  "orbit:6,8,10,12:x,y"
  "ripple:5,7,9,11:r"
  "depth:6,8,10,12:r,z")

set(noise_header "// Generated at configure time: SHA-256 of each noise_ control-point text. Do not edit.\n")
string(APPEND noise_header "#pragma once\n\nnamespace trovelin::recipes::noise_digests {\n\n")
string(APPEND noise_header "struct Digest {\n    const char* text;\n    const char* sha256;\n};\n\n")
string(APPEND noise_header "inline constexpr Digest DIGESTS[] = {\n")
foreach(noise_path IN LISTS noise_paths)
  string(REPLACE ":" ";" noise_parts "${noise_path}")
  list(GET noise_parts 0 noise_kind)
  list(GET noise_parts 1 noise_counts)
  list(GET noise_parts 2 noise_lanes)
  string(REPLACE "," ";" noise_counts "${noise_counts}")
  string(REPLACE "," ";" noise_lanes "${noise_lanes}")
  foreach(noise_count IN LISTS noise_counts)
    math(EXPR noise_last "${noise_count} - 1")
    foreach(noise_lane IN LISTS noise_lanes)
      foreach(noise_k RANGE ${noise_last})
        set(noise_text "noise_${noise_kind}_${noise_count}/${noise_lane}/${noise_k}")
        string(SHA256 noise_digest "${noise_text}")
        string(APPEND noise_header "    {\"${noise_text}\", \"${noise_digest}\"},\n")
      endforeach()
    endforeach()
  endforeach()
endforeach()
string(APPEND noise_header "};\n\n}  // namespace trovelin::recipes::noise_digests\n")

# Written only when its content changes, so a re-configure rebuilds nothing.
file(WRITE ${NOISE_DIGESTS_DIR}/noise_digests.hpp.tmp "${noise_header}")
file(COPY_FILE ${NOISE_DIGESTS_DIR}/noise_digests.hpp.tmp ${NOISE_DIGESTS_DIR}/noise_digests.hpp ONLY_IF_DIFFERENT)
file(REMOVE ${NOISE_DIGESTS_DIR}/noise_digests.hpp.tmp)
