# The Windows programs are built to run on a bare Windows 95 of the first release: they import nothing but
# its system DLLs. So they carry no C runtime: platform/windows gives them their entry point and the few C
# routines they call, libgcc the helpers the compiler calls. C++ is used without exceptions, RTTI or
# anything run before WinMain. docs/building-windows.md tells how to add a C routine.
set(TARNO_WINDOWS_PRODUCT_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics -ffunction-sections
    -fdata-sections)
# 64-bit Windows unwinds every frame through its unwind tables, so only the i686 build goes without them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND TARNO_WINDOWS_PRODUCT_OPTIONS -fno-asynchronous-unwind-tables)
endif()

# Nothing calls static constructors in these programs: the link fails when code would need one, rather
# than leave a variable silently uninitialised.
math(EXPR TARNO_EMPTY_CTOR_LIST "2 * ${CMAKE_SIZEOF_VOID_P}")
file(WRITE ${CMAKE_BINARY_DIR}/no_static_constructors.ld
     "ASSERT(__DTOR_LIST__ - __CTOR_LIST__ == ${TARNO_EMPTY_CTOR_LIST}, \"a variable of the program needs a static constructor: give it a constant initial value, or set it at the start of the run\")\n")

add_subdirectory(${CMAKE_SOURCE_DIR}/platform/windows ${CMAKE_BINARY_DIR}/platform/windows)

# tarno_windows_product(TARGET): compiles a product library for the Windows programs.
function(tarno_windows_product target)
  target_compile_options(${target} PRIVATE ${TARNO_WINDOWS_PRODUCT_OPTIONS})
  target_link_libraries(${target} PUBLIC win32_system c_routines)
endfunction()

# tarno_windows_program(TARGET): links a Windows GUI program without the C runtime. A routine that the
# program calls and that neither platform/windows nor the system DLLs provide fails the link, and the
# link explains where the routine goes.
function(tarno_windows_program target)
  target_compile_options(${target} PRIVATE ${TARNO_WINDOWS_PRODUCT_OPTIONS})
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:windows_startup>)
  target_link_options(${target} PRIVATE -mwindows -nostdlib -Wl,--gc-sections,--kill-at -s
                      ${CMAKE_BINARY_DIR}/no_static_constructors.ld)
  target_link_libraries(${target} PRIVATE win32_system c_routines)
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK "bash ${CMAKE_SOURCE_DIR}/cmake/windows_link.sh")
endfunction()
