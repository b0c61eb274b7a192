# The layers of the core, each a static library that links only the layers below it.
#
# Sources include each other by folder ("library/records.h"). Every layer compiles against an
# include folder of its own in the build tree, layers/<target>/, which holds one link per source
# folder the layer may see: its own folders and those of every layer below it. A folder further
# up is not there, so an #include that points up is a file the compiler cannot find, and the
# build stops at that line.
#
#   lumivale_layer(<target> FOLDERS <folders of src/ it compiles> [BELOW <layers it builds on>])
#     creates the static library, its include folder, and adds the folders' CMakeLists.txt, each
#     of which adds its sources to the target.
#   lumivale_include_folder(<target> FOLDERS <folders> BELOW <targets>)
#     gives an existing target (a front end above the core) its include folder the same way.

set(LUMIVALE_LAYER_ROOT "${PROJECT_BINARY_DIR}/layers")

function(lumivale_include_folder target)
  cmake_parse_arguments(ARG "" "" "FOLDERS;BELOW" ${ARGN})
  set(visible ${ARG_FOLDERS})
  foreach(lower IN LISTS ARG_BELOW)
    get_target_property(lowerVisible ${lower} LUMIVALE_VISIBLE_FOLDERS)
    list(APPEND visible ${lowerVisible})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_target_properties(${target} PROPERTIES LUMIVALE_VISIBLE_FOLDERS "${visible}")

  set(root "${LUMIVALE_LAYER_ROOT}/${target}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}")
  foreach(folder IN LISTS visible)
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${folder}" "${root}/${folder}" RESULT failed SYMBOLIC)
    if(failed)
      message(FATAL_ERROR "${target}: cannot link ${root}/${folder}: ${failed}")
    endif()
  endforeach()

  # What a layer sees, every target above it may see as well.
  target_include_directories(${target} PUBLIC "${root}")
endfunction()

function(lumivale_layer target)
  cmake_parse_arguments(ARG "" "" "FOLDERS;BELOW" ${ARGN})
  add_library(${target} STATIC)
  lumivale_include_folder(${target} FOLDERS ${ARG_FOLDERS} BELOW ${ARG_BELOW})
  target_link_libraries(${target} PUBLIC lumivale_policy Qt6::Core ${ARG_BELOW})

  foreach(folder IN LISTS ARG_FOLDERS)
    add_subdirectory("${PROJECT_SOURCE_DIR}/src/${folder}" "${CMAKE_CURRENT_BINARY_DIR}/${folder}")
  endforeach()
endfunction()
