# Writes one skin file in the form the launcher reads: Shift-JIS (code page
# 932) with CR LF line ends. The files are kept as UTF-8 in src/.
#   cmake -DINPUT=src/LaunchWindow.txt -DOUTPUT=LaunchWindow.txt -P EncodeSkinFile.cmake
execute_process(COMMAND iconv -f UTF-8 -t CP932 "${INPUT}"
  OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${INPUT}: not convertible to Shift-JIS: ${error}")
endif()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
