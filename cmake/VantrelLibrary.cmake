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

# place_counter_library(<program> <library target> [<file>])
#
# Keeps a copy of a counter library, as Vantrel.dll, in the program's
# RUNTIME_OUTPUT_DIRECTORY, where the program looks for it first. The copy is
# the target's own file, or <file> when the target makes a file of another
# kind; it is made again whenever that file changes. Programs that share a
# folder share the copy.
function(place_counter_library program library)
  get_target_property(directory ${program} RUNTIME_OUTPUT_DIRECTORY)
  # ARGV2 is read only when given: unset, it may name a caller's argument.
  if(ARGC GREATER 2)
    set(file ${ARGV2})
    set(file_dependency ${ARGV2})
  else()
    set(file $<TARGET_FILE:${library}>)
    set(file_dependency "")
  endif()
  file(RELATIVE_PATH place ${CMAKE_BINARY_DIR} ${directory})
  string(MAKE_C_IDENTIFIER "counter_library_${place}" copy_target)
  if(NOT TARGET ${copy_target})
    add_custom_command(OUTPUT ${directory}/Vantrel.dll
      COMMAND ${CMAKE_COMMAND} -E copy ${file} ${directory}/Vantrel.dll
      DEPENDS ${library} ${file_dependency}
      VERBATIM)
    add_custom_target(${copy_target} DEPENDS ${directory}/Vantrel.dll)
  endif()
  add_dependencies(${program} ${copy_target})
endfunction()
