# The page: the core and the browser backend compiled to WebAssembly with
# Emscripten (configure with emcmake into build-web/). The site folder it
# makes, build-web/site, is everything a static web server needs.
set(FLOPKIN_SITE ${CMAKE_BINARY_DIR}/site)

# The page's storage mounts the documents' folder and fetches the start-up
# document before the program runs, so it cannot ask the program for their
# names: they are read from the program's header into a script of its own.
set(FLOPKIN_FOLDER_HEADER ${PROJECT_SOURCE_DIR}/src/files/document_folder.hpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${FLOPKIN_FOLDER_HEADER})
file(READ ${FLOPKIN_FOLDER_HEADER} FLOPKIN_FOLDER_TEXT)
foreach(name document_folder start_up_document_name linked_figure_name)
  if(NOT FLOPKIN_FOLDER_TEXT MATCHES "const char\\* ${name} = \"([^\"]*)\";")
    message(FATAL_ERROR "${FLOPKIN_FOLDER_HEADER} does not name ${name}")
  endif()
  set(FLOPKIN_${name} "${CMAKE_MATCH_1}")
endforeach()
set(FLOPKIN_FOLDER_JS ${CMAKE_BINARY_DIR}/document_folder.js)
file(CONFIGURE OUTPUT ${FLOPKIN_FOLDER_JS} CONTENT
  "// written by the build from src/files/document_folder.hpp\nvar documentFolder = '${FLOPKIN_document_folder}';\nvar startUpDocument = '${FLOPKIN_start_up_document_name}';\nvar linkedFigure = '${FLOPKIN_linked_figure_name}';\n")

add_executable(flopkin_page src/app/page_main.cpp src/platform/web/web_backend.cpp
  # the desktop's canvas, its batches drawn through WebGL
  src/platform/gl/gl_canvas.cpp src/platform/gl/vertex_batch.cpp src/platform/web/webgl_context.cpp)
target_link_libraries(flopkin_page PRIVATE flopkin_app)
target_link_options(flopkin_page PRIVATE
  -sUSE_GLFW=3
  # the frame loop and the requester wait for the page without returning to it
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web -sFORCE_FILESYSTEM=1
  # the page reads its documents through FS, asks for the figure as it stands for Share, for the
  # program's description of itself and what its touch layout shows, whether a dropped document is
  # a figure and how many balls it has
  -sEXPORTED_RUNTIME_METHODS=FS,stringToUTF8,UTF8ToString,lengthBytesUTF8
  -sEXPORTED_FUNCTIONS=_main,_flopkin_write_figure,_flopkin_page_description,_flopkin_page_state,_flopkin_collides,_flopkin_balls_to_ask,_flopkin_figure_check,_flopkin_touch_layout,_malloc,_free
  # the folder's names, then the storage that mounts the folder, run before the program (each
  # option one word with its file: CMake drops the second of two equal words)
  "SHELL:--pre-js ${FLOPKIN_FOLDER_JS}" "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/src/platform/web/storage.js"
  # flopkin.js.symbols: the names of the program's functions by index, for a
  # profile of the page (bench/page_frame_bench.mjs); the program carries none
  --emit-symbol-map
  # the examples, for Open, Add and ?example= (the stick figure is also the first start-up figure)
  --embed-file ${PROJECT_SOURCE_DIR}/examples@/examples)
file(GLOB FLOPKIN_EXAMPLES ${PROJECT_SOURCE_DIR}/examples/*.fkn)
set_target_properties(flopkin_page PROPERTIES OUTPUT_NAME flopkin SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${FLOPKIN_SITE}
  LINK_DEPENDS "${FLOPKIN_FOLDER_JS};${PROJECT_SOURCE_DIR}/src/platform/web/storage.js;${FLOPKIN_EXAMPLES}")
# the page around the program and its icon (the examples are inside the program)
add_custom_target(flopkin_site ALL DEPENDS flopkin_page
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/src/platform/web/site ${FLOPKIN_SITE}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/org.flopkin.Flopkin.svg ${FLOPKIN_SITE}/flopkin.svg)

# the browser test's measure of the simulation, linked as the page is
add_library(flopkin_web_figures STATIC EXCLUDE_FROM_ALL tools/figures/sample_figures.cpp)
target_include_directories(flopkin_web_figures PUBLIC tools/figures)
target_link_libraries(flopkin_web_figures PUBLIC flopkin_app)
add_executable(web_physics_probe EXCLUDE_FROM_ALL tests/web/physics_probe.cpp)
target_include_directories(web_physics_probe PRIVATE tests/support)
target_link_libraries(web_physics_probe PRIVATE flopkin_web_figures)
target_link_options(web_physics_probe PRIVATE -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web)
set_target_properties(web_physics_probe PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/probe)
