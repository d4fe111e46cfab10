# The Windows program and the platform half of the probes.
enable_language(RC)

set(ORVA_WIN32_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                           WINVER=0x0601)

file(GLOB ORVA_PLATFORM_SOURCES CONFIGURE_DEPENDS app/*_windows.cpp probes/*_windows.cpp
     win32/*_windows.cpp)
list(FILTER ORVA_PLATFORM_SOURCES EXCLUDE REGEX "/main_windows\\.cpp$")

add_library(orva_platform STATIC ${ORVA_PLATFORM_SOURCES})
target_link_libraries(orva_platform PUBLIC orva_core)
target_compile_definitions(orva_platform PUBLIC ${ORVA_WIN32_DEFINITIONS})
target_compile_definitions(orva_core PUBLIC ${ORVA_WIN32_DEFINITIONS})
# oleacc.dll is loaded at run time from the system folder; libuuid has its interface IDs.
target_link_libraries(orva_platform PUBLIC wbemuuid uuid ole32 oleaut32 shell32 user32 gdi32
                      advapi32)
orva_warnings(orva_platform)

if(MINGW)
  # Small before fast: the program's time goes to the registry, the tool and
  # WMI, not to its own code. Every program of the build is made the same way.
  set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
  add_link_options(-Wl,--gc-sections)
  # One self-contained file that imports only system DLLs.
  set(ORVA_STATIC_LINK -static -static-libgcc -static-libstdc++)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

# The version block takes its numbers from the project version; every program
# built from res/app.rc adds this folder to its includes.
set(ORVA_VERSION_DIR ${CMAKE_CURRENT_BINARY_DIR}/res)
configure_file(res/version.h.in ${ORVA_VERSION_DIR}/version.h @ONLY)
# The files the resource script takes in whole: no scan finds them.
set_source_files_properties(res/app.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/res/app.manifest;${CMAKE_CURRENT_SOURCE_DIR}/res/background.bmp;${CMAKE_CURRENT_SOURCE_DIR}/res/app.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/small.ico")

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/main_windows.cpp)
  add_executable(orva WIN32 app/main_windows.cpp res/app.rc)
  target_link_libraries(orva PRIVATE orva_platform)
  target_include_directories(orva PRIVATE ${ORVA_VERSION_DIR})
  set_target_properties(orva PROPERTIES OUTPUT_NAME "ORVA사양확인프로그램")
  orva_warnings(orva)
  if(MINGW)
    # No link time in the header: the same sources give the same file.
    target_link_options(orva PRIVATE ${ORVA_STATIC_LINK} -municode -Wl,--tsaware
                        -Wl,--no-insert-timestamp -s)
    # A file name in the program's own code never carries the checkout's folder.
    foreach(target orva_core orva_platform orva)
      target_compile_options(${target} PRIVATE
                             $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_CURRENT_SOURCE_DIR}/=>)
    endforeach()
  else()
    target_link_options(orva PRIVATE /TSAWARE)
  endif()
endif()
