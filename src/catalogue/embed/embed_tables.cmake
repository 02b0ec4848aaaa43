# How the catalogue's generated tables become read-only data in the module,
# by the object format of the target platform:
#   ELF (Linux, the BSDs)     assembled from rows_elf.S.in, which .incbin's the rows
#   Mach-O (macOS, both CPUs) assembled from rows_macho.S.in: Mach-O section
#                             names, C names with a leading underscore
#   COFF (Windows)            an object the generator writes itself, linked as it
#                             is by MSVC (which has no GNU-style assembler) and
#                             MinGW-w64 alike
# Either way the rows are bytes in the image's constant section: nothing runs
# at load and the pages are shared between processes.
#
# Sets TROVELIN_TABLE_OBJECT_ARGS, the generator's arguments for the format,
# and defines trovelin_embed_tables(TARGET ROWS_FILE GENERATED_DIR).

if(APPLE)
  set(TROVELIN_TABLE_FORMAT macho)
elseif(WIN32)
  set(_arch "${CMAKE_CXX_COMPILER_ARCHITECTURE_ID}${CMAKE_SYSTEM_PROCESSOR}")
  if(_arch MATCHES "ARM64|[Aa][Aa]rch64|[Aa]rm64")
    set(TROVELIN_TABLE_FORMAT coff-arm64)
  elseif(_arch MATCHES "x64|AMD64|x86_64|amd64")
    set(TROVELIN_TABLE_FORMAT coff-amd64)
  else()
    message(FATAL_ERROR "no way to embed the catalogue's tables for Windows on '${_arch}'")
  endif()
else()
  set(TROVELIN_TABLE_FORMAT elf)
endif()

if(TROVELIN_TABLE_FORMAT MATCHES "^coff-")
  set(TROVELIN_TABLE_OBJECT_ARGS --object ${TROVELIN_TABLE_FORMAT})
else()
  set(TROVELIN_TABLE_OBJECT_ARGS)
  enable_language(ASM)
endif()
message(STATUS "catalogue tables embedded as ${TROVELIN_TABLE_FORMAT}")

function(trovelin_embed_tables target rows_file generated_dir)
  if(TROVELIN_TABLE_FORMAT MATCHES "^coff-")
    set(object "${generated_dir}/catalogue_rows.obj")
    set_source_files_properties("${object}" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    target_sources(${target} PRIVATE "${object}")
  else()
    set(CATALOGUE_ROWS_FILE "${rows_file}")
    set(asm "${generated_dir}/catalogue_rows.S")
    configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/rows_${TROVELIN_TABLE_FORMAT}.S.in" "${asm}" @ONLY)
    set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${rows_file}")
    target_sources(${target} PRIVATE "${asm}")
  endif()
endfunction()
