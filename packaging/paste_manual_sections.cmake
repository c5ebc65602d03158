# Writes a manual page whose template leaves room for sections made at build
# time: the line `.\" from the option table: NAME` of TEMPLATE becomes the
# text of SECTION_DIR/NAME.roff, for each NAME in SECTIONS. A template that
# has lost one of those lines is an error, so the page cannot silently go
# without its synopsis or options.
#
#   cmake -DTEMPLATE=... -DSECTION_DIR=... -DSECTIONS="synopsis;options" -DOUTPUT=... -P this
foreach(variable TEMPLATE SECTION_DIR SECTIONS OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "paste_manual_sections: ${variable} is not set")
  endif()
endforeach()

file(READ ${TEMPLATE} page)
foreach(section ${SECTIONS})
  set(marker ".\\\" from the option table: ${section}\n")
  string(FIND "${page}" "${marker}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no line for the ${section} section")
  endif()
  file(READ ${SECTION_DIR}/${section}.roff text)
  string(REPLACE "${marker}" "${text}" page "${page}")
endforeach()
file(WRITE ${OUTPUT}.new "${page}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
