# A text file for the Windows zip, with CR LF line ends so that every Windows editor shows
# its lines. With MANUAL set, INPUT is a manual page, rendered to plain text with groff
# (no bold, underline or other overstrikes, which a Windows editor would show as
# backspaces), with the register `windows` set so that the page gives Windows' error
# numbers and paths; otherwise INPUT is copied.
#
#   cmake -DINPUT=docs/allocate.1 -DOUTPUT=allocate.txt -DMANUAL=/usr/bin/groff -P WindowsText.cmake
if(MANUAL)
  execute_process(
    COMMAND ${MANUAL} -man -Tascii -P-cbou -ww -rwindows=1 ${INPUT}
    OUTPUT_VARIABLE text
    ERROR_VARIABLE warnings
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "groff could not render ${INPUT} cleanly (${status}):\n${warnings}")
  endif()
  # The blank lines groff leaves around the page header and footer, as one.
  string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
else()
  file(READ ${INPUT} text)
endif()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
