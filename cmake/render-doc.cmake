# Makes one installed document from its source (cmake -P, from cmake/packaging.cmake):
#   -DMODE=text   INPUT as a Windows text file (CR LF line ends) at OUTPUT
#   -DMODE=manual the manual page INPUT rendered by GROFF as plain ASCII, CR LF, at OUTPUT;
#                 any warning of groff fails
#   -DMODE=gzip   INPUT compressed by GZIP (-9n: no name or time stamp) at OUTPUT
#   -DMODE=copyright  the MIT licence INPUT (LICENSE) as a Debian copyright file in the
#                 machine-readable format, its copyright line and text taken from INPUT
foreach(variable MODE INPUT OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "render-doc.cmake: ${variable} is not given")
  endif()
endforeach()

function(write_windows_text text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${OUTPUT}" "${text}")
endfunction()

if(MODE STREQUAL "text")
  file(READ "${INPUT}" text)
  write_windows_text("${text}")
elseif(MODE STREQUAL "manual")
  # -P-cbou: no escape sequences and no overstriking, so plain text for any viewer.
  execute_process(
    COMMAND "${GROFF}" -man -ww -Tascii -P-cbou "${INPUT}"
    OUTPUT_VARIABLE text
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "groff failed on ${INPUT} (status ${status}):\n${errors}")
  endif()
  write_windows_text("${text}")
elseif(MODE STREQUAL "gzip")
  execute_process(
    COMMAND "${GZIP}" -9n -c "${INPUT}"
    OUTPUT_FILE "${OUTPUT}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "gzip failed on ${INPUT} (status ${status})")
  endif()
elseif(MODE STREQUAL "copyright")
  file(STRINGS "${INPUT}" lines)
  set(holder "")
  set(body "")
  set(in_body FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^Copyright \\(c\\) (.+)$")
      set(holder "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^Permission is hereby granted")
      set(in_body TRUE)
    endif()
    if(in_body)
      if(line STREQUAL "")
        string(APPEND body " .\n")
      else()
        string(APPEND body " ${line}\n")
      endif()
    endif()
  endforeach()
  if(holder STREQUAL "" OR body STREQUAL "")
    message(FATAL_ERROR "render-doc.cmake: ${INPUT} is not the MIT licence with a copyright line")
  endif()
  # MIT is "Expat" in this format.
  file(WRITE "${OUTPUT}"
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: pelquist_copy\n"
    "\n"
    "Files: *\n"
    "Copyright: ${holder}\n"
    "License: Expat\n"
    "${body}")
else()
  message(FATAL_ERROR "render-doc.cmake: unknown MODE '${MODE}'")
endif()
