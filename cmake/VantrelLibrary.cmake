# add_vantrel_library(<target> <output directory> <sources>...)
#
# A counter library built as "Vantrel.dll" on every target (on Linux an ELF
# shared object under that name). On 32-bit Windows ReadTicks is stdcall and
# exported undecorated.
function(add_vantrel_library target output_directory)
  add_library(${target} MODULE ${ARGN})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME Vantrel
    SUFFIX ".dll"
    CXX_VISIBILITY_PRESET hidden
    LIBRARY_OUTPUT_DIRECTORY ${output_directory}
    RUNTIME_OUTPUT_DIRECTORY ${output_directory})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/counter)
  target_link_libraries(${target} PRIVATE tickmeter_warnings)
  if(MINGW)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
  endif()
endfunction()
