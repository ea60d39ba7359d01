# The Win32 program Kanaroute.exe: the portable core, the Win32 layer of every
# area and the resources.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

file(GLOB KANAROUTE_WIN32_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/common/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/app/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/lexicon/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/windows/win32/*.cpp)

add_executable(Kanaroute WIN32 ${KANAROUTE_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/app/win32/kanaroute.rc)
set_target_properties(Kanaroute PROPERTIES OUTPUT_NAME Kanaroute RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
target_link_libraries(Kanaroute PRIVATE kanaroute_core comctl32 ole32 oleaut32 uuid shell32 advapi32 gdi32 user32)
target_compile_definitions(Kanaroute PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_include_directories(Kanaroute PRIVATE ${CMAKE_SOURCE_DIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/win32/kanaroute.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/app/win32/kanaroute.exe.manifest")
if(MINGW)
  target_link_options(Kanaroute PRIVATE -municode -mwindows -static -static-libgcc -static-libstdc++ -s)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}")
  target_compile_options(Kanaroute PRIVATE -ffunction-sections -fdata-sections)
  target_link_options(Kanaroute PRIVATE -Wl,--gc-sections)
elseif(MSVC)
  target_compile_options(Kanaroute PRIVATE /utf-8)
  set_target_properties(Kanaroute PROPERTIES MSVC_RUNTIME_LIBRARY "MultiThreaded")
  target_link_options(Kanaroute PRIVATE /MANIFEST:NO)
endif()
