option(RAVELIN_WERROR "Treat compiler warnings as errors" OFF)

# Compile settings shared by every target of the project (not by GoogleTest).
function(ravelin_target_options target)
  # Narrow literals are Shift-JIS; __FILE__ is relative to the source tree.
  set(flags -Wall -Wextra -finput-charset=UTF-8 -fexec-charset=CP932
      -fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
  if(RAVELIN_WERROR)
    list(APPEND flags -Werror)
  endif()
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${flags}>")
  target_compile_definitions(${target} PRIVATE
    WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX STRICT)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${RAVELIN_GENERATED_DIR})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()
