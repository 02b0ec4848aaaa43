# Stops the build where a recipe or a rudiment calls the platform's elementary
# functions instead of crmath's: the defaults would then depend on the math
# library the build happens to use.
#   cmake -DSTAMP=<file> -DSOURCES=<a;b;...> -P no_platform_math.cmake
set(functions "sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|exp|exp2|expm1|log|log2|log10|log1p|pow|cbrt|hypot|erf|erfc|tgamma|lgamma")
set(found "")
foreach(source IN LISTS SOURCES)
  file(STRINGS "${source}" lines REGEX "std::(${functions})[ \t]*\\(")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    string(APPEND found "\n  ${source}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "recipes and rudiments must use crmath:: (correctly rounded, the same on every platform), "
                      "not the platform's math library:${found}")
endif()
file(WRITE "${STAMP}" "")
