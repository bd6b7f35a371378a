# Runs xgettext --extract-all for the catalogue test (see Translations.cmake):
#   cmake -DXGETTEXT=... -DSOURCE_DIR=... -DFILES=... -DOUTPUT=... -P ExtractLiterals.cmake
# Every string literal is taken, the empty ones included, and xgettext warns
# about each of those; its messages are shown only when it fails.
execute_process(
  COMMAND ${XGETTEXT} --language=C++ --from-code=UTF-8 --extract-all --sort-by-file --no-wrap
          --package-name=OrvaSalePrice --directory=${SOURCE_DIR} --files-from=${FILES}
          --output=${OUTPUT}
  RESULT_VARIABLE result
  ERROR_VARIABLE messages)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "xgettext failed (${result}):\n${messages}")
endif()
