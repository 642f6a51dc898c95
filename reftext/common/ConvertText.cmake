# Turns a UTF-8 source text into the stored form of a text resource:
# "\r\n" line ends, code page 949 bytes. A final line without a line end keeps
# having none. Arguments: -DIN=<utf-8 file> -DOUT=<cp949 file> -DICONV=<iconv>
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}.utf8" "${text}")
execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP949 "${OUT}.utf8"
                OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "cannot convert ${IN} to CP949: ${err}")
endif()
file(REMOVE "${OUT}.utf8")
