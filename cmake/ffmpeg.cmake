# tonquil_ffmpeg: FFmpeg's static libraries for this build's architecture.
# By default scripts/build-ffmpeg.sh builds them into build/ffmpeg from
# Debian's source package (fetched with apt-get source); the script skips
# every step already done, so it costs nothing once built, and a change to it
# builds afresh. TONQUIL_FFMPEG_DIR names a prefix built elsewhere instead
# (include/ and lib/ inside), such as an MSYS2 or MSVC build on Windows.
set(TONQUIL_FFMPEG_DIR "" CACHE PATH "Prefix of a prebuilt static FFmpeg; empty builds it")
set(ffmpeg_libraries avformat avcodec swresample avutil)
if(TONQUIL_FFMPEG_DIR)
    set(ffmpeg_prefix ${TONQUIL_FFMPEG_DIR})
else()
    set(ffmpeg_prefix ${CMAKE_BINARY_DIR}/ffmpeg/install)
endif()
set(ffmpeg_files)
foreach(library ${ffmpeg_libraries})
    list(APPEND ffmpeg_files ${ffmpeg_prefix}/lib/lib${library}.a)
endforeach()

add_library(tonquil_ffmpeg INTERFACE)
if(NOT TONQUIL_FFMPEG_DIR)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(ffmpeg_target x86_64-w64-mingw32 x86_64)
    else()
        set(ffmpeg_target i686-w64-mingw32 x86)
    endif()
    set(ffmpeg_dir ${CMAKE_BINARY_DIR}/ffmpeg)
    add_custom_command(OUTPUT ${ffmpeg_files}
                       COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-ffmpeg.sh ${ffmpeg_dir}
                               ${ffmpeg_target}
                       COMMAND ${CMAKE_COMMAND} -E touch ${ffmpeg_files}
                       DEPENDS ${CMAKE_SOURCE_DIR}/scripts/build-ffmpeg.sh
                       COMMENT "Building FFmpeg's decoders from Debian's source package"
                       USES_TERMINAL)
    add_custom_target(ffmpeg_build DEPENDS ${ffmpeg_files})
    add_dependencies(tonquil_ffmpeg ffmpeg_build)
    # FFmpeg's notice goes with the files that link it.
    set(notice ${TONQUIL_BIN_DIR}/FFmpeg-COPYING.LGPLv2.1)
    # It waits on the target, not on FFmpeg's files: a rule naming those files
    # would build FFmpeg a second time, at once, beside ffmpeg_build.
    add_custom_command(OUTPUT ${notice}
                       COMMAND ${CMAKE_COMMAND} -E copy ${ffmpeg_dir}/source/COPYING.LGPLv2.1
                               ${notice}
                       DEPENDS ffmpeg_build)
    add_custom_target(ffmpeg_notice ALL DEPENDS ${notice})
    file(MAKE_DIRECTORY ${ffmpeg_prefix}/include)
endif()
target_include_directories(tonquil_ffmpeg SYSTEM INTERFACE ${ffmpeg_prefix}/include)
# FFmpeg's headers, included from C++, want the C99 constant macros.
target_compile_definitions(tonquil_ffmpeg INTERFACE __STDC_CONSTANT_MACROS)
# FFmpeg's threads are Windows' own; its random seeds come from bcrypt.dll,
# which every Windows from Vista on has.
target_link_libraries(tonquil_ffmpeg INTERFACE ${ffmpeg_files} bcrypt)
