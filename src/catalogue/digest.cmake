# Prints and records the SHA-256 of the generated catalogue tables. The same
# source must give the same tables on every build and every machine, so two
# builds can be compared by this one line.
#   cmake -DROWS=<catalogue_rows.bin> -DOUT=<digest file> -P digest.cmake
file(SHA256 "${ROWS}" digest)
message(STATUS "catalogue tables sha256 ${digest}")
file(WRITE "${OUT}" "${digest}\n")
