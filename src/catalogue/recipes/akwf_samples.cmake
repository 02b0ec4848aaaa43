# The four single-cycle waveforms under data/akwf/ (one signed 16-bit sample
# a line, 256 lines) become constant arrays in akwf_samples.hpp, written into
# AKWF_SAMPLES_DIR at configure time for the akwf_ recipes to include. The
# data files are configure dependencies, so editing one regenerates the header.
set(AKWF_SAMPLES_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/recipes)

set(akwf_header "// Generated at configure time from data/akwf/. Do not edit.\n")
string(APPEND akwf_header "#pragma once\n\nnamespace trovelin::recipes::akwf_samples {\n\n")
foreach(stem AKWF_R_asym_saw_05_256 AKWF_R_asym_saw_15_256 AKWF_0001_256 AKWF_0010_256)
  set(akwf_file ${CMAKE_CURRENT_SOURCE_DIR}/data/akwf/${stem}.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${akwf_file})
  file(STRINGS ${akwf_file} akwf_lines)
  list(LENGTH akwf_lines akwf_count)
  if(NOT akwf_count EQUAL 256)
    message(FATAL_ERROR "${akwf_file}: ${akwf_count} samples, expected 256")
  endif()
  foreach(akwf_line IN LISTS akwf_lines)
    if(NOT akwf_line MATCHES "^-?[0-9]+$" OR akwf_line LESS -32768 OR akwf_line GREATER 32767)
      message(FATAL_ERROR "${akwf_file}: '${akwf_line}' is not a signed 16-bit sample")
    endif()
  endforeach()
  list(JOIN akwf_lines ", " akwf_values)
  string(APPEND akwf_header "inline constexpr int ${stem}[256] = {${akwf_values}};\n\n")
endforeach()
string(APPEND akwf_header "}  // namespace trovelin::recipes::akwf_samples\n")

# Written only when its content changes, so a re-configure rebuilds nothing.
file(WRITE ${AKWF_SAMPLES_DIR}/akwf_samples.hpp.tmp "${akwf_header}")
file(COPY_FILE ${AKWF_SAMPLES_DIR}/akwf_samples.hpp.tmp ${AKWF_SAMPLES_DIR}/akwf_samples.hpp ONLY_IF_DIFFERENT)
file(REMOVE ${AKWF_SAMPLES_DIR}/akwf_samples.hpp.tmp)
