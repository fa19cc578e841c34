# Pictures drawn as SVG sources in the repository, rasterised at build time and compiled into a
# library as Qt resources.
#
# tovra_add_pictures(target FOLDER svgdir PICTURES name=WxH ...)
#   Each name (e.g. "Img/Folder") reads svgdir/<name>.svg and is reachable at ":/<name>"
#   (and ":/<name>@2x" at twice the size, which QPixmap picks on high-density screens).

set(_TOVRA_SVG2PNG_SOURCE ${CMAKE_CURRENT_LIST_DIR}/svg2png.cpp)

function(_tovra_svg2png_tool)
  if(TARGET tovra_svg2png)
    return()
  endif()
  add_executable(tovra_svg2png ${_TOVRA_SVG2PNG_SOURCE})
  find_package(PNG REQUIRED)
  target_link_libraries(tovra_svg2png PRIVATE Qt6::Gui Qt6::Svg PNG::PNG)
  # A host tool run during the build: no sanitizer reports about Qt's font caches.
  target_compile_options(tovra_svg2png PRIVATE -fno-sanitize=all)
  target_link_options(tovra_svg2png PRIVATE -fno-sanitize=all)
endfunction()

function(tovra_add_pictures target)
  cmake_parse_arguments(ARG "" "FOLDER" "PICTURES" ${ARGN})
  _tovra_svg2png_tool()
  get_filename_component(folder ${ARG_FOLDER} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/pictures_${target})
  set(qrc ${out}/pictures.qrc)
  set(args)
  set(pngs)
  set(svgs)
  set(entries)
  foreach(picture ${ARG_PICTURES})
    if(NOT picture MATCHES "^([^=]+)=([0-9]+)x([0-9]+)$")
      message(FATAL_ERROR "tovra_add_pictures: bad picture '${picture}' (want name=WxH)")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(svg ${folder}/${name}.svg)
    if(NOT EXISTS ${svg})
      message(FATAL_ERROR "tovra_add_pictures: no source ${svg}")
    endif()
    list(APPEND args "${svg}=${name}=${CMAKE_MATCH_2}x${CMAKE_MATCH_3}")
    list(APPEND svgs ${svg})
    list(APPEND pngs ${out}/${name}.png ${out}/${name}@2x.png)
    string(APPEND entries "    <file alias=\"${name}\">${name}.png</file>\n")
    string(APPEND entries "    <file alias=\"${name}@2x\">${name}@2x.png</file>\n")
  endforeach()
  file(CONFIGURE OUTPUT ${qrc}
       CONTENT "<RCC>\n  <qresource prefix=\"/\">\n${entries}  </qresource>\n</RCC>\n")
  add_custom_command(
    OUTPUT ${pngs}
    COMMAND tovra_svg2png ${out} ${args}
    DEPENDS tovra_svg2png ${svgs}
    COMMENT "Drawing the pictures of ${target}"
    VERBATIM)
  set(cpp ${out}/qrc_pictures_${target}.cpp)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND Qt6::rcc --name pictures_${target} --output ${cpp} ${qrc}
    DEPENDS ${pngs} ${qrc}
    WORKING_DIRECTORY ${out}
    VERBATIM)
  target_sources(${target} PRIVATE ${cpp})
  set_source_files_properties(${cpp} PROPERTIES SKIP_AUTOMOC ON SKIP_AUTOUIC ON)
endfunction()

# tovra_add_picture_folder(target FOLDER svgdir): every SVG under svgdir, at the size its own
# width and height attributes give, as tovra_add_pictures would take them.
function(tovra_add_picture_folder target)
  cmake_parse_arguments(ARG "" "FOLDER" "" ${ARGN})
  get_filename_component(folder ${ARG_FOLDER} ABSOLUTE)
  file(GLOB_RECURSE svgs CONFIGURE_DEPENDS RELATIVE ${folder} ${folder}/*.svg)
  if(NOT svgs)
    return()
  endif()
  set(specs)
  foreach(svg ${svgs})
    file(READ ${folder}/${svg} head LIMIT 400)
    if(NOT head MATCHES "width=\"([0-9]+)\" height=\"([0-9]+)\"")
      message(FATAL_ERROR "${folder}/${svg} gives no width and height")
    endif()
    # Keep the size before the next regular expression resets CMAKE_MATCH_<n>.
    set(size "${CMAKE_MATCH_1}x${CMAKE_MATCH_2}")
    string(REGEX REPLACE "\\.svg$" "" name ${svg})
    list(APPEND specs "${name}=${size}")
  endforeach()
  tovra_add_pictures(${target} FOLDER ${folder} PICTURES ${specs})
endfunction()
