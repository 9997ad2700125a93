# tonquil_ffmpeg: FFmpeg's static libraries for this build's architecture,
# built by scripts/build-ffmpeg.sh into build/ffmpeg (Debian's source package,
# fetched with apt-get source). The script skips every step already done, so
# it costs nothing once built; a change to it builds afresh.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ffmpeg_triple x86_64-w64-mingw32)
    set(ffmpeg_arch x86_64)
else()
    set(ffmpeg_triple i686-w64-mingw32)
    set(ffmpeg_arch x86)
endif()
set(ffmpeg_dir ${CMAKE_BINARY_DIR}/ffmpeg)
set(ffmpeg_libraries avformat avcodec swresample avutil)
set(ffmpeg_files)
foreach(library ${ffmpeg_libraries})
    list(APPEND ffmpeg_files ${ffmpeg_dir}/install/lib/lib${library}.a)
endforeach()
add_custom_command(OUTPUT ${ffmpeg_files}
                   COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-ffmpeg.sh ${ffmpeg_dir}
                           ${ffmpeg_triple} ${ffmpeg_arch}
                   COMMAND ${CMAKE_COMMAND} -E touch ${ffmpeg_files}
                   DEPENDS ${CMAKE_SOURCE_DIR}/scripts/build-ffmpeg.sh
                   COMMENT "Building FFmpeg's decoders from Debian's source package"
                   USES_TERMINAL)
add_custom_target(ffmpeg_build DEPENDS ${ffmpeg_files})
# FFmpeg's notice goes with the files that link it.
add_custom_command(OUTPUT ${TONQUIL_BIN_DIR}/FFmpeg-COPYING.LGPLv2.1
                   COMMAND ${CMAKE_COMMAND} -E copy ${ffmpeg_dir}/source/COPYING.LGPLv2.1
                           ${TONQUIL_BIN_DIR}/FFmpeg-COPYING.LGPLv2.1
                   DEPENDS ${ffmpeg_files})
add_custom_target(ffmpeg_notice ALL DEPENDS ${TONQUIL_BIN_DIR}/FFmpeg-COPYING.LGPLv2.1)

add_library(tonquil_ffmpeg INTERFACE)
add_dependencies(tonquil_ffmpeg ffmpeg_build)
file(MAKE_DIRECTORY ${ffmpeg_dir}/install/include)
target_include_directories(tonquil_ffmpeg SYSTEM INTERFACE ${ffmpeg_dir}/install/include)
# FFmpeg's headers, included from C++, want the C99 constant macros.
target_compile_definitions(tonquil_ffmpeg INTERFACE __STDC_CONSTANT_MACROS)
# FFmpeg's threads are Windows' own; its random seeds come from bcrypt.dll,
# which every Windows from Vista on has.
target_link_libraries(tonquil_ffmpeg INTERFACE ${ffmpeg_files} bcrypt)
