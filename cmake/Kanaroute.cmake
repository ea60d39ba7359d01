# The Win32 program Kanaroute.exe: the portable core, the Win32 layer of every
# area and the resources.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

file(GLOB KANAROUTE_WIN32_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/common/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/app/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/lexicon/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/windows/win32/*.cpp)

add_executable(Kanaroute WIN32 ${KANAROUTE_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/app/win32/kanaroute.rc)
# $<1:...> keeps multi-configuration generators (Visual Studio) from adding a Release/ folder,
# so that the program always lands beside date.dat.
set_target_properties(Kanaroute PROPERTIES OUTPUT_NAME Kanaroute RUNTIME_OUTPUT_DIRECTORY $<1:${CMAKE_BINARY_DIR}/bin>)
# The shell is needed only for a click (a link, the Recycle Bin); COM and
# automation first on the worker that reads the registry and then for the load
# handler, after the window is built: none of them is loaded before the first
# instruction.
include(${CMAKE_SOURCE_DIR}/cmake/delay_load.cmake)
kanaroute_delay_load(Kanaroute shell32 ole32 oleaut32)
target_link_libraries(Kanaroute PRIVATE kanaroute_core comctl32 ole32 oleaut32 uuid shell32 advapi32 gdi32 user32)
target_compile_definitions(Kanaroute PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_include_directories(Kanaroute PRIVATE ${CMAKE_SOURCE_DIR})
# Time probes along the start-up path (common/win32/startup_probe.h), for the
# benchmark's breakdown of the start-up time; never in the product.
option(KANAROUTE_STARTUP_PROBES "Build Kanaroute.exe with start-up time probes (benchmark only)" OFF)
if(KANAROUTE_STARTUP_PROBES)
  target_compile_definitions(Kanaroute PRIVATE KANAROUTE_STARTUP_PROBES)
endif()
# The resource compiler does not report the files that the script pulls in: a changed
# picture must still rebuild the program.
set(KANAROUTE_RESOURCE_FILES
    ${CMAKE_SOURCE_DIR}/app/win32/kanaroute.exe.manifest
    ${CMAKE_SOURCE_DIR}/assets/kanaroute.ico
    ${CMAKE_SOURCE_DIR}/assets/pointer.ico
    ${CMAKE_SOURCE_DIR}/assets/arrow-pointer.ico
    ${CMAKE_SOURCE_DIR}/assets/hand-pointer.ico
    ${CMAKE_SOURCE_DIR}/assets/face-pointer.ico
    ${CMAKE_SOURCE_DIR}/assets/sogou-logo.bmp
    ${CMAKE_SOURCE_DIR}/assets/help-illustration.jpg)
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/win32/kanaroute.rc PROPERTIES
  OBJECT_DEPENDS "${KANAROUTE_RESOURCE_FILES}")
if(MINGW)
  target_link_options(Kanaroute PRIVATE -municode -mwindows -static -static-libgcc -static-libstdc++ -s)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}")
  # The program's own code catches no exception and asks no type at run time:
  # it carries neither unwinding tables nor type information.
  target_compile_options(Kanaroute PRIVATE -ffunction-sections -fdata-sections -flto -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
  target_link_options(Kanaroute PRIVATE -flto -Os)
  target_link_options(Kanaroute PRIVATE -Wl,--gc-sections)
elseif(MSVC)
  target_compile_options(Kanaroute PRIVATE /utf-8)
  set_target_properties(Kanaroute PROPERTIES MSVC_RUNTIME_LIBRARY "MultiThreaded")
  target_link_options(Kanaroute PRIVATE /MANIFEST:NO)
endif()

# The built program is checked as it would ship: imports only from DLLs that
# every Windows has, the version record and manifest read back from the file,
# and the download zip packed from the built files. The checks read the file
# with MinGW's objdump, so they belong to the MinGW builds.
if(MINGW AND CMAKE_OBJDUMP)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "64")
    set(KANAROUTE_BINARY_ARCH x86_64)
  else()
    set(KANAROUTE_BINARY_ARCH i386)
  endif()
  add_test(NAME binary_imports_and_resources
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/binary/check_binary.py
                   --arch ${KANAROUTE_BINARY_ARCH} --objdump ${CMAKE_OBJDUMP} $<TARGET_FILE:Kanaroute>)
  add_test(NAME package_zip_contents
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/binary/check_package.py
                   ${CMAKE_BINARY_DIR}/bin ${CMAKE_SOURCE_DIR}/packaging/使用说明.txt
                   ${CMAKE_BINARY_DIR}/package-test)
  set_tests_properties(binary_imports_and_resources package_zip_contents PROPERTIES
                       ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
endif()
