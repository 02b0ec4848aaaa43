# How the extension module is linked, by platform. Everything it defines is
# already hidden by default; this makes sure the one name the interpreter
# looks up, PyInit_trovelin, is the only symbol the module exports.
#   ELF      a version script keeps every other dynamic symbol local (the C++
#            runtime stays shared: linked in statically it brings newer C
#            library symbols with it, which narrows the wheel's manylinux tag)
#   Mach-O   an explicit export list
#   Windows  nothing to add: a DLL exports only what is marked for export, and
#            pybind11 marks the init function alone
function(trovelin_link_module target)
  if(APPLE)
    target_link_options(${target} PRIVATE "LINKER:-exported_symbol,_PyInit_trovelin")
  elseif(NOT WIN32)
    set(map "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/exports.map")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${map}")
  endif()
endfunction()
