# The Win32 libraries of the programs. LZ32 comes first: Windows 95 keeps the LZ calls in LZ32.DLL
# only, so they must not be bound to KERNEL32.DLL, which exports them on later systems.
if(WIN32)
  add_library(win32_system INTERFACE)
  target_link_libraries(win32_system INTERFACE lz32 user32 gdi32 comdlg32 advapi32)
  include(cmake/windows_program.cmake)
endif()

# tarno_product_library(NAME SOURCES...): product routines, linked by the program and by the tests.
function(tarno_product_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(WIN32)
    tarno_windows_product(${name})
  else()
    target_link_libraries(${name} PUBLIC win95sim)
  endif()
endfunction()

# tarno_program(NAME SOURCES...): a Windows GUI program; on Linux linked with the simulator.
function(tarno_program name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(WIN32)
    tarno_windows_program(${name})
  else()
    target_link_libraries(${name} PRIVATE win95sim_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
endfunction()
